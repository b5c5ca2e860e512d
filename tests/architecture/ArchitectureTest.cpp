#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "support/TempDir.h"

namespace scopewatch::testing {
namespace {

namespace fs = std::filesystem;

// For each folder ("startup", "startup/ui", "apps/scopewatch"), the folders its files may
// include: named ones, or "*" for all but those named "!folder". A folder may always include
// its own headers.
using LayerRules = std::map<std::string, std::set<std::string>>;

struct QuotedInclude {
    std::string file;  // relative to the tree's root, e.g. "src/startup/Settings.cpp"
    int line = 0;
    std::string target;  // as written, e.g. "platform/CodePage.h"
};

bool Allows(const LayerRules& rules, const std::string& from, const std::string& to) {
    const std::set<std::string>& words = rules.at(from);
    return to == from || words.contains(to) || (words.contains("*") && !words.contains("!" + to));
}

// Reads "folder: other other ..." lines; '#' starts a comment. Throws naming the line when a
// line cannot be read.
LayerRules ParseLayerRules(const std::string& text) {
    LayerRules rules;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string folder;
        if (!(words >> folder)) {
            continue;
        }
        if (!folder.ends_with(':')) {
            throw std::runtime_error("rules line " + std::to_string(number) +
                                     ": expected \"folder: other other ...\"");
        }
        std::set<std::string>& allowed = rules[folder.substr(0, folder.size() - 1)];
        for (std::string word; words >> word;) {
            allowed.insert(word);
        }
    }
    return rules;
}

// Every #include "..." of every .h and .cpp file under root's src, apps, tests, fuzz and
// benchmarks (those that exist).
std::vector<QuotedInclude> CollectIncludes(const fs::path& root) {
    static const std::regex kInclude(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<QuotedInclude> includes;
    for (const char* top : {"src", "apps", "tests", "fuzz", "benchmarks"}) {
        if (!fs::is_directory(root / top)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) {
                continue;
            }
            std::ifstream in(entry.path());
            std::string line;
            std::smatch match;
            for (int number = 1; std::getline(in, line); ++number) {
                if (std::regex_search(line, match, kInclude)) {
                    includes.push_back({fs::relative(entry.path(), root).generic_string(), number,
                                        match[1].str()});
                }
            }
        }
    }
    return includes;
}

// The folder an include names: "platform" for "platform/CodePage.h", "airport/ui" for
// "airport/ui/AirportWindow.h"; "" for a name without a folder.
std::string FolderOfInclude(const std::string& target) {
    const fs::path path(target);
    const std::vector<std::string> parts(path.begin(), path.end());
    return parts.size() < 2 ? "" : parts[0] + (parts.size() >= 3 && parts[1] == "ui" ? "/ui" : "");
}

// The folder a file belongs to: "startup" and "startup/ui" for files of src/, else the top
// folder and the one below it ("apps/scopewatch", "tests/scope", "fuzz/targets"), or just the
// top folder for a file directly in it ("benchmarks").
std::string FolderOfFile(const std::string& file) {
    const std::string top = file.substr(0, file.find('/'));
    const std::string below = file.substr(top.size() + 1);
    if (top == "src") {
        return FolderOfInclude(below);
    }
    const size_t slash = below.find('/');
    return slash == std::string::npos ? top : top + "/" + below.substr(0, slash);
}

// One text per include the rules do not allow, or per folder without a rule:
// "src/a/B.cpp:12: ...".
std::vector<std::string> LayerViolations(const std::vector<QuotedInclude>& includes,
                                         const LayerRules& rules) {
    std::vector<std::string> violations;
    std::set<std::string> unlisted;
    for (const auto& [file, line, target] : includes) {
        const std::string from = FolderOfFile(file);
        const std::string to = FolderOfInclude(target);
        const std::string where = file + ":" + std::to_string(line) + ": ";
        if (!rules.contains(from)) {
            if (unlisted.insert(from).second) {
                violations.push_back(where + "the folder " + from +
                                     " has no line in the layer rules");
            }
        } else if (!to.empty() && !Allows(rules, from, to)) {
            violations.push_back(where + "includes \"" + target + "\", but " + from +
                                 " may not include " + to);
        }
    }
    return violations;
}

// One text per include cycle between files under src/, naming the files around it: a
// depth-first search in which a file met again while still on the stack closes a cycle.
std::vector<std::string> IncludeCycles(const std::vector<QuotedInclude>& includes) {
    std::map<std::string, std::vector<std::string>> edges;
    for (const QuotedInclude& include : includes) {
        if (include.file.starts_with("src/")) {
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

// One text per cycle between the folders of src/ (a folder including another that includes it,
// by any way round), naming the folders around it.
std::vector<std::string> FolderCycles(const std::vector<QuotedInclude>& includes) {
    std::map<std::string, std::set<std::string>> edges;
    for (const QuotedInclude& include : includes) {
        const std::string from = FolderOfFile(include.file);
        const std::string to = FolderOfInclude(include.target);
        if (include.file.starts_with("src/") && !to.empty() && to != from) {
            edges[from].insert(to);
        }
    }
    std::vector<std::string> cycles;
    std::vector<std::string> stack;
    std::set<std::string> done;
    const std::function<void(const std::string&)> visit = [&](const std::string& folder) {
        const auto open = std::find(stack.begin(), stack.end(), folder);
        if (open != stack.end()) {
            std::string text = "folder cycle:";
            for (auto it = open; it != stack.end(); ++it) {
                text += " " + *it + " ->";
            }
            cycles.push_back(text + " " + folder);
        } else if (done.insert(folder).second) {
            stack.push_back(folder);
            for (const std::string& next : edges[folder]) {
                visit(next);
            }
            stack.pop_back();
        }
    };
    for (const auto& [folder, targets] : edges) {
        visit(folder);
    }
    return cycles;
}

// The lines of src/'s folders read from the bottom of the stack to the top: one text per
// folder a line names before that folder's own line.
std::vector<std::string> RulesOutOfOrder(const std::string& text) {
    std::vector<std::string> problems;
    std::set<std::string> seen;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string folder;
        if (!(words >> folder)) {
            continue;
        }
        folder.pop_back();  // the colon
        const bool inSource = !folder.starts_with("apps/") && !folder.starts_with("tests/") &&
                              !folder.starts_with("fuzz/") && folder != "benchmarks";
        for (std::string word; inSource && words >> word;) {
            if (word != "*" && !word.starts_with("!") && !seen.contains(word)) {
                problems.push_back(folder + " names " + word + ", which stands above it");
            }
        }
        seen.insert(folder);
    }
    return problems;
}

// The tree as it stands: every include follows the layer rules in layers.rules, no header
// includes itself through others, and the folders form a stack.
TEST(Architecture, EveryIncludeFollowsTheLayerRulesAndNoFileIncludesItself) {
    const fs::path source = std::getenv("SCOPEWATCH_SOURCE_DIR");
    std::ifstream in(source / "tests" / "architecture" / "layers.rules");
    std::stringstream text;
    text << in.rdbuf();
    const std::vector<QuotedInclude> includes = CollectIncludes(source);
    ASSERT_GT(includes.size(), 100U);
    EXPECT_EQ(LayerViolations(includes, ParseLayerRules(text.str())), std::vector<std::string>{});
    EXPECT_EQ(IncludeCycles(includes), std::vector<std::string>{});
    EXPECT_EQ(FolderCycles(includes), std::vector<std::string>{});
    EXPECT_EQ(RulesOutOfOrder(text.str()), std::vector<std::string>{});
}

// The checker itself: a small tree with one forbidden include, one folder without a rule, a
// cycle of two headers and one of two folders, and rules out of order; a rules line without a
// colon is refused.
TEST(Architecture, TheCheckerNamesForbiddenIncludesUnlistedFoldersAndCycles) {
    TempDir tree;
    tree.Write("src/platform/Files.h", std::string("#pragma once\n#include \"scope/View.h\"\n"));
    tree.Write("src/scope/View.h", std::string("#include \"scope/Painter.h\"\n"));
    tree.Write("src/scope/Painter.h", std::string("// x\n#include \"scope/View.h\"\n"));
    tree.Write("src/scope/ui/Window.cpp",
               std::string("#include \"scope/View.h\"\n#include <vector>\n"));
    tree.Write("apps/tool/main.cpp", std::string("#include \"scope/ui/Window.h\"\n"));
    tree.Write("src/extra/Extra.cpp", std::string("#include \"platform/Files.h\"\n"));
    tree.Write("tests/scope/ViewTest.cpp", std::string("#include \"scope/ui/Window.h\"\n"));
    tree.Write("src/scope/Draw.cpp", std::string("#include \"platform/Files.h\"\n"));
    const std::string text =
        "platform:   # nothing\nscope: platform\nscope/ui: scope\napps/tool: * !scope/ui\n"
        "tests/scope: scope\n";
    const LayerRules rules = ParseLayerRules(text);

    const std::vector<QuotedInclude> includes = CollectIncludes(tree.path());
    ASSERT_EQ(includes.size(), 8U);
    std::vector<std::string> violations = LayerViolations(includes, rules);
    std::sort(violations.begin(), violations.end());
    EXPECT_EQ(violations,
              (std::vector<std::string>{
                  "apps/tool/main.cpp:1: includes \"scope/ui/Window.h\", but apps/tool may not "
                  "include scope/ui",
                  "src/extra/Extra.cpp:1: the folder extra has no line in the layer rules",
                  "src/platform/Files.h:2: includes \"scope/View.h\", but platform may not "
                  "include scope",
                  "tests/scope/ViewTest.cpp:1: includes \"scope/ui/Window.h\", but tests/scope "
                  "may not include scope/ui"}));
    const std::vector<std::string> cycles = IncludeCycles(includes);
    ASSERT_EQ(cycles.size(), 1U);
    EXPECT_NE(cycles[0].find("scope/Painter.h"), std::string::npos);
    EXPECT_NE(cycles[0].find("scope/View.h"), std::string::npos);
    EXPECT_EQ(FolderCycles(includes),
              std::vector<std::string>{"folder cycle: platform -> scope -> platform"});
    EXPECT_EQ(RulesOutOfOrder("scope: platform\nplatform:\napps/tool: *\n"),
              std::vector<std::string>{"scope names platform, which stands above it"});
    EXPECT_TRUE(RulesOutOfOrder(text).empty());
    EXPECT_TRUE(Allows(rules, "apps/tool", "platform"));
    EXPECT_THROW(ParseLayerRules("scope platform\n"), std::runtime_error);
}

}  // namespace
}  // namespace scopewatch::testing
