#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bgl/FileBuffer.h"
#include "bgl/MagdecFile.h"
#include "builder/SceneryDiscovery.h"
#include "builder/SceneryFileWorkers.h"
#include "platform/AtomicFile.h"
#include "shared/Outcome.h"

namespace scopewatch {

struct LoadedAirportData;
struct SettingsState;
class FileSystem;
class MessageBoxes;

inline constexpr const char* kInsertCdText =
    "Please insert your FS2002 CD disk2. After you insert it, press OK to continue. If you "
    "already have the FS2002 CD disk2 inside your CD-ROM Drive, then press OK.";

// What scenery discovery found.
struct DiscoveryResult {
    MagVarLoadResult magVar = MagVarLoadResult::FileMissing;
    bool sceneryCfgFound = false;
    int areaCount = 0;
    int bglFileCount = 0;  // scenery files in the airport areas
};

// The database build, cut into steps so that a window can run one scenery file per timer
// tick and a command-line tool can run the same steps in a loop:
//   Discover() once, Step() while it says more work remains, Finish() once.
// It fills the airport count, variation grid and facility data folder.
//
// The first step hands every scenery file of the airport areas to worker threads, which read
// and decode them all at once (as many as the machine has cores, unless told otherwise), and
// starts the new database beside the old one; each step then takes the next file's airports,
// in the order of the files, and writes them on. So the steps, their status texts and the
// database bytes are the same for any number of workers. A step waits at most for the file
// it takes.
class DatabaseBuild {
  public:
    using StatusSink = std::function<void(const std::string&)>;

    // Starts with no airports: the shared airport list is emptied and the count set to 0.
    // threads: the number of workers decoding scenery files, from 1 (DefaultWorkerCount()).
    DatabaseBuild(SettingsState& state, LoadedAirportData& airport, const FileSystem& files,
                  MessageBoxes& messages, StatusSink status = {},
                  int threads = DefaultWorkerCount());

    // Loads magdec.bgl, reads scenery.cfg (asking once for the simulator's CD when an area
    // lives on it), resolves the area folders, counts the scenery files of the airport areas
    // and finds the facility data folder.
    DiscoveryResult Discover();

    bool HasWork() const { return areaIndex_ < areas_.size(); }
    // One piece of work: examines the next scenery file of the current airport area, or moves
    // on to the next area. Returns whether more work remains.
    bool Step();
    // Completes the database and puts it in place of any older one, whole, then records the
    // airport count and the facility data folder in the settings file.
    Status Finish();
    // Gives the build up where it stands: the workers end after the files in hand, the new
    // database goes and no more work remains.
    void Stop();

    const std::vector<SceneryArea>& areas() const { return areas_; }
    int bglFileCount() const { return bglFileCount_; }
    int filesExamined() const { return filesExamined_; }
    // Files skipped or examined only in part, each with its path and the reason.
    const std::vector<std::string>& problems() const { return problems_; }

  private:
    void ShowStatus(const std::string& text) const;
    void ReadSceneryCfg(DiscoveryResult& result);
    void CountSceneryFiles();
    void StartWorkers();
    void TakeNextFile();

    SettingsState& state_;
    LoadedAirportData& airport_;
    const FileSystem& files_;
    MessageBoxes& messages_;
    StatusSink status_;
    int threads_;

    std::vector<SceneryArea> areas_;
    int bglFileCount_ = 0;
    size_t areaIndex_ = 0;
    std::string currentFolder_;
    // The number of scenery files of each airport folder, in the order the steps reach them.
    std::vector<size_t> folderFileCounts_;
    size_t nextFolder_ = 0;
    size_t filesInFolder_ = 0;
    size_t nextName_ = 0;
    std::unique_ptr<SceneryFileWorkers> workers_;
    size_t nextFile_ = 0;
    FileBuffer fileBuffer_;
    int filesExamined_ = 0;
    int32_t airportsFound_ = 0;
    std::vector<std::string> problems_;
    // The new database, beside the old one until Finish puts it in place: the records of each
    // file go into it as the steps take them, in the order of the files.
    std::unique_ptr<AtomicFileWriter> database_;
};

}  // namespace scopewatch
