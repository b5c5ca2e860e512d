#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bgl/FileBuffer.h"
#include "geo/MagVarGrid.h"

namespace scopewatch {

// One scenery file for the database build.
struct SceneryFileJob {
    std::string pathText;            // as the build's problems name the file
    std::filesystem::path realPath;  // empty when the text names no place on disk
};

// What examining one scenery file gave.
struct SceneryFileResult {
    // The file carries the scenery marker, so its airports were looked for (and count).
    bool marked = false;
    int32_t airportCount = 0;
    std::vector<uint8_t> records;        // its airports as the database stores them, in file order
    std::optional<std::string> problem;  // why it was skipped, or where its walk stopped
};

// A scenery file shorter than this is skipped: it must reach past the marker word at 118.
inline constexpr int64_t kMinimumSceneryFileSize = 122;

// Reads the file into the buffer and decodes its airports with the variation grid: what the
// build does with each scenery file. The buffer is the caller's, used again file after file.
SceneryFileResult ExamineSceneryFile(const SceneryFileJob& job, const MagVarGrid& grid,
                                     FileBuffer& buffer);

// Examines scenery files on worker threads, each worker with its own file buffer and decoder,
// all of them reading the one variation grid (which must not change while they run). The
// workers take the files in order, each the next one nobody has taken; the caller takes the
// results in the same order, so that whatever the number of workers the database is written
// in the order of the files. A worker's exception other than a file's own problems (memory
// running out) is thrown again to the caller that takes that file's result.
class SceneryFileWorkers {
  public:
    // Starts up to `threads` workers (at least one when there are files) on the jobs. Where
    // the system gives no thread at all, Take examines each file itself.
    SceneryFileWorkers(std::vector<SceneryFileJob> jobs, const MagVarGrid& grid, int threads);
    // Lets each worker finish the file in hand, then ends them: the remaining files are not
    // examined.
    ~SceneryFileWorkers();
    SceneryFileWorkers(const SceneryFileWorkers&) = delete;
    SceneryFileWorkers& operator=(const SceneryFileWorkers&) = delete;

    // The result of the file at the index, waiting until a worker has it. Each index is
    // taken once.
    SceneryFileResult Take(size_t index);

  private:
    struct Slot {
        std::optional<SceneryFileResult> result;
        std::exception_ptr failure;
        bool done = false;
    };

    void Work();

    const std::vector<SceneryFileJob> jobs_;
    const MagVarGrid& grid_;
    std::mutex mutex_;
    std::condition_variable fileDone_;
    size_t nextJob_ = 0;       // guarded by mutex_
    bool stopping_ = false;    // guarded by mutex_
    std::vector<Slot> slots_;  // guarded by mutex_
    std::vector<std::thread> threads_;
    FileBuffer callerBuffer_;  // Take's own, when there are no workers
};

// The number of workers a build uses unless told otherwise: one per processor core.
int DefaultWorkerCount();

}  // namespace scopewatch
