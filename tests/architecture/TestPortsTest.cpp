#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

namespace scopewatch::testing {
namespace {

namespace fs = std::filesystem;

// ctest runs every test case as a process of its own, side by side with the others, so two
// socket tests that take the same port number (47600 to 47799, which DirectPlayTestPorts
// turns into ports) can take each other's ports. Every number belongs to one test case (or to
// the file-level constants of one file).
TEST(TestPorts, EverySocketTestNumberBelongsToOneTestCase) {
    const fs::path tests = fs::path(std::getenv("SCOPEWATCH_SOURCE_DIR")) / "tests";
    const std::regex number(R"(\b47[67][0-9]{2}\b)");
    const std::regex testCase(R"(^\s*TEST(_F)?\((\w+),\s*(\w+)\))");
    std::map<std::string, std::string> firstPlace;
    std::string repeated;
    for (const auto& entry : fs::recursive_directory_iterator(tests)) {
        if (!entry.is_regular_file() || entry.path().filename() == "DirectPlayTestPorts.h" ||
            entry.path().filename() == "TestPortsTest.cpp") {
            continue;
        }
        const std::string file = fs::relative(entry.path(), tests).string();
        std::string owner = file;  // file-level constants belong to the file
        std::ifstream in(entry.path());
        int line = 0;
        for (std::string text; std::getline(in, text);) {
            ++line;
            std::smatch header;
            if (std::regex_search(text, header, testCase)) {
                owner = file + " " + header[2].str() + "." + header[3].str();
            }
            for (std::sregex_iterator it(text.begin(), text.end(), number), end; it != end; ++it) {
                const auto [first, isNew] = firstPlace.emplace(it->str(), owner);
                if (!isNew && first->second != owner) {
                    repeated += it->str() + " in " + owner + ":" + std::to_string(line) +
                                " and in " + first->second + "\n";
                }
            }
        }
    }
    EXPECT_GT(firstPlace.size(), 20U);
    EXPECT_EQ(repeated, "");
}

}  // namespace
}  // namespace scopewatch::testing
