#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace scopewatch::testing {

// Expected bytes and pictures live in files under tests/data/, reviewed like code: a change of
// one shows in its diff. When a change is meant, `SCOPEWATCH_UPDATE_GOLDEN=1 ctest` writes
// the files anew from what the tests produce (then review and commit them).
inline std::filesystem::path GoldenPath(const std::string& name) {
    return std::filesystem::path(std::getenv("SCOPEWATCH_SOURCE_DIR")) / "tests" / "data" / name;
}

// The files of a folder under tests/data/ (not its subfolders), as names relative to
// tests/data/, in the order of their names.
inline std::vector<std::string> GoldenFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(GoldenPath(folder))) {
        if (entry.is_regular_file()) {
            names.push_back(folder + "/" + entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline bool UpdatingGoldenFiles() {
    const char* update = std::getenv("SCOPEWATCH_UPDATE_GOLDEN");
    return update != nullptr && std::string(update) == "1";
}

// The name of a test case's data file or folder: its number in two digits, then the words of
// its heading in lower case joined by dashes ("header, ICAO and frequencies" as case 5 is
// "05-header-icao-and-frequencies").
inline std::string CaseDataName(size_t number, const std::string& heading) {
    std::string text = (number < 10 ? "0" : "") + std::to_string(number) + "-";
    for (const char c : heading) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (text.back() != '-') {
            text += '-';
        }
    }
    return text;
}

// A golden byte file: a first line "# what it holds", then the bytes in hexadecimal, sixteen
// to a line. Lines starting with '#' are comments.
inline std::vector<uint8_t> ReadGoldenBytes(const std::string& name) {
    std::ifstream in(GoldenPath(name));
    std::vector<uint8_t> bytes;
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with("#")) {
            continue;
        }
        std::istringstream words(line);
        for (std::string word; words >> word;) {
            bytes.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
        }
    }
    return bytes;
}

inline void WriteGoldenBytes(const std::string& name, const std::string& what,
                             const std::vector<uint8_t>& bytes) {
    const std::filesystem::path path = GoldenPath(name);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path);
    out << "# " << what << "\n";
    for (size_t i = 0; i < bytes.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
        out << hex << ((i % 16 == 15 || i + 1 == bytes.size()) ? "\n" : " ");
    }
}

// The bytes equal those of the golden file (written anew, with `what` as its comment, when
// updating).
inline void ExpectBytesMatchGolden(const std::vector<uint8_t>& bytes, const std::string& name,
                                   const std::string& what) {
    if (UpdatingGoldenFiles()) {
        WriteGoldenBytes(name, what, bytes);
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(GoldenPath(name))) << "no golden file " << name;
    EXPECT_EQ(bytes, ReadGoldenBytes(name)) << name << ": " << what;
}

// The text equals that of the golden text file, whose first line is "# what it holds"
// (written anew, with `what` as that line, when updating).
inline void ExpectTextMatchesGolden(const std::string& text, const std::string& name,
                                    const std::string& what) {
    const std::filesystem::path path = GoldenPath(name);
    if (UpdatingGoldenFiles()) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "# " << what << "\n" << text;
        return;
    }
    std::ifstream in(path);
    ASSERT_TRUE(in) << "no golden file " << name;
    std::string comment;
    std::getline(in, comment);
    EXPECT_EQ(text, std::string(std::istreambuf_iterator<char>(in), {})) << name << ": " << what;
}

// The picture equals the golden picture pixel for pixel; says how many pixels differ and
// where the first one is otherwise.
inline void ExpectImageMatchesGolden(const QImage& image, const std::string& name) {
    const std::filesystem::path path = GoldenPath(name);
    const QImage actual = image.convertToFormat(QImage::Format_RGB32);
    if (UpdatingGoldenFiles()) {
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(actual.save(QString::fromStdString(path.string()), "PNG")) << path;
        return;
    }
    const QImage expected =
        QImage(QString::fromStdString(path.string())).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "no golden picture " << path;
    ASSERT_EQ(actual.size(), expected.size()) << name;
    int differing = 0;
    QPoint first;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y) && differing++ == 0) {
                first = QPoint(x, y);
            }
        }
    }
    EXPECT_EQ(differing, 0) << name << ": first difference at " << first.x() << "," << first.y();
}

}  // namespace scopewatch::testing
