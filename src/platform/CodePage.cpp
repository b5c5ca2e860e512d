#include "platform/CodePage.h"

#include <array>
#include <cstdint>
#include <unordered_map>

namespace scopewatch {
namespace {

// Unicode code points of bytes 0x80-0x9F; 0 marks the five codes Windows-1252 leaves
// undefined, which map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t CodePointOf(uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t mapped = kHighControls[byte - 0x80];
        return mapped != 0 ? mapped : static_cast<char16_t>(byte);
    }
    return static_cast<char16_t>(byte);
}

const std::unordered_map<char16_t, uint8_t>& ReverseTable() {
    static const auto table = [] {
        std::unordered_map<char16_t, uint8_t> reverse;
        for (int byte = 0; byte < 256; ++byte) {
            reverse.emplace(CodePointOf(static_cast<uint8_t>(byte)), static_cast<uint8_t>(byte));
        }
        return reverse;
    }();
    return table;
}

// The byte of a character, or nothing when Windows-1252 lacks it. Below 0x80 and from 0xA0
// to 0xFF the byte is the code point itself.
std::optional<uint8_t> ByteOf(char16_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<uint8_t>(codePoint);
    }
    const auto& reverse = ReverseTable();
    const auto found = reverse.find(codePoint);
    if (found == reverse.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace

QString FromAnsi(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) {
        text.append(QChar(CodePointOf(static_cast<uint8_t>(byte))));
    }
    return text;
}

std::string ToAnsi(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (const QChar character : text) {
        bytes.push_back(static_cast<char>(ByteOf(character.unicode()).value_or('?')));
    }
    return bytes;
}

std::optional<std::string> ToAnsiExactly(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (const QChar character : text) {
        const std::optional<uint8_t> byte = ByteOf(character.unicode());
        if (!byte) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(*byte));
    }
    return bytes;
}

std::string AnsiLower(const std::string& bytes) {
    std::string lower = bytes;
    for (char& byte : lower) {
        const auto value = static_cast<uint8_t>(byte);
        if ((value >= 'A' && value <= 'Z') || (value >= 0xC0 && value <= 0xDE && value != 0xD7)) {
            byte = static_cast<char>(value + 0x20);
        } else if (value == 0x8A || value == 0x8C || value == 0x8E) {
            byte = static_cast<char>(value + 0x10);  // Š Œ Ž
        } else if (value == 0x9F) {
            byte = static_cast<char>(0xFF);  // Ÿ
        }
    }
    return lower;
}

std::string AnsiUpper(const std::string& bytes) {
    std::string upper = bytes;
    for (char& byte : upper) {
        const auto value = static_cast<uint8_t>(byte);
        if ((value >= 'a' && value <= 'z') || (value >= 0xE0 && value <= 0xFE && value != 0xF7)) {
            byte = static_cast<char>(value - 0x20);
        } else if (value == 0x9A || value == 0x9C || value == 0x9E) {
            byte = static_cast<char>(value - 0x10);  // š œ ž
        } else if (value == 0xFF) {
            byte = static_cast<char>(0x9F);  // ÿ
        }
    }
    return upper;
}

}  // namespace scopewatch
