// scenery.cfg, the simulator's scenery library, as the database build reads it: the areas,
// their folders resolved against the drives (volume labels included), the areas that are
// scanned and the folders looked up on disk. The input is the file.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "builder/SceneryDiscovery.h"
#include "platform/FileSystem.h"

namespace scopewatch::fuzzing {
namespace {

// An empty folder of drives for the lookups: C: a disk, D: the simulator's second CD.
const FileSystem& Files() {
    static const ScratchFolder scratch("scenery-cfg");
    static const FileSystem files = [] {
        const std::filesystem::path& root = scratch.path();
        std::filesystem::create_directories(root / "c");
        std::filesystem::create_directories(root / "d");
        return FileSystem(root / "c", {{"C:\\", DriveType::Fixed, "SYSTEM", root / "c"},
                                       {"D:\\", DriveType::CdRom, "FS2002_2", root / "d"},
                                       {"E:\\", DriveType::Removable, "STICK", root / "e"}});
    }();
    return files;
}

}  // namespace
}  // namespace scopewatch::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scopewatch;
    using namespace scopewatch::fuzzing;
    const std::string content(reinterpret_cast<const char*>(data), size);
    std::vector<SceneryArea> areas = ParseSceneryCfg(content);
    const std::string simFolder = "C:\\Program Files\\Microsoft Games\\FS2002";
    ResolveAreaPaths(areas, simFolder, Files().drives());
    NeedsSimulatorCd(areas);
    FacilityDataFolderOf(areas, simFolder + "\\Scenery\\Afd\\Scenery");
    for (const SceneryArea& area : areas) {
        if (IsAirportArea(area) || IsFacilityDataArea(area)) {
            Files().ToRealPath(area.local);
            Files().ListFiles(JoinPathText(area.local, "*.bgl"));
        }
    }
    return 0;
}
