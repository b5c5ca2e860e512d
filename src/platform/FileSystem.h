#pragma once

#include <QString>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "shared/Outcome.h"

namespace scopewatch {

enum class DriveType { Unknown, Removable, Fixed, Network, CdRom, RamDisk };

// One entry of the drive list: a mounted volume under a drive letter.
struct Drive {
    std::string rootPath;  // "C:\"
    DriveType type = DriveType::Fixed;
    std::optional<std::string> volumeLabel;  // empty optional: the label cannot be read
    std::filesystem::path mountPoint;
};

// Maps the program's Windows-style path texts ("\" or "/" between components, any letter
// case, an optional drive letter) onto the Linux file system, and lists, reads and deletes
// files by such texts. Relative texts are taken from the working directory.
//
// This is the one place where texts change encoding: path texts, like every text of the
// program, are Windows-1252 bytes; names on disk are UTF-8. Texts go in and names come out
// converted here, and letter case is compared on the Windows-1252 text.
class FileSystem {
  public:
    explicit FileSystem(std::filesystem::path workDir, std::vector<Drive> drives = {});

    // The mounted volumes of this machine as a drive list: "/" is C:, the other real
    // volumes follow from D: in the order of their mount points.
    static std::vector<Drive> MountedVolumes();

    const std::filesystem::path& workDir() const { return workDir_; }
    const std::vector<Drive>& drives() const { return drives_; }
    void SetDrives(std::vector<Drive> drives) { drives_ = std::move(drives); }

    // When the real folder lies inside a Wine prefix, drive letters are taken from the
    // prefix's dosdevices links from now on (before the drive list).
    void UseWinePrefixOf(const std::filesystem::path& realFolder);

    // The real path for a path text: each component matched against the directory's
    // entries, the exact name first, then regardless of letter case. Components that do
    // not exist are kept as written. An unknown drive letter gives an empty path.
    std::filesystem::path ToRealPath(const std::string& pathText) const;

    // ToRealPath(JoinPathText(folderText, name)) for each name, in order, but the folder is
    // found once and its entries are read once rather than once for every name: a folder of
    // many files costs time in proportion to their number.
    std::vector<std::filesystem::path> RealPathsIn(const std::string& folderText,
                                                   const std::vector<std::string>& names) const;

    bool IsFile(const std::string& pathText) const;
    bool IsDirectory(const std::string& pathText) const;

    // Names of the normal files matched by the text: a folder followed by a file name, or
    // by a pattern with "*" and "?" (letter case ignored). Sorted by name. A character of a
    // name that Windows-1252 lacks is listed as "?" (no text can open such a file).
    std::vector<std::string> ListFiles(const std::string& pattern) const;
    // Names of the sub-folders of a folder, sorted.
    std::vector<std::string> ListFolders(const std::string& folderText) const;

    // Deletes the normal files matched as in ListFiles; errors are ignored.
    void DeleteFiles(const std::string& pattern) const;

    std::optional<std::vector<uint8_t>> ReadFile(const std::string& pathText) const;

  private:
    struct ListedFile {
        std::string name;
        std::filesystem::path realPath;
    };
    std::vector<ListedFile> MatchingFiles(const std::string& pattern) const;
    std::optional<std::filesystem::path> DriveRoot(char letter) const;

    std::filesystem::path workDir_;
    std::vector<Drive> drives_;
    std::filesystem::path winePrefix_;
};

// Splits a path text at "\" and "/" into its non-empty components.
std::vector<std::string> SplitPathText(const std::string& pathText);
// "*" and "?" wildcard match, letter case ignored (Windows-1252, accented letters included).
bool WildcardMatch(const std::string& pattern, const std::string& name);
// Joins two path texts with "\" (as the program's texts are written).
std::string JoinPathText(const std::string& folder, const std::string& name);

// The text of a real path (one the program was given, such as its working directory):
// nothing when a character of it has no place in Windows-1252.
std::optional<std::string> PathTextOf(const std::filesystem::path& realPath);

// A path as the user typed it or gave it on the command line, turned into the program's
// text when it enters. A path with a character that Windows-1252 cannot hold is refused,
// saying why and naming the character.
Outcome<std::string> PathTextOfEntered(const QString& path);

}  // namespace scopewatch
