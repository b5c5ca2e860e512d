#include "platform/FileSystem.h"

#include <QStorageInfo>
#include <algorithm>
#include <cctype>

#include "platform/AtomicFile.h"

namespace fs = std::filesystem;

namespace scopewatch {
namespace {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The entry of a directory named like the component: exact name first, then any case.
fs::path MatchComponent(const fs::path& directory, const std::string& component) {
    std::error_code error;
    if (component == "." || component == "..") {
        return directory / component;
    }
    if (fs::exists(directory / component, error)) {
        return directory / component;
    }
    fs::path match;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (EqualsIgnoringCase(name, component) &&
            (match.empty() || name < match.filename().string())) {
            match = it->path();
        }
    }
    return match.empty() ? directory / component : match;
}

bool HasDriveLetter(const std::string& text) {
    return text.size() >= 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0]));
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
    drives.push_back({"C:\\", DriveTypeOf(root), root.name().toStdString(), "/"});
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
                          volume.name().toStdString(), volume.rootPath().toStdString()});
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
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    std::error_code error;
    if (!winePrefix_.empty()) {
        const fs::path link = winePrefix_ / "dosdevices" / (std::string(1, lower) + ":");
        if (fs::exists(link, error)) {
            return link;
        }
    }
    for (const Drive& drive : drives_) {
        if (!drive.rootPath.empty() &&
            std::tolower(static_cast<unsigned char>(drive.rootPath[0])) == lower) {
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

bool FileSystem::IsFile(const std::string& pathText) const {
    std::error_code error;
    return fs::is_regular_file(ToRealPath(pathText), error);
}

bool FileSystem::IsDirectory(const std::string& pathText) const {
    std::error_code error;
    return fs::is_directory(ToRealPath(pathText), error);
}

std::vector<std::string> FileSystem::ListFiles(const std::string& pattern) const {
    const size_t split = pattern.find_last_of("\\/");
    const std::string folder = split == std::string::npos ? "" : pattern.substr(0, split + 1);
    const std::string namePattern =
        split == std::string::npos ? pattern : pattern.substr(split + 1);
    if (HasDriveLetter(pattern) && folder.empty()) {
        return {};
    }
    const fs::path directory = folder.empty() ? workDir_ : ToRealPath(folder);
    std::vector<std::string> names;
    std::error_code error;
    if (directory.empty() || namePattern.empty()) {
        return names;
    }
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code statusError;
        const std::string name = it->path().filename().string();
        if (it->is_regular_file(statusError) && WildcardMatch(namePattern, name)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
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
            names.push_back(it->path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

void FileSystem::DeleteFiles(const std::string& pattern) const {
    const size_t split = pattern.find_last_of("\\/");
    const std::string folder = split == std::string::npos ? "" : pattern.substr(0, split + 1);
    const fs::path directory = folder.empty() ? workDir_ : ToRealPath(folder);
    for (const std::string& name : ListFiles(pattern)) {
        std::error_code ignored;
        fs::remove(directory / name, ignored);
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

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    size_t p = 0;
    size_t n = 0;
    size_t starPattern = std::string::npos;
    size_t starName = 0;
    const auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
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

}  // namespace scopewatch
