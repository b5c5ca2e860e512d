#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace scopewatch {

// One "[Area.nnn]" section of scenery.cfg: each field is its key's value as written, empty
// when the key is missing.
struct SceneryArea {
    std::string title;      // Title
    std::string textureId;  // Texture_ID
    std::string active;     // Active
    std::string layer;      // Layer
    std::string required;   // Required
    std::string remote;     // Remote
    std::string local;      // Local; a folder text after ResolveAreaPaths

    bool operator==(const SceneryArea&) const = default;
};

// The areas of a scenery.cfg text, in file order. A section opens an area when its header
// contains "[area." in any letter case; other sections only end the one before them.
std::vector<SceneryArea> ParseSceneryCfg(const std::string& content);

// The value of a key in a section's text: the rest of the line after the first "key="
// (letter case ignored). The key must be followed by "=" at once, and it is also found at
// the end of a longer key (Title inside SubTitle). Missing: the empty text.
std::string GetKeyValue(const std::string& section, const std::string& key);

// Turns every area's Local into a folder text of scenery files:
//  1. a leading "[volume label]" of a fixed or CD-ROM drive becomes that drive ("d:"), the
//     whole text in lower case (drives whose label cannot be read are skipped);
//  2. "\scenery" is appended in lower case, unless the text is the simulator's own
//     "<simFolder>\Scenery";
//  3. a text naming no fixed or CD-ROM drive is taken inside simFolder.
// Empty Local texts stay empty.
void ResolveAreaPaths(std::vector<SceneryArea>& areas, const std::string& simFolder,
                      const std::vector<Drive>& drives);

// "Airport and Facilities Data" with Required TRUE (letter case ignored): the build scans it.
bool IsAirportArea(const SceneryArea& area);
// "Additional Facility Data" with Required TRUE: where airspaces are looked up.
bool IsFacilityDataArea(const SceneryArea& area);
// True when an area lives on removable media (its Remote entry is filled in).
bool NeedsSimulatorCd(const std::vector<SceneryArea>& areas);
// The Local of the last facility data area, or current when there is none.
std::string FacilityDataFolderOf(const std::vector<SceneryArea>& areas, const std::string& current);

}  // namespace scopewatch
