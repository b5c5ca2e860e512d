#include "platform/FileSystem.h"

#include <QFile>
#include <QStorageInfo>
#include <algorithm>
#include <unordered_map>

#include "platform/AtomicFile.h"
#include "platform/CodePage.h"

namespace fs = std::filesystem;

namespace scopewatch {
namespace {

QString DecodedName(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

// A text component as the file system writes it (UTF-8).
fs::path RealName(const std::string& text) {
    return fs::path(QFile::encodeName(FromAnsi(text)).toStdString());
}

// The name of a directory entry as the program's text. Characters that Windows-1252 lacks
// become "?"; such a name is shown, but no text can name it.
std::string NameText(const fs::path& name) {
    return ToAnsi(DecodedName(name));
}

bool HasDriveLetter(const std::string& text) {
    const char letter = text.empty() ? '\0' : text[0];
    return text.size() >= 2 && text[1] == ':' &&
           ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'));
}

// The entry of a directory named exactly like the component (or the component as written,
// when it is "." or ".."), if there is one.
std::optional<fs::path> ExactMatch(const fs::path& directory, const std::string& component) {
    std::error_code error;
    fs::path written = directory / RealName(component);
    if (component == "." || component == ".." || fs::exists(written, error)) {
        return written;
    }
    return std::nullopt;
}

// The entries of a directory by their names in lower case (as the program's texts): for each,
// the entry whose name sorts first.
std::unordered_map<std::string, fs::path> EntriesByLowerName(const fs::path& directory) {
    std::unordered_map<std::string, fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path name = it->path().filename();
        if (const std::optional<std::string> text = ToAnsiExactly(DecodedName(name))) {
            const auto [entry, added] = entries.try_emplace(AnsiLower(*text), it->path());
            if (!added && name < entry->second.filename()) {
                entry->second = it->path();
            }
        }
    }
    return entries;
}

// The entry of a directory named like the component: exact name first, then any letter
// case (accented letters included), the name that sorts first among several.
fs::path MatchComponent(const fs::path& directory, const std::string& component) {
    if (std::optional<fs::path> exact = ExactMatch(directory, component)) {
        return std::move(*exact);
    }
    std::error_code error;
    const std::string wanted = AnsiLower(component);
    fs::path match;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path name = it->path().filename();
        const std::optional<std::string> text = ToAnsiExactly(DecodedName(name));
        if (text && AnsiLower(*text) == wanted && (match.empty() || name < match.filename())) {
            match = it->path();
        }
    }
    return match.empty() ? directory / RealName(component) : match;
}

DriveType DriveTypeOf(const QStorageInfo& volume) {
    const QByteArray type = volume.fileSystemType();
    if (type == "iso9660" || type == "udf") {
        return DriveType::CdRom;
    }
    if (type == "nfs" || type == "nfs4" || type == "cifs" || type == "smb3" || type == "sshfs") {
        return DriveType::Network;
    }
    return DriveType::Fixed;
}

bool IsRealVolume(const QStorageInfo& volume) {
    return volume.isValid() && volume.isReady() && volume.device().startsWith("/dev/");
}

}  // namespace

FileSystem::FileSystem(fs::path workDir, std::vector<Drive> drives)
    : workDir_(std::move(workDir)), drives_(std::move(drives)) {}

std::vector<Drive> FileSystem::MountedVolumes() {
    std::vector<Drive> drives;
    const QStorageInfo root = QStorageInfo::root();
    drives.push_back({"C:\\", DriveTypeOf(root), ToAnsi(root.name()), "/"});
    std::vector<QStorageInfo> others;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (IsRealVolume(volume) && !volume.isRoot()) {
            others.push_back(volume);
        }
    }
    std::sort(others.begin(), others.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });
    char letter = 'D';
    for (const QStorageInfo& volume : others) {
        if (letter > 'Z') {
            break;
        }
        drives.push_back({std::string(1, letter) + ":\\", DriveTypeOf(volume),
                          ToAnsi(volume.name()), volume.rootPath().toStdString()});
        ++letter;
    }
    return drives;
}

void FileSystem::UseWinePrefixOf(const fs::path& realFolder) {
    std::error_code error;
    for (fs::path folder = realFolder; !folder.empty(); folder = folder.parent_path()) {
        if (fs::is_directory(folder / "dosdevices", error)) {
            winePrefix_ = folder;
            return;
        }
        if (folder == folder.parent_path()) {
            break;
        }
    }
}

std::optional<fs::path> FileSystem::DriveRoot(char letter) const {
    const std::string lower = AnsiLower(std::string(1, letter));
    std::error_code error;
    if (!winePrefix_.empty()) {
        const fs::path link = winePrefix_ / "dosdevices" / (lower + ":");
        if (fs::exists(link, error)) {
            return link;
        }
    }
    for (const Drive& drive : drives_) {
        if (!drive.rootPath.empty() && AnsiLower(drive.rootPath.substr(0, 1)) == lower) {
            return drive.mountPoint;
        }
    }
    return std::nullopt;
}

fs::path FileSystem::ToRealPath(const std::string& pathText) const {
    fs::path current;
    std::string rest = pathText;
    if (HasDriveLetter(pathText)) {
        const auto root = DriveRoot(pathText[0]);
        if (!root) {
            return {};
        }
        current = *root;
        rest = pathText.substr(2);
    } else if (!pathText.empty() && (pathText[0] == '/' || pathText[0] == '\\')) {
        current = "/";
    } else {
        current = workDir_;
    }
    for (const std::string& component : SplitPathText(rest)) {
        current = MatchComponent(current, component);
    }
    return current;
}

std::vector<fs::path> FileSystem::RealPathsIn(const std::string& folderText,
                                              const std::vector<std::string>& names) const {
    std::vector<fs::path> paths;
    paths.reserve(names.size());
    // Without a folder, or on a drive that is not there, each name goes its own way.
    if (folderText.empty() || (HasDriveLetter(folderText) && !DriveRoot(folderText[0]))) {
        for (const std::string& name : names) {
            paths.push_back(ToRealPath(JoinPathText(folderText, name)));
        }
        return paths;
    }
    const fs::path folder = ToRealPath(folderText);
    const std::unordered_map<std::string, fs::path> entries = EntriesByLowerName(folder);
    for (const std::string& name : names) {
        fs::path current = folder;
        bool inFolder = true;
        for (const std::string& component : SplitPathText(name)) {
            if (!inFolder) {
                current = MatchComponent(current, component);
            } else if (std::optional<fs::path> exact = ExactMatch(folder, component)) {
                current = std::move(*exact);
            } else {
                const auto entry = entries.find(AnsiLower(component));
                current = entry != entries.end() ? entry->second : folder / RealName(component);
            }
            inFolder = false;
        }
        paths.push_back(std::move(current));
    }
    return paths;
}

bool FileSystem::IsFile(const std::string& pathText) const {
    std::error_code error;
    return fs::is_regular_file(ToRealPath(pathText), error);
}

bool FileSystem::IsDirectory(const std::string& pathText) const {
    std::error_code error;
    return fs::is_directory(ToRealPath(pathText), error);
}

std::vector<FileSystem::ListedFile> FileSystem::MatchingFiles(const std::string& pattern) const {
    const size_t split = pattern.find_last_of("\\/");
    const std::string folder = split == std::string::npos ? "" : pattern.substr(0, split + 1);
    const std::string namePattern =
        split == std::string::npos ? pattern : pattern.substr(split + 1);
    if (HasDriveLetter(pattern) && folder.empty()) {
        return {};
    }
    const fs::path directory = folder.empty() ? workDir_ : ToRealPath(folder);
    std::vector<ListedFile> found;
    std::error_code error;
    if (directory.empty() || namePattern.empty()) {
        return found;
    }
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code statusError;
        std::string name = NameText(it->path().filename());
        if (it->is_regular_file(statusError) && WildcardMatch(namePattern, name)) {
            found.push_back({std::move(name), it->path()});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const ListedFile& a, const ListedFile& b) { return a.name < b.name; });
    return found;
}

std::vector<std::string> FileSystem::ListFiles(const std::string& pattern) const {
    std::vector<std::string> names;
    for (ListedFile& file : MatchingFiles(pattern)) {
        names.push_back(std::move(file.name));
    }
    return names;
}

std::vector<std::string> FileSystem::ListFolders(const std::string& folderText) const {
    const fs::path directory = ToRealPath(folderText);
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code statusError;
        if (it->is_directory(statusError)) {
            names.push_back(NameText(it->path().filename()));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

void FileSystem::DeleteFiles(const std::string& pattern) const {
    for (const ListedFile& file : MatchingFiles(pattern)) {
        std::error_code ignored;
        fs::remove(file.realPath, ignored);
    }
}

std::optional<std::vector<uint8_t>> FileSystem::ReadFile(const std::string& pathText) const {
    const fs::path path = ToRealPath(pathText);
    std::error_code error;
    if (path.empty() || !fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    return ReadWholeFile(path);
}

std::vector<std::string> SplitPathText(const std::string& pathText) {
    std::vector<std::string> components;
    std::string current;
    for (const char c : pathText) {
        if (c == '\\' || c == '/') {
            if (!current.empty()) {
                components.push_back(current);
            }
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) {
        components.push_back(current);
    }
    return components;
}

bool WildcardMatch(const std::string& anyCasePattern, const std::string& anyCaseName) {
    const std::string pattern = AnsiLower(anyCasePattern);
    const std::string name = AnsiLower(anyCaseName);
    size_t p = 0;
    size_t n = 0;
    size_t starPattern = std::string::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (starPattern != std::string::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

std::string JoinPathText(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    if (folder.back() == '\\' || folder.back() == '/') {
        return folder + name;
    }
    return folder + "\\" + name;
}

std::optional<std::string> PathTextOf(const std::filesystem::path& realPath) {
    return ToAnsiExactly(DecodedName(realPath));
}

Outcome<std::string> PathTextOfEntered(const QString& path) {
    if (std::optional<std::string> text = ToAnsiExactly(path)) {
        return Outcome<std::string>::Done(std::move(*text));
    }
    QString character;
    for (const char32_t codePoint : path.toUcs4()) {
        character = QString::fromUcs4(&codePoint, 1);
        if (!ToAnsiExactly(character)) {
            break;
        }
    }
    const QString code =
        QString("U+%1").arg(character.toUcs4().value(0), 4, 16, QChar('0')).toUpper();
    return Outcome<std::string>::Failed(
        "The path \"" + ToAnsi(path) + "\" holds a character that cannot be stored (" +
        code.toStdString() +
        "): paths are kept in the Windows-1252 code page, which lacks it. Please choose a "
        "folder whose path has no such character.");
}

}  // namespace scopewatch
