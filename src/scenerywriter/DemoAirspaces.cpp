#include "scenerywriter/DemoAirspaces.h"

namespace scopewatch::scenery {

void WriteDemoAirspaces(const std::filesystem::path& folder) {
    // No airspace files yet: the folder stays empty.
    static_cast<void>(folder);
}

}  // namespace scopewatch::scenery
