#pragma once

#include <optional>
#include <string>

namespace scopewatch {

class SessionService;
struct ProgramState;

// One line of the chat history: the speaker's name, ": " and the text. Texts are
// Windows-1252; zero characters inside a received text are left out, so a line padded with
// zeros (as this program sends them) reads like any other.
std::string ChatLine(const std::string& speaker, const std::string& text);

// The history with the line on top: the newest line comes first, each line ends with a
// carriage return and line feed.
std::string PrependChatLine(const std::string& history, const std::string& line);

// Sends the typed text to every player from our player and returns the line to put on top of
// the history; returns nothing (and sends nothing) while we have no player. Errors of the
// send reach the caller as SessionError.
std::optional<std::string> SendChat(SessionService& session, const ProgramState& state,
                                    const std::string& text);

}  // namespace scopewatch
