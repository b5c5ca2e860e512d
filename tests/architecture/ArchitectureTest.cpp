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
using Texts = std::vector<std::string>;
using Graph = std::map<std::string, std::set<std::string>>;

// Each line "folder: other !other *" gives the folders the folder's files may include: those
// named, or with "*" all but those named "!folder"; '#' starts a comment.
Graph ParseRules(const std::string& text, Texts& outOfOrder) {
    static const std::regex kOutsideSource("^(apps/|tests/|fuzz/|benchmarks$)");
    Graph rules;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string folder;
        if (!(words >> folder)) {
            continue;
        }
        if (!folder.ends_with(':')) {
            throw std::runtime_error("rules line " + std::to_string(number) + ": no colon");
        }
        folder.pop_back();
        const bool inSource = !std::regex_search(folder, kOutsideSource);
        std::set<std::string> allowed;
        for (std::string word; words >> word;) {
            if (inSource && word != "*" && !word.starts_with("!") && !rules.contains(word)) {
                outOfOrder.push_back(folder + " names " + word + ", which stands above it");
            }
            allowed.insert(word);
        }
        rules[folder] = allowed;
    }
    return rules;
}

// The folder an include names ("airport/ui" for "airport/ui/AirportWindow.h", "" for a bare
// name), and the folder a file belongs to ("startup/ui" for src/startup/ui/X.cpp, else the top
// folder and the one below it, as "tests/scope", or the top folder alone, as "benchmarks").
std::string FolderOfInclude(const std::string& target) {
    static const std::regex folder(R"(^([^/]+)(/ui)?/[^/]+/)");
    const std::string path = target + "/";
    std::smatch match;
    return std::regex_search(path, match, folder) ? match[1].str() + match[2].str() : "";
}
std::string FolderOfFile(const std::string& file) {
    if (file.starts_with("src/")) {
        return FolderOfInclude(file.substr(4));
    }
    const size_t second = file.find('/', file.find('/') + 1);
    return second == std::string::npos ? file.substr(0, file.find('/')) : file.substr(0, second);
}

// The layer a folder of src/ belongs to when folders are weighed against each other: a
// folder's windows ("startup/ui") count as the folder ("startup").
std::string LayerOf(const std::string& folder) {
    return folder.ends_with("/ui") ? folder.substr(0, folder.size() - 3) : folder;
}

// One text per cycle of the graph ("<what> cycle: a -> b -> a"), by a depth-first search in
// which a node met again while still on the stack closes a cycle.
void AddCycles(Graph& edges, const std::string& what, Texts& cycles) {
    Texts stack;
    std::set<std::string> done;
    const std::function<void(const std::string&)> visit = [&](const std::string& node) {
        const auto open = std::find(stack.begin(), stack.end(), node);
        if (open != stack.end()) {
            std::string text = what + " cycle:";
            for (auto it = open; it != stack.end(); ++it) {
                text += " " + *it + " ->";
            }
            cycles.push_back(text + " " + node);
        } else if (done.insert(node).second) {
            stack.push_back(node);
            for (const std::string& next : edges[node]) {
                visit(next);
            }
            stack.pop_back();
        }
    };
    for (const auto& [node, targets] : Graph(edges)) {
        visit(node);
    }
}

// What the checker finds wrong in a tree, given its layers.rules text, from every #include
// "..." of every .h and .cpp file under the root's src, apps, tests, fuzz and benchmarks: rules
// of src/ that name a folder standing above their own (the lines read from the bottom of the
// stack to the top), includes the rules do not allow or from folders without a rule
// ("file:line: ..."), and include cycles between the files of src/ and between its folders.
Texts Check(const fs::path& root, const std::string& rulesText) {
    Texts found;
    const Graph rules = ParseRules(rulesText, found);
    Texts violations;
    Graph files, folders;
    std::set<std::string> unlisted;
    for (const char* top : {"src", "apps", "tests", "fuzz", "benchmarks"}) {
        if (!fs::is_directory(root / top)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".h" && extension != ".cpp") {
                continue;
            }
            const std::string file = fs::relative(entry.path(), root).generic_string();
            const std::string from = FolderOfFile(file);
            static const std::regex kInclude(R"(^\s*#\s*include\s*"([^"]+)\")");
            std::ifstream in(entry.path());
            std::string line;
            std::smatch match;
            for (int number = 1; std::getline(in, line); ++number) {
                if (!std::regex_search(line, match, kInclude)) {
                    continue;
                }
                const std::string target = match[1].str();
                const std::string to = FolderOfInclude(target);
                const std::string where = file + ":" + std::to_string(number) + ": ";
                if (!rules.contains(from)) {
                    if (unlisted.insert(from).second) {
                        violations.push_back(where + "the folder " + from + " has no rule");
                    }
                } else if (const auto& allowed = rules.at(from);
                           !to.empty() && to != from && !allowed.contains(to) &&
                           (!allowed.contains("*") || allowed.contains("!" + to))) {
                    violations.push_back(where + "includes \"" + target + "\", but " + from +
                                         " may not include " + to);
                }
                if (file.starts_with("src/")) {
                    files[file.substr(4)].insert(target);
                    if (!to.empty() && LayerOf(to) != LayerOf(from)) {
                        folders[LayerOf(from)].insert(LayerOf(to));
                    }
                }
            }
        }
    }
    std::sort(violations.begin(), violations.end());
    found.insert(found.end(), violations.begin(), violations.end());
    AddCycles(files, "file", found);
    AddCycles(folders, "folder", found);
    return found;
}

// The tree as it stands: every include follows tests/architecture/layers.rules, no header
// includes itself through others, the folders of src/ form a stack and their rules read from
// its bottom to its top.
TEST(Architecture, EveryIncludeFollowsTheLayerRulesAndNoFileIncludesItself) {
    const fs::path source = std::getenv("SCOPEWATCH_SOURCE_DIR");
    std::stringstream rules;
    rules << std::ifstream(source / "tests" / "architecture" / "layers.rules").rdbuf();
    EXPECT_EQ(Check(source, rules.str()), Texts{});
}

// The checker itself: a small tree with one forbidden include from src/, apps/ and tests/
// each, one folder without a rule, a cycle of two headers and one of two folders (closed by a
// window of one of them), and rules out of order; a rules line without a colon is refused.
TEST(Architecture, TheCheckerNamesForbiddenIncludesUnlistedFoldersCyclesAndDisorder) {
    TempDir tree;
    tree.Write("src/platform/Files.h", std::string("#pragma once\n#include \"scope/View.h\"\n"));
    tree.Write("src/scope/View.h", std::string("#include \"scope/Painter.h\"\n"));
    tree.Write("src/scope/Painter.h", std::string("// x\n#include \"scope/View.h\"\n"));
    tree.Write("src/scope/ui/Window.cpp", std::string("#include \"scope/View.h\"\n#include <x>\n"));
    tree.Write("apps/tool/main.cpp", std::string("#include \"platform/Files.h\"\n"
                                                 "#include \"scope/ui/Window.h\"\n"));
    tree.Write("src/extra/Extra.cpp", std::string("#include \"platform/Files.h\"\n"));
    tree.Write("tests/scope/ViewTest.cpp", std::string("#include \"scope/ui/Window.h\"\n"));
    tree.Write("src/scope/ui/Draw.cpp", std::string("#include \"platform/Files.h\"\n"));
    EXPECT_EQ(Check(tree.path(),
                    "platform:   # nothing\nscope:\nscope/ui: scope platform ui\n"
                    "apps/tool: * !scope/ui\ntests/scope: scope\n"),
              (Texts{"scope/ui names ui, which stands above it",
                     "apps/tool/main.cpp:2: includes \"scope/ui/Window.h\", but apps/tool may not "
                     "include scope/ui",
                     "src/extra/Extra.cpp:1: the folder extra has no rule",
                     "src/platform/Files.h:2: includes \"scope/View.h\", but platform may not "
                     "include scope",
                     "tests/scope/ViewTest.cpp:1: includes \"scope/ui/Window.h\", but tests/scope "
                     "may not include scope/ui",
                     "file cycle: scope/View.h -> scope/Painter.h -> scope/View.h",
                     "folder cycle: platform -> scope -> platform"}));
    Texts outOfOrder;
    EXPECT_THROW(ParseRules("scope platform\n", outOfOrder), std::runtime_error);
}

}  // namespace
}  // namespace scopewatch::testing
