#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "shared/Outcome.h"

namespace scopewatch {

// Writes the whole content to a temporary file beside the target (the target's name with
// ".partial" added), forces it to the disk, then renames it over the target, so that a
// writer dying at any moment leaves either the old file or the new one under the real name,
// each whole. A write that fails removes its temporary file and leaves the target alone.
// A failure says why in an error text (Windows-1252, as the program's texts are).
// A test may pass a hook (below) to watch or break the write.

// What the temporary file's name adds to the target's.
inline constexpr const char* kPartialSuffix = ".partial";

// The whole file, or nothing when it cannot be read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path);
// The same into a vector whose memory is used again (one reader going through many files);
// false, and the content unspecified, when the file cannot be read.
bool ReadWholeFileInto(const std::filesystem::path& path, std::vector<uint8_t>& content);

// The steps of an atomic write, in order. The content goes out in two halves, so that a
// writer can be stopped in the middle of it.
enum class AtomicWriteStep {
    Created,      // the temporary file exists, empty
    HalfWritten,  // the first half of the content is in it
    Written,      // all of it
    Synced,       // and on the disk
    Renamed,      // the temporary file has replaced the target
};

// A seam for tests: called at every step of the write. Returning false fails the write at
// that step, as a full disk or a failing rename would (at Renamed the new file is already in
// place and the write counts as done); the hook may also end the process there, as a writer
// dying at that moment.
using AtomicWriteHook = std::function<bool(AtomicWriteStep)>;

Status WriteFileAtomically(const std::filesystem::path& target, const std::vector<uint8_t>& content,
                           const AtomicWriteHook& hook = {});

// The same write for content that comes piece by piece (a large file made while it is
// written): the temporary file is created at once and takes each piece as it comes, the disk
// starting on each piece right away so that the final sync has little left to wait for;
// Commit then puts the file in place. Until then the target is untouched, and a writer that
// goes without a commit removes its temporary file.
class AtomicFileWriter {
  public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Appends the bytes; false when the file could not be created or a write failed (the
    // first error is kept for Commit).
    bool Append(std::span<const uint8_t> bytes);
    // Syncs the file, closes it and renames it over the target; fails with the first error on
    // the way. The hook sees Synced and Renamed.
    Status Commit(const AtomicWriteHook& hook = {});
    // A step of the write failed (a test's hook refused it, as a full disk would): the write
    // stops with the error "cannot write ...". Returns false.
    bool Fail();
    // The file could not be created, or a write failed.
    bool failed() const { return error_.has_value(); }

  private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int descriptor_ = -1;
    size_t written_ = 0;
    size_t startedUpTo_ = 0;  // the disk has been started on the bytes before this
    bool kept_ = false;
    std::optional<std::string> error_;
};

}  // namespace scopewatch
