#include "WorldScenery.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "bgl/BglLayout.h"
#include "demo/DemoSimulator.h"
#include "scenerywriter/BglWriter.h"
#include "scenerywriter/MagdecWriter.h"

namespace scopewatch::benchmarks {
namespace {

namespace fs = std::filesystem;
using scenery::BglAirport;

constexpr int kFiles = 250;
constexpr int kAirportsPerFile = 84;
constexpr size_t kAirportsPerGroup = 8;
// One airport in this many is the demo's large airport, the others its smaller fields.
constexpr int kLargeAirportEvery = 100;
// The facilities the build passes over (navaids and the like) that each facility block
// carries besides the airport's own records: with them 21,000 airports hold about 90 MB of
// scenery and make a database of about 29 MB, close to the simulator's own world.
constexpr size_t kPassedOverRecords = 10;
constexpr size_t kPassedOverBytes = 248;

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::vector<BglAirport> DemoAirports() {
    std::vector<BglAirport> airports;
    for (const demo::DemoSceneryFile& file : demo::DemoSceneryFiles()) {
        airports.insert(airports.end(), file.airports.begin(), file.airports.end());
    }
    return airports;
}

// The airport with its reference point, runways and localizers shifted to the position.
BglAirport MovedTo(BglAirport airport, double latitude, double longitude, int number) {
    const double dLat = latitude - airport.latitude;
    const double dLon = longitude - airport.longitude;
    airport.latitude = latitude;
    airport.longitude = longitude;
    for (scenery::BglRunway& runway : airport.runways) {
        runway.latitude += dLat;
        runway.longitude += dLon;
        for (scenery::BglIls& ils : runway.ils) {
            ils.latitude += dLat;
            ils.longitude += dLon;
        }
    }
    airport.name += " " + std::to_string(number);
    return airport;
}

// The n-th airport of the world: spread over the inhabited latitudes and every longitude.
BglAirport WorldAirport(const std::vector<BglAirport>& demo, int n) {
    const BglAirport& model =
        n % kLargeAirportEvery == 0 ? demo.front() : demo[1 + n % (demo.size() - 1)];
    const double latitude = -55.0 + std::fmod(n * 0.6180339887 * 125.0, 125.0);
    const double longitude = -179.0 + std::fmod(n * 0.4142135623 * 358.0, 358.0);
    return MovedTo(model, latitude, longitude, n);
}

std::string SceneryCfg() {
    return "[General]\r\nTitle=FS2002 World Scenery\r\n\r\n"
           "[Area.001]\r\nTitle=Airport and Facilities Data\r\nLocal=Scenery\\World\r\n"
           "Layer=1\r\nActive=TRUE\r\nRequired=TRUE\r\n";
}

std::vector<uint8_t> FacilityBlockOf(const BglAirport& airport) {
    std::vector<scenery::Bytes> records = scenery::FacilityRecords(airport);
    for (size_t i = 0; i < kPassedOverRecords; ++i) {
        const int32_t id = i % 2 == 0 ? bgl::kOtherFacility3 : bgl::kOtherFacility5;
        records.push_back(scenery::BglRecord(id, scenery::Bytes(kPassedOverBytes, 0x5A)));
    }
    return scenery::FacilityBlock(records);
}

// A scenery file of the airports: their facility blocks, then one index chain; in every
// other file the chain stands in the second section, after a record the walk passes over.
std::vector<uint8_t> SceneryFileOf(const std::vector<BglAirport>& airports, bool secondSection) {
    scenery::BglFile file;
    std::vector<scenery::Bytes> groups;
    std::vector<scenery::Bytes> entries;
    for (const BglAirport& airport : airports) {
        entries.push_back(scenery::IndexEntry(airport.name, file.Append(FacilityBlockOf(airport))));
        if (entries.size() == kAirportsPerGroup) {
            groups.push_back(scenery::IndexGroup(entries));
            entries.clear();
        }
    }
    if (!entries.empty()) {
        groups.push_back(scenery::IndexGroup(entries));
    }
    groups.push_back(scenery::EndRecord());
    if (secondSection) {
        groups.insert(groups.begin(),
                      scenery::BglRecord(bgl::kSkippedSectionRecord, scenery::Bytes(8, 0)));
        file.SetSecondSection(file.Append(scenery::Concat(groups)));
    } else {
        file.SetFirstSection(file.Append(scenery::Concat(groups)));
    }
    return file.Take();
}

}  // namespace

WorldScenery::WorldScenery()
    : root_(fs::temp_directory_path() /
            ("scopewatch-world-" + std::to_string(static_cast<long>(::getpid())))),
      simFolder_(root_ / "sim"),
      workFolder_(root_ / "work") {
    fs::remove_all(root_);
    fs::create_directories(workFolder_);
    const std::string cfg = SceneryCfg();
    WriteBytes(simFolder_ / "scenery.cfg", std::vector<uint8_t>(cfg.begin(), cfg.end()));
    WriteBytes(simFolder_ / "Scenery" / "magdec.bgl",
               scenery::BuildMagdecBgl(scenery::DemoWorldVariation));
    const std::vector<BglAirport> demo = DemoAirports();
    for (int f = 0; f < kFiles; ++f) {
        std::vector<BglAirport> airports;
        for (int a = 0; a < kAirportsPerFile; ++a) {
            airports.push_back(WorldAirport(demo, airportCount_++));
        }
        char name[32];
        std::snprintf(name, sizeof name, "AP%03d.bgl", f);
        const fs::path file = simFolder_ / "Scenery" / "World" / "scenery" / name;
        const std::vector<uint8_t> bytes = SceneryFileOf(airports, f % 2 == 1);
        WriteBytes(file, bytes);
        sceneryFiles_.push_back(file);
        sceneryBytes_ += bytes.size();
    }
}

WorldScenery::~WorldScenery() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

void WorldScenery::EmptyWorkFolder() const {
    for (const fs::directory_entry& entry : fs::directory_iterator(workFolder_)) {
        fs::remove_all(entry.path());
    }
}

uintmax_t ReadEveryByte(const std::vector<std::filesystem::path>& files) {
    std::vector<char> chunk(1 << 20);
    uintmax_t total = 0;
    for (const fs::path& path : files) {
        std::ifstream file(path, std::ios::binary);
        while (file.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) ||
               file.gcount() > 0) {
            total += static_cast<uintmax_t>(file.gcount());
        }
    }
    return total;
}

}  // namespace scopewatch::benchmarks
