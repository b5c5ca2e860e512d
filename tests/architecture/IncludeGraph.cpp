#include "architecture/IncludeGraph.h"

#include <algorithm>
#include <fstream>
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

std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    std::istringstream stream(path);
    for (std::string part; std::getline(stream, part, '/');) {
        parts.push_back(part);
    }
    return parts;
}

// Depth-first search over the file graph; a node met again while still on the stack closes
// a cycle.
class CycleFinder {
  public:
    explicit CycleFinder(const std::map<std::string, std::vector<std::string>>& edges)
        : edges_(edges) {}

    std::vector<std::string> Run() {
        for (const auto& [file, targets] : edges_) {
            Visit(file);
        }
        return cycles_;
    }

  private:
    void Visit(const std::string& file) {
        if (done_.count(file) != 0) {
            return;
        }
        if (const auto open = std::find(stack_.begin(), stack_.end(), file); open != stack_.end()) {
            std::string text = "include cycle:";
            for (auto it = open; it != stack_.end(); ++it) {
                text += " " + *it + " ->";
            }
            cycles_.push_back(text + " " + file);
            return;
        }
        stack_.push_back(file);
        if (const auto found = edges_.find(file); found != edges_.end()) {
            for (const std::string& target : found->second) {
                Visit(target);
            }
        }
        stack_.pop_back();
        done_.insert(file);
    }

    const std::map<std::string, std::vector<std::string>>& edges_;
    std::vector<std::string> stack_;
    std::set<std::string> done_;
    std::vector<std::string> cycles_;
};

}  // namespace

bool LayerRules::Allows(const std::string& from, const std::string& to) const {
    const auto rule = folders.find(from);
    if (rule == folders.end()) {
        return false;
    }
    if (to == from) {
        return true;
    }
    const Allowed& allowed = rule->second;
    if (allowed.everything) {
        return allowed.except.count(to) == 0;
    }
    return allowed.only.count(to) != 0;
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
        LayerRules::Allowed& allowed = rules.folders[folder[0]];
        for (const std::string& word : Words(line.substr(colon + 1))) {
            if (word == "*") {
                allowed.everything = true;
            } else if (word[0] == '!') {
                allowed.except.insert(word.substr(1));
            } else {
                allowed.only.insert(word);
            }
        }
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

std::string FolderOfFile(const std::string& file) {
    const std::vector<std::string> parts = Components(file);
    if (parts.size() < 3) {
        return parts.empty() ? "" : parts[0];
    }
    if (parts[0] == "apps") {
        return "apps/" + parts[1];
    }
    if (parts.size() >= 4 && parts[2] == "ui") {
        return parts[1] + "/ui";
    }
    return parts[1];
}

std::string FolderOfInclude(const std::string& target) {
    const std::vector<std::string> parts = Components(target);
    if (parts.size() < 2) {
        return "";
    }
    if (parts.size() >= 3 && parts[1] == "ui") {
        return parts[0] + "/ui";
    }
    return parts[0];
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

std::vector<std::string> IncludeCycles(const std::vector<QuotedInclude>& includes) {
    std::map<std::string, std::vector<std::string>> edges;
    for (const QuotedInclude& include : includes) {
        if (include.file.rfind("src/", 0) == 0) {
            edges[include.file.substr(4)].push_back(include.target);
        }
    }
    return CycleFinder(edges).Run();
}

}  // namespace scopewatch::testing
