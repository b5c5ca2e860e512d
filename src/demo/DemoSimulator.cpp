#include "demo/DemoSimulator.h"

#include <optional>
#include <stdexcept>
#include <system_error>

#include "demo/DemoAirspaces.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "scenerywriter/MagdecWriter.h"

namespace scopewatch::demo {

using namespace scenery;

namespace fs = std::filesystem;

namespace {

// Folders as they lie on disk; the configuration names some of them in other letter case.
const fs::path kMagdecFile = "Scenery/magdec.bgl";
const fs::path kFacilityDataFolder = "Scenery/Afd/Scenery";
const fs::path kUnscannedFile = "Scenery/Unused/scenery/ghost.bgl";

struct CfgArea {
    std::string title;
    std::string local;
    std::string remote;
    std::string required;
    int textureId = 0;
};

// scenery.cfg is a Windows-1252 text like every text the simulator writes.
std::string WindowsPath(const fs::path& absolute) {
    const std::optional<std::string> pathText = PathTextOf(absolute.generic_string());
    if (!pathText) {
        throw std::runtime_error("the folder " + absolute.string() +
                                 " has a character that Windows-1252 lacks");
    }
    std::string text = "C:" + *pathText;
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    return text;
}

std::vector<CfgArea> Areas(const fs::path& dir) {
    const std::string nordic = WindowsPath(dir / "Addon Scenery" / "Nordic");
    return {
        {"Default Terrain", "Scenery\\Base", "", "TRUE", 1},
        {"Airport and Facilities Data", "Scenery\\World", "", "TRUE", 0},
        {"Airport and Facilities Data", "Scenery\\EUROPE", "\\FS2002\\Scenery\\Europe", "TRUE", 0},
        {"Airport and Facilities Data", nordic, "", "true", 0},
        {"Additional Facility Data", "Scenery\\AFD", "", "TRUE", 0},
        {"Airport and Facilities Data", "Scenery\\Unused", "", "FALSE", 0},
        {"Generic Scenery", "Scenery\\Generic", "", "TRUE", 2},
        {"Propeller Objects", "", "", "TRUE", 0},
    };
}

void AppendArea(std::string& cfg, size_t number, const CfgArea& area) {
    static const char* const kHeaders[] = {"[Area.", "[area.", "[AREA."};
    const std::string digits = std::to_string(1000 + number).substr(1);
    cfg += std::string(kHeaders[number % 3]) + digits + "]\r\n";
    cfg += "Title=" + area.title + "\r\n";
    if (area.textureId != 0) {
        cfg += "Texture_ID=" + std::to_string(area.textureId) + "\r\n";
    }
    if (!area.remote.empty()) {
        cfg += "Remote=" + area.remote + "\r\n";
    }
    if (!area.local.empty()) {
        cfg += "Local=" + area.local + "\r\n";
    }
    cfg += "Layer=" + std::to_string(number) + "\r\n";
    cfg += "Active=TRUE\r\n";
    cfg += "Required=" + area.required + "\r\n\r\n";
}

void WriteFile(const fs::path& path, const Bytes& content) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (error) {
        throw std::runtime_error("cannot create the folder " + path.parent_path().string() + ": " +
                                 error.message());
    }
    if (const Status written = WriteFileAtomically(path, content); !written.ok()) {
        throw std::runtime_error("cannot write " + path.string() + ": " + written.failure);
    }
}

void WriteText(const fs::path& path, const std::string& text) {
    WriteFile(path, Bytes(text.begin(), text.end()));
}

// Files an airport folder also holds: one without the scenery marker, and one that is no
// scenery file at all.
void WriteOtherFiles(const fs::path& dir) {
    WriteFile(dir / "Scenery/World/scenery/ZZ_Objects.bgl", Bytes(240, 0));
    WriteText(dir / "Scenery/World/scenery/readme.txt", "Demo scenery for Scopewatch.\r\n");
    BglAirport ghost;
    ghost.name = "Ghost Field";
    ghost.icao = "XXGF";
    ghost.latitude = 36.6;
    ghost.longitude = -97.1;
    WriteFile(dir / kUnscannedFile, BuildAirportBgl({ghost}));
}

}  // namespace

std::string DemoSceneryCfg(const fs::path& dir) {
    std::string cfg =
        "[General]\r\nTitle=FS2002 World Scenery\r\nDescription=Scopewatch demo "
        "library\r\nClean_on_Exit=TRUE\r\n\r\n";
    size_t number = 1;
    for (const CfgArea& area : Areas(fs::absolute(dir))) {
        AppendArea(cfg, number++, area);
    }
    return cfg;
}

void WriteDemoSimulator(const fs::path& dir) {
    const fs::path root = fs::absolute(dir);
    WriteText(root / "scenery.cfg", DemoSceneryCfg(root));
    WriteFile(root / kMagdecFile, BuildMagdecBgl(DemoWorldVariation));
    for (const DemoSceneryFile& file : DemoSceneryFiles()) {
        WriteFile(root / file.relativePath, BuildAirportBgl(file.airports, file.layout));
    }
    WriteOtherFiles(root);
    std::error_code error;
    fs::create_directories(root / kFacilityDataFolder, error);
    if (error) {
        throw std::runtime_error("cannot create the folder " +
                                 (root / kFacilityDataFolder).string() + ": " + error.message());
    }
    WriteDemoAirspaces(root / kFacilityDataFolder);
}

}  // namespace scopewatch::demo
