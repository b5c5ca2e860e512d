#pragma once

#include <QDateTime>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace scopewatch::capture {

// Where the sessions are recorded, and how many recordings are kept.
struct RecordingPlan {
    std::filesystem::path folder;  // empty: nothing is recorded
    size_t keepRecordings = 20;
    uint64_t keepBytes = uint64_t{1} << 30;
};

// "YYYY-MM-DD_HH-MM-SS <session name>.pcap" for a recording started at that local time: the
// session name is Windows-1252 text; the characters a file name cannot hold on Linux or Windows
// (the separators, * ? : " < > | and control characters) become "_", and a name left empty
// becomes "Session".
std::filesystem::path RecordingFileName(const QDateTime& start, const std::string& sessionName);

// Deletes the recordings of the folder (the files named as above) beyond the newest
// keepRecordings, and beyond the newest that stay within keepBytes together, oldest first by
// the time in their names. The recording `current` stays in any case. Files that cannot be
// deleted are left.
void PruneRecordings(const RecordingPlan& plan, const std::filesystem::path& current);

}  // namespace scopewatch::capture
