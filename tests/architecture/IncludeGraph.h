#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace scopewatch::testing {

// The layer rules: for each folder ("startup", "startup/ui", "apps/scopewatch"), the folders
// its files may include: named ones, or "*" for all but those named "!folder". A folder may
// always include its own headers.
struct LayerRules {
    std::map<std::string, std::set<std::string>> folders;

    bool Allows(const std::string& from, const std::string& to) const;
};

// Reads "folder: other other ..." lines; '#' starts a comment. Throws std::runtime_error
// naming the line when a line cannot be read.
LayerRules ParseLayerRules(const std::string& text);

struct QuotedInclude {
    std::string file;  // relative to the tree's root, e.g. "src/startup/Settings.cpp"
    int line = 0;
    std::string target;  // as written, e.g. "platform/CodePage.h"
};

// Every #include "..." of every .h and .cpp file under root/src and root/apps.
std::vector<QuotedInclude> CollectIncludes(const std::filesystem::path& root);

// One text per include the rules do not allow, or per folder without a rule:
// "src/a/B.cpp:12: ...".
std::vector<std::string> LayerViolations(const std::vector<QuotedInclude>& includes,
                                         const LayerRules& rules);
// One text per include cycle between files under src/, naming the files around it.
std::vector<std::string> IncludeCycles(const std::vector<QuotedInclude>& includes);

}  // namespace scopewatch::testing
