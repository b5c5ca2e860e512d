#include "builder/DatabaseBuild.h"

#include <exception>

#include "bgl/BglLayout.h"
#include "bgl/BglWalker.h"
#include "builder/AirportDatabaseFile.h"
#include "model/AirportData.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "startup/Settings.h"

namespace scopewatch {
namespace {

// A file must reach past the marker word at 118 to be examined.
constexpr size_t kMinimumSceneryFileSize = 122;

}  // namespace

DatabaseBuild::DatabaseBuild(SettingsState& state, LoadedAirportData& airport,
                             const FileSystem& files, MessageBoxes& messages, StatusSink status)
    : state_(state),
      airport_(airport),
      files_(files),
      messages_(messages),
      status_(std::move(status)) {
    airport_.airportList.clear();
    state_.settings.airportCount = 0;
}

void DatabaseBuild::Status(const std::string& text) const {
    if (status_) {
        status_(text);
    }
}

DiscoveryResult DatabaseBuild::Discover() {
    DiscoveryResult result;
    const std::string& simFolder = state_.settings.simFolder;
    Status("Magdec.bgl File");
    result.magVar = LoadSimulatorMagVars(files_, simFolder, fileBuffer_, airport_.magVarGrid);
    if (state_.settings.simVersion == 1) {
        ReadSceneryCfg(result);
    }
    CountSceneryFiles();
    Status("Getting ATC Folder...");
    state_.settings.facilityDataFolder =
        FacilityDataFolderOf(areas_, state_.settings.facilityDataFolder);
    Status("Done");
    result.areaCount = static_cast<int>(areas_.size());
    result.bglFileCount = bglFileCount_;
    return result;
}

void DatabaseBuild::ReadSceneryCfg(DiscoveryResult& result) {
    Status("Scenery.cfg File");
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
    const SceneryArea& area = areas_[areaIndex_];
    // An area without a folder is never scanned (its empty text would name the root).
    if (!IsAirportArea(area) || area.local.empty()) {
        ++areaIndex_;
        return HasWork();
    }
    Status(area.title);
    if (area.local != currentFolder_) {
        currentFolder_ = area.local;
        listing_ = files_.ListFiles(currentFolder_ + "\\*.bgl");
        nextName_ = 0;
    }
    if (nextName_ < listing_.size()) {
        ExamineFile(listing_[nextName_++]);
        return true;
    }
    ++areaIndex_;
    return HasWork();
}

void DatabaseBuild::ExamineFile(const std::string& name) {
    const std::string pathText = AnsiLower(JoinPathText(currentFolder_, name));
    ++filesExamined_;
    auto bytes = files_.ReadFile(pathText);
    if (!bytes) {
        problems_.push_back(pathText + ": cannot be read, skipped");
        return;
    }
    if (bytes->size() < kMinimumSceneryFileSize) {
        problems_.push_back(pathText + ": shorter than 122 bytes, skipped");
        return;
    }
    fileBuffer_ = FileBuffer(std::move(*bytes));
    if (fileBuffer_.ReadInt32(bgl::kMarkerOffset) == bgl::kMarker) {
        std::vector<AirportRecord>& airports = airport_.airportList;
        try {
            const SceneryScanResult scan =
                ScanSceneryFile(fileBuffer_, airport_.magVarGrid, airports);
            if (scan.problem) {
                problems_.push_back(pathText + ": stopped at " + scan.problem->Describe());
            }
        } catch (const std::exception& error) {
            problems_.push_back(pathText + ": " + error.what());
        }
        state_.settings.airportCount = static_cast<int32_t>(airports.size());
    }
    fileBuffer_.Clear();
}

FinishResult DatabaseBuild::Finish() {
    Status("Creating database");
    std::vector<AirportRecord>& airports = airport_.airportList;
    state_.settings.airportCount = static_cast<int32_t>(airports.size());
    if (const auto error = WriteAirportDatabase(state_.DatabaseFile(), airports)) {
        return {false, "The database file could not be written: " + *error};
    }
    Status("Updating Settings");
    fileBuffer_.Clear();
    airports.clear();
    airports.shrink_to_fit();
    const SettingsResult updated = UpdateSettings(state_.SettingsFile(), state_.settings);
    if (!updated.ok) {
        return {false, "The settings file could not be updated: " + updated.error};
    }
    Status("");
    return {};
}

}  // namespace scopewatch
