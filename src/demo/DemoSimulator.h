#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "scenerywriter/BglWriter.h"

// A small made-up simulator folder for trying the program without the real simulator: its
// scenery library configuration, its magnetic variation file and airport scenery files
// (a dozen airports in several regions, among them the large "Eldorado Intl").
namespace scopewatch::demo {

// One airport scenery file of the demo and where it lies below the simulator folder.
struct DemoSceneryFile {
    std::filesystem::path relativePath;  // as written on disk, mixed letter case
    std::vector<scenery::BglAirport> airports;
    scenery::AirportFileLayout layout;
};

// Writes the demo simulator into dir (created when missing; files already there are
// replaced):
//   scenery.cfg                          the library, with areas of every kind
//   Scenery/magdec.bgl                   magnetic variation
//   Scenery/World/scenery/*.bgl          airports of the relative area
//   Addon Scenery/Nordic/Scenery/*.bgl   airports of the area given by absolute path
//   Scenery/Europe/scenery/*.bgl         airports of the area with a Remote entry
//   Scenery/Afd/Scenery/                 facility data (airspaces)
// Throws std::runtime_error naming the file when something cannot be written.
void WriteDemoSimulator(const std::filesystem::path& dir);

// The demo's large airport "Eldorado Intl" (KELD) as the scenery holds it: its runways, ILS,
// frequencies, taxi points (metres east and north of its reference point), parkings and
// taxi segments with their taxiway names. PositionOf() turns its points into degrees the
// way the program will place them.
const scenery::BglAirport& DemoLargeAirport();

// Every airport scenery file of the demo, the large airport's first.
const std::vector<DemoSceneryFile>& DemoSceneryFiles();

// The scenery.cfg text for a simulator folder at dir (the absolute area names dir).
std::string DemoSceneryCfg(const std::filesystem::path& dir);

}  // namespace scopewatch::demo
