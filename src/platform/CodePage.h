#pragma once

#include <QString>
#include <optional>
#include <string>

namespace scopewatch {

// Texts inside the program are single-byte Windows-1252 strings, kept as their bytes.
// These two functions are the only crossing to and from Qt's Unicode strings.

// Every byte maps to one character: the five codes that Windows-1252 leaves undefined map to
// their C1 control characters (U+0081, U+008D, U+008F, U+0090, U+009D), as Windows does.
QString FromAnsi(const std::string& bytes);

// Characters outside Windows-1252 become "?".
std::string ToAnsi(const QString& text);
// Nothing when a character is outside Windows-1252: for texts that must not be stored damaged.
std::optional<std::string> ToAnsiExactly(const QString& text);

// Lower-case or upper-case a Windows-1252 string, letters with accents included.
std::string AnsiLower(const std::string& bytes);
std::string AnsiUpper(const std::string& bytes);

}  // namespace scopewatch
