#include "FileSeeds.h"

#include <stdexcept>

#include "SeedFolder.h"
#include "bgl/BglWalker.h"
#include "bgl/MagdecFile.h"
#include "builder/AirportDatabaseFile.h"
#include "builder/DatabaseBuild.h"
#include "demo/DemoSimulator.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "scenerywriter/AirspaceWriter.h"
#include "startup/Setup.h"
#include "state/ProgramState.h"

namespace scopewatch::fuzzing {
namespace {

namespace fs = std::filesystem;
using scenery::Bytes;

class SilentMessages : public MessageBoxes {
  public:
    MessageAnswer Ask(const std::string&, const std::string&, MessageIcon,
                      MessageButtons) override {
        return MessageAnswer::Ok;
    }
};

Bytes ReadFile(const fs::path& path) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return std::move(*bytes);
}

std::string LowerName(const fs::path& path) {
    return AnsiLower(path.filename().string());
}

// The demo's smaller airports: all but the large one, which its file holds already.
std::vector<scenery::BglAirport> SmallAirports() {
    std::vector<scenery::BglAirport> airports;
    for (const demo::DemoSceneryFile& file : demo::DemoSceneryFiles()) {
        for (const scenery::BglAirport& airport : file.airports) {
            if (airport.name != demo::DemoLargeAirport().name) {
                airports.push_back(airport);
            }
        }
    }
    return airports;
}

// The demo's airport files, and each smaller airport alone in a file of its own (every other
// one indexed in the second section).
void WriteSceneryFileSeeds(const SeedFolder& seeds) {
    for (const demo::DemoSceneryFile& file : demo::DemoSceneryFiles()) {
        seeds.Add(LowerName(file.relativePath),
                  scenery::BuildAirportBgl(file.airports, file.layout));
    }
    int single = 0;
    for (const scenery::BglAirport& airport : SmallAirports()) {
        scenery::AirportFileLayout layout;
        layout.secondSectionFrom = single % 2 == 0 ? 0 : layout.secondSectionFrom;
        seeds.Add("single-" + std::to_string(single++) + ".bgl",
                  scenery::BuildAirportBgl({airport}, layout));
    }
}

// The demo's airspace files and one file per airspace kind of boundary, each with the large
// airport in front as the one the airspaces must contain.
void WriteAirspaceSeeds(const fs::path& facilityData, const SeedFolder& seeds) {
    const scenery::BglAirport& airport = demo::DemoLargeAirport();
    const Bytes target = Prefixed(Prefixed(Word(scenery::EncodeLatitude(airport.latitude)),
                                           Word(scenery::EncodeLongitude(airport.longitude))),
                                  Word(static_cast<int32_t>(airport.elevationFt)));
    for (const fs::directory_entry& entry : fs::directory_iterator(facilityData)) {
        seeds.Add(LowerName(entry.path()), Prefixed(target, ReadFile(entry.path())));
    }
    scenery::BglAirspace circle =
        scenery::CircleAirspace({airport.latitude, airport.longitude}, 5, 0, 2500);
    circle.shortNames = {"D"};
    seeds.Add("circle.bgl", Prefixed(target, scenery::BuildAirspaceBgl({circle})));
    scenery::BglAirspace center = circle;
    center.fullName = "Demo Center";
    center.frequenciesMhz = {127.45};
    center.namesBeforeBox = true;
    seeds.Add("center.bgl", Prefixed(target, scenery::BuildAirspaceBgl({center})));
}

void WriteMagdecSeeds(const fs::path& magdec, const SeedFolder& seeds) {
    const Bytes whole = ReadFile(magdec);
    seeds.Add("magdec.bgl", whole);
    seeds.Add("short.bgl", Bytes(whole.begin(), whole.begin() + 1000));
    Bytes noTable(whole.begin(), whole.begin() + 120);
    for (size_t i = 110; i < 114; ++i) {
        noTable[i] = 0;
    }
    seeds.Add("no-table.bgl", noTable);
}

void WriteSceneryCfgSeeds(const fs::path& demoDir, const SeedFolder& seeds) {
    seeds.Add("scenery.cfg", ReadFile(demoDir / "scenery.cfg"));
    seeds.Add("volume-label.cfg",
              std::string("[General]\r\nTitle=FS2002\r\n\r\n[Area.001]\r\nTitle=Airport and "
                          "Facilities Data\r\nLocal=[FS2002_2]\\Scenery\\World\r\nRemote="
                          "\\Scenery\\World\r\nActive=TRUE\r\nRequired=TRUE\r\n[Area.002]\r\n"
                          "Title=Additional Facility Data\r\nLocal=Scenery\\Afd\r\nRequired=TRUE"
                          "\r\nSubTitle=x\r\n"));
}

// Setup and the database build on the demo simulator, as scopewatch-build-db runs them: the
// settings file after setup and after the build, and the database (with its highest airport
// index in front).
void WriteBuildSeeds(const fs::path& demoDir, const fs::path& runDir, const SeedFolder& settings,
                     const SeedFolder& database) {
    fs::create_directories(runDir);
    ProgramState state;
    state.workDir = runDir;
    const FileSystem files(runDir);
    SilentMessages messages;
    if (!ConfirmSetup(state, messages, fs::absolute(demoDir).string(), true)) {
        throw std::runtime_error("setup failed in " + runDir.string());
    }
    settings.Add("after-setup.tcs", ReadFile(state.SettingsFile()));
    DatabaseBuild build(state, state.airport, files, messages);
    build.Discover();
    while (build.Step()) {
    }
    const int32_t highestIndex = state.settings.airportCount;
    if (!build.Finish().ok()) {
        throw std::runtime_error("the demo database build failed in " + runDir.string());
    }
    settings.Add("after-build.tcs", ReadFile(state.SettingsFile()));
    database.Add("demo.dat",
                 Prefixed({static_cast<uint8_t>(highestIndex)}, ReadFile(state.DatabaseFile())));
}

// Each smaller airport alone in a database, as a build of that one airport writes it.
void WriteSmallDatabaseSeeds(const fs::path& magdec, const SeedFolder& seeds) {
    FileBuffer buffer;
    MagVarGrid grid;
    LoadMagVarGrid(magdec.string(), buffer, grid);
    int index = 0;
    for (const scenery::BglAirport& airport : SmallAirports()) {
        std::vector<AirportRecord> records;
        ScanSceneryFile(FileBuffer(scenery::BuildAirportBgl({airport})), grid, records);
        seeds.Add("single-" + std::to_string(index++) + ".dat",
                  Prefixed({1}, EncodeAirportDatabase(records)));
    }
}

}  // namespace

void WriteFileSeeds(const fs::path& workDir, const fs::path& out) {
    const fs::path demoDir = workDir / "demo-sim";
    demo::WriteDemoSimulator(demoDir);
    WriteSceneryFileSeeds(SeedFolder(out, "scenery-file"));
    WriteAirspaceSeeds(demoDir / "Scenery" / "Afd" / "Scenery", SeedFolder(out, "airspace-file"));
    WriteMagdecSeeds(demoDir / "Scenery" / "magdec.bgl", SeedFolder(out, "magdec"));
    WriteSceneryCfgSeeds(demoDir, SeedFolder(out, "scenery-cfg"));
    const SeedFolder database(out, "airport-database");
    WriteBuildSeeds(demoDir, workDir / "run", SeedFolder(out, "settings"), database);
    WriteSmallDatabaseSeeds(demoDir / "Scenery" / "magdec.bgl", database);
}

}  // namespace scopewatch::fuzzing
