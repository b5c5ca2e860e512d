#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "architecture/IncludeGraph.h"
#include "support/TempDir.h"

namespace scopewatch::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The tree as it stands: every include follows the layer rules, and no header includes itself
// through others.
TEST(Architecture, EveryIncludeFollowsTheLayerRulesAndNoFileIncludesItself) {
    const fs::path source = std::getenv("SCOPEWATCH_SOURCE_DIR");
    const LayerRules rules =
        ParseLayerRules(ReadText(source / "tests" / "architecture" / "layers.rules"));
    const std::vector<QuotedInclude> includes = CollectIncludes(source);
    ASSERT_GT(includes.size(), 100U);
    EXPECT_EQ(LayerViolations(includes, rules), std::vector<std::string>{});
    EXPECT_EQ(IncludeCycles(includes), std::vector<std::string>{});
}

// The checker itself: a small tree with one forbidden include, one folder without a rule and
// a cycle of two headers.
TEST(Architecture, TheCheckerNamesForbiddenIncludesUnlistedFoldersAndCycles) {
    TempDir tree;
    tree.Write("src/platform/Files.h", std::string("#pragma once\n#include \"scope/View.h\"\n"));
    tree.Write("src/scope/View.h", std::string("#include \"scope/Painter.h\"\n"));
    tree.Write("src/scope/Painter.h", std::string("// x\n#include \"scope/View.h\"\n"));
    tree.Write("src/scope/ui/Window.cpp",
               std::string("#include \"scope/View.h\"\n#include <vector>\n"));
    tree.Write("apps/tool/main.cpp", std::string("#include \"scope/ui/Window.h\"\n"));
    tree.Write("src/extra/Extra.cpp", std::string("#include \"platform/Files.h\"\n"));
    const LayerRules rules = ParseLayerRules(
        "platform:   # nothing\nscope: platform\nscope/ui: scope\napps/tool: * !scope/ui\n");

    const std::vector<QuotedInclude> includes = CollectIncludes(tree.path());
    ASSERT_EQ(includes.size(), 6U);
    std::vector<std::string> violations = LayerViolations(includes, rules);
    std::sort(violations.begin(), violations.end());
    EXPECT_EQ(violations,
              (std::vector<std::string>{
                  "apps/tool/main.cpp:1: includes \"scope/ui/Window.h\", but apps/tool may not "
                  "include scope/ui",
                  "src/extra/Extra.cpp:1: the folder extra has no line in the layer rules",
                  "src/platform/Files.h:2: includes \"scope/View.h\", but platform may not "
                  "include scope"}));
    const std::vector<std::string> cycles = IncludeCycles(includes);
    ASSERT_EQ(cycles.size(), 1U);
    EXPECT_NE(cycles[0].find("scope/Painter.h"), std::string::npos);
    EXPECT_NE(cycles[0].find("scope/View.h"), std::string::npos);

    EXPECT_TRUE(rules.Allows("apps/tool", "platform"));
    EXPECT_THROW(ParseLayerRules("scope platform\n"), std::runtime_error);
}

}  // namespace
}  // namespace scopewatch::testing
