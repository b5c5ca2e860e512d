#include "architecture/IncludeGraph.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace scopewatch::testing {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

// The folder an include names: "platform" for "platform/CodePage.h", "airport/ui" for
// "airport/ui/AirportWindow.h"; "" for a name without a folder.
std::string FolderOfInclude(const std::string& target) {
    const fs::path path(target);
    const std::vector<fs::path> parts(path.begin(), path.end());
    if (parts.size() < 2) {
        return "";
    }
    return parts[0].string() + (parts.size() >= 3 && parts[1] == "ui" ? "/ui" : "");
}

// The folder a file belongs to: "startup", "startup/ui", "apps/scopewatch".
std::string FolderOfFile(const std::string& file) {
    const std::string below = file.substr(file.find('/') + 1);
    if (file.rfind("apps/", 0) == 0) {
        return "apps/" + below.substr(0, below.find('/'));
    }
    return FolderOfInclude(below);
}

}  // namespace

bool LayerRules::Allows(const std::string& from, const std::string& to) const {
    const auto rule = folders.find(from);
    if (rule == folders.end()) {
        return false;
    }
    const std::set<std::string>& words = rule->second;
    return to == from || words.count(to) != 0 ||
           (words.count("*") != 0 && words.count("!" + to) == 0);
}

LayerRules ParseLayerRules(const std::string& text) {
    LayerRules rules;
    std::istringstream stream(text);
    int number = 0;
    for (std::string line; std::getline(stream, line);) {
        ++number;
        line = line.substr(0, line.find('#'));
        if (Words(line).empty()) {
            continue;
        }
        const size_t colon = line.find(':');
        const std::vector<std::string> folder = Words(line.substr(0, colon));
        if (colon == std::string::npos || folder.size() != 1) {
            throw std::runtime_error("rules line " + std::to_string(number) +
                                     ": expected \"folder: other other ...\"");
        }
        const std::vector<std::string> allowed = Words(line.substr(colon + 1));
        rules.folders[folder[0]].insert(allowed.begin(), allowed.end());
    }
    return rules;
}

std::vector<QuotedInclude> CollectIncludes(const fs::path& root) {
    static const std::regex kInclude(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<QuotedInclude> includes;
    for (const char* top : {"src", "apps"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) {
                continue;
            }
            const std::string file = fs::relative(entry.path(), root).generic_string();
            std::ifstream in(entry.path());
            int number = 0;
            for (std::string line; std::getline(in, line);) {
                ++number;
                std::smatch match;
                if (std::regex_search(line, match, kInclude)) {
                    includes.push_back(QuotedInclude{file, number, match[1].str()});
                }
            }
        }
    }
    return includes;
}

std::vector<std::string> LayerViolations(const std::vector<QuotedInclude>& includes,
                                         const LayerRules& rules) {
    std::vector<std::string> violations;
    std::set<std::string> unlisted;
    for (const QuotedInclude& include : includes) {
        const std::string from = FolderOfFile(include.file);
        const std::string to = FolderOfInclude(include.target);
        const std::string where = include.file + ":" + std::to_string(include.line) + ": ";
        if (rules.folders.count(from) == 0) {
            if (unlisted.insert(from).second) {
                violations.push_back(where + "the folder " + from +
                                     " has no line in the layer rules");
            }
        } else if (!to.empty() && !rules.Allows(from, to)) {
            violations.push_back(where + "includes \"" + include.target + "\", but " + from +
                                 " may not include " + to);
        }
    }
    return violations;
}

// Depth-first search over the file graph; a file met again while still on the stack closes
// a cycle.
std::vector<std::string> IncludeCycles(const std::vector<QuotedInclude>& includes) {
    std::map<std::string, std::vector<std::string>> edges;
    for (const QuotedInclude& include : includes) {
        if (include.file.rfind("src/", 0) == 0) {
            edges[include.file.substr(4)].push_back(include.target);
        }
    }
    std::vector<std::string> cycles;
    std::vector<std::string> stack;
    std::set<std::string> done;
    const std::function<void(const std::string&)> visit = [&](const std::string& file) {
        const auto open = std::find(stack.begin(), stack.end(), file);
        if (open != stack.end()) {
            std::string text = "include cycle:";
            for (auto it = open; it != stack.end(); ++it) {
                text += " " + *it + " ->";
            }
            cycles.push_back(text + " " + file);
        } else if (done.insert(file).second) {
            stack.push_back(file);
            for (const std::string& target : edges[file]) {
                visit(target);
            }
            stack.pop_back();
        }
    };
    for (const auto& [file, targets] : edges) {
        visit(file);
    }
    return cycles;
}

}  // namespace scopewatch::testing
