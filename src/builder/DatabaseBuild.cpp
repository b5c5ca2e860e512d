#include "builder/DatabaseBuild.h"

#include <algorithm>

#include "builder/AirportDatabaseFile.h"
#include "model/AirportData.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "startup/Settings.h"

namespace scopewatch {

DatabaseBuild::DatabaseBuild(SettingsState& state, LoadedAirportData& airport,
                             const FileSystem& files, MessageBoxes& messages, StatusSink status,
                             int threads)
    : state_(state),
      airport_(airport),
      files_(files),
      messages_(messages),
      status_(std::move(status)),
      threads_(std::max(threads, 1)) {
    airport_.airportList.clear();
    state_.settings.airportCount = 0;
}

void DatabaseBuild::ShowStatus(const std::string& text) const {
    if (status_) {
        status_(text);
    }
}

DiscoveryResult DatabaseBuild::Discover() {
    DiscoveryResult result;
    const std::string& simFolder = state_.settings.simFolder;
    ShowStatus("Magdec.bgl File");
    result.magVar = LoadSimulatorMagVars(files_, simFolder, fileBuffer_, airport_.magVarGrid);
    if (state_.settings.simVersion == 1) {
        ReadSceneryCfg(result);
    }
    CountSceneryFiles();
    ShowStatus("Getting ATC Folder...");
    state_.settings.facilityDataFolder =
        FacilityDataFolderOf(areas_, state_.settings.facilityDataFolder);
    ShowStatus("Done");
    result.areaCount = static_cast<int>(areas_.size());
    result.bglFileCount = bglFileCount_;
    return result;
}

void DatabaseBuild::ReadSceneryCfg(DiscoveryResult& result) {
    ShowStatus("Scenery.cfg File");
    const auto content = files_.ReadFile(state_.settings.simFolder + "\\scenery.cfg");
    result.sceneryCfgFound = content.has_value();
    if (content) {
        areas_ = ParseSceneryCfg(std::string(content->begin(), content->end()));
    }
    if (NeedsSimulatorCd(areas_)) {
        messages_.Show(kBuilderTitle, kInsertCdText, MessageIcon::Information, MessageButtons::Ok);
    }
    ResolveAreaPaths(areas_, state_.settings.simFolder, files_.drives());
}

void DatabaseBuild::CountSceneryFiles() {
    bglFileCount_ = 0;
    for (const SceneryArea& area : areas_) {
        if (IsAirportArea(area) && !area.local.empty()) {
            bglFileCount_ += static_cast<int>(files_.ListFiles(area.local + "\\*.bgl").size());
        }
    }
}

bool DatabaseBuild::Step() {
    if (!HasWork()) {
        return false;
    }
    if (!workers_) {
        StartWorkers();
    }
    const SceneryArea& area = areas_[areaIndex_];
    // An area without a folder is never scanned (its empty text would name the root).
    if (!IsAirportArea(area) || area.local.empty()) {
        ++areaIndex_;
        return HasWork();
    }
    ShowStatus(area.title);
    if (area.local != currentFolder_) {
        currentFolder_ = area.local;
        filesInFolder_ = folderFileCounts_[nextFolder_++];
        nextName_ = 0;
    }
    if (nextName_ < filesInFolder_) {
        ++nextName_;
        TakeNextFile();
        return true;
    }
    ++areaIndex_;
    return HasWork();
}

// Lists the airport folders in the order the steps will reach them (a folder again right
// after itself is not gone through twice) and hands all their files to the workers.
void DatabaseBuild::StartWorkers() {
    std::vector<SceneryFileJob> jobs;
    std::string folder;
    for (const SceneryArea& area : areas_) {
        if (!IsAirportArea(area) || area.local.empty() || area.local == folder) {
            continue;
        }
        folder = area.local;
        const std::vector<std::string> names = files_.ListFiles(folder + "\\*.bgl");
        // The files are named in lower case, as the program has always looked them up.
        std::vector<std::string> lowerNames;
        for (const std::string& name : names) {
            lowerNames.push_back(AnsiLower(name));
        }
        const std::string lowerFolder = AnsiLower(folder);
        const std::vector<std::filesystem::path> realPaths =
            files_.RealPathsIn(lowerFolder, lowerNames);
        for (size_t i = 0; i < names.size(); ++i) {
            jobs.push_back({JoinPathText(lowerFolder, lowerNames[i]), realPaths[i]});
        }
        folderFileCounts_.push_back(names.size());
    }
    database_ = std::make_unique<AtomicFileWriter>(state_.DatabaseFile());
    workers_ = std::make_unique<SceneryFileWorkers>(std::move(jobs), airport_.magVarGrid, threads_);
}

void DatabaseBuild::TakeNextFile() {
    ++filesExamined_;
    SceneryFileResult result = workers_->Take(nextFile_++);
    if (result.problem) {
        problems_.push_back(std::move(*result.problem));
    }
    if (result.marked) {
        airportsFound_ += result.airportCount;
        state_.settings.airportCount = airportsFound_;
        database_->Append(result.records);
    }
}

void DatabaseBuild::Stop() {
    workers_.reset();
    database_.reset();
    areaIndex_ = areas_.size();
}

Status DatabaseBuild::Finish() {
    ShowStatus("Creating database");
    workers_.reset();
    state_.settings.airportCount = airportsFound_;
    if (!database_) {  // no step ran
        database_ = std::make_unique<AtomicFileWriter>(state_.DatabaseFile());
    }
    // The records of every file went out as the steps took them; one empty record ends them
    // (no airports, no bytes at all).
    if (airportsFound_ > 0) {
        database_->Append(EncodeAirportRecords({AirportRecord{}}));
    }
    const Status committed = database_->Commit();
    database_.reset();
    if (!committed.ok()) {
        return Status::Failed("The database file could not be written: " + committed.failure);
    }
    ShowStatus("Updating Settings");
    fileBuffer_.Clear();
    const Status updated = UpdateSettings(state_.SettingsFile(), state_.settings);
    if (!updated.ok()) {
        return Status::Failed("The settings file could not be updated: " + updated.failure);
    }
    ShowStatus("");
    return Status::Done();
}

}  // namespace scopewatch
