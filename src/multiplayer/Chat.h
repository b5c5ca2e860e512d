#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace scopewatch {

class SessionService;
struct SessionState;

// The longest line the history shows, in characters: a message may carry 128 KiB of text
// and a player's name nearly 64,000 characters, and a history box laying out lines of that
// size takes seconds for each. Longer lines are cut here.
inline constexpr size_t kChatLineLimit = 1024;
// The most text the history keeps, in bytes: far more than a day of a busy session's chat, so
// only a peer flooding the chat reaches it. Lines beyond it fall off the bottom.
inline constexpr size_t kChatHistoryLimit = 1024 * 1024;

// One line of the chat history: the speaker's name, ": " and the text, cut to
// kChatLineLimit characters. Texts are Windows-1252; zero characters inside a received text
// are left out, so a line padded with zeros (as this program sends them) reads like any
// other. Line breaks in the name or the text become spaces: a line stays one line, so a peer
// cannot make a line of its own appear under another pilot's name.
std::string ChatLine(const std::string& speaker, const std::string& text);

// The history with the line on top: the newest line comes first, each line ends with a
// carriage return and line feed. The oldest lines go once the history is longer than
// kChatHistoryLimit.
std::string PrependChatLine(const std::string& history, const std::string& line);
// The same for lines that arrived together, oldest first: the last one ends on top.
std::string PrependChatLines(const std::string& history, const std::vector<std::string>& lines);

// What follows a typed line in the history when it went nowhere (a recording is played).
inline constexpr const char* kNotSentMark = " (not sent)";

// Sends the typed text to every player from our player and returns the line to put on top of
// the history; returns nothing (and sends nothing) while we have no player. Where what we send
// reaches nobody, nothing is sent and the line carries kNotSentMark. Errors of the send reach
// the caller as SessionError.
std::optional<std::string> SendChat(SessionService& session, const SessionState& state,
                                    const std::string& text);

}  // namespace scopewatch
