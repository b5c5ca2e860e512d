#include "builder/SceneryFileWorkers.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "bgl/BglLayout.h"
#include "bgl/BglWalker.h"
#include "builder/AirportDatabaseFile.h"
#include "platform/VectorRegisters.h"

namespace scopewatch {

namespace {

// Encodes each airport once the walk has moved on from it (or has stopped), while its data
// is still in the cache, and lets its memory go for the next.
class EncodingSink : public AirportSink {
  public:
    AirportRecord& NextAirport() override {
        EncodePending();
        airport_ = AirportRecord{};
        pending_ = true;
        ++count_;
        return airport_;
    }
    void EncodePending() {
        if (pending_) {
            AppendAirportRecord(bytes_, airport_);
            pending_ = false;
        }
    }
    int32_t count() const { return count_; }
    std::vector<uint8_t> TakeBytes() { return std::move(bytes_); }

  private:
    AirportRecord airport_;
    bool pending_ = false;
    int32_t count_ = 0;
    std::vector<uint8_t> bytes_;
};

}  // namespace

SceneryFileResult ExamineSceneryFile(const SceneryFileJob& job, const MagVarGrid& grid,
                                     FileBuffer& buffer) {
    SceneryFileResult result;
    std::error_code error;
    if (job.realPath.empty() || !std::filesystem::is_regular_file(job.realPath, error) ||
        !buffer.LoadFile(job.realPath.string())) {
        result.problem = job.pathText + ": cannot be read, skipped";
        return result;
    }
    if (buffer.FileLength() < kMinimumSceneryFileSize) {
        result.problem = job.pathText + ": shorter than 122 bytes, skipped";
        return result;
    }
    result.marked = buffer.reader().Int32At(bgl::kMarkerOffset) == bgl::kMarker;
    if (result.marked) {
        EncodingSink airports;
        try {
            const SceneryScanResult scan = ScanSceneryFile(buffer, grid, airports);
            if (scan.problem) {
                result.problem = job.pathText + ": stopped at " + scan.problem->Describe();
            }
        } catch (const std::exception& failure) {
            result.problem = job.pathText + ": " + failure.what();
        }
        airports.EncodePending();
        result.airportCount = airports.count();
        result.records = airports.TakeBytes();
    }
    return result;
}

SceneryFileWorkers::SceneryFileWorkers(std::vector<SceneryFileJob> jobs, const MagVarGrid& grid,
                                       int threads)
    : jobs_(std::move(jobs)), grid_(grid), slots_(jobs_.size()) {
    const size_t count = std::min(static_cast<size_t>(std::max(threads, 1)), jobs_.size());
    threads_.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        try {
            threads_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            break;  // the system gives no more threads: fewer workers give the same results
        }
    }
}

SceneryFileWorkers::~SceneryFileWorkers() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

void SceneryFileWorkers::Work() {
    ClearUpperVectorRegisters();  // this thread may have inherited the GUI thread's
    FileBuffer buffer;
    while (true) {
        size_t index = 0;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_ || nextJob_ == jobs_.size()) {
                return;
            }
            index = nextJob_++;
        }
        Slot slot;
        try {
            slot.result = ExamineSceneryFile(jobs_[index], grid_, buffer);
        } catch (...) {
            slot.failure = std::current_exception();
        }
        slot.done = true;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            slots_[index] = std::move(slot);
        }
        fileDone_.notify_all();
    }
}

SceneryFileResult SceneryFileWorkers::Take(size_t index) {
    if (index >= slots_.size()) {
        throw std::out_of_range("no scenery file " + std::to_string(index) + " to take");
    }
    if (threads_.empty()) {
        return ExamineSceneryFile(jobs_[index], grid_, callerBuffer_);
    }
    std::unique_lock<std::mutex> lock(mutex_);
    fileDone_.wait(lock, [&] { return slots_[index].done; });
    Slot slot = std::move(slots_[index]);
    slots_[index] = Slot{};
    lock.unlock();
    if (slot.failure) {
        std::rethrow_exception(slot.failure);
    }
    return std::move(*slot.result);
}

int DefaultWorkerCount() {
    return static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
}

}  // namespace scopewatch
