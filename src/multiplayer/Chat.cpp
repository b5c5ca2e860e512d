#include "multiplayer/Chat.h"

#include <algorithm>

#include "model/SessionState.h"
#include "multiplayer/GameMessages.h"
#include "multiplayer/SessionService.h"

namespace scopewatch {

namespace {
constexpr const char* kLineEnd = "\r\n";
constexpr size_t kLineEndSize = 2;

// The control characters Unicode counts as ending a line or a paragraph: line feed, vertical
// tab, form feed, carriage return and the file, group and record separators. Windows-1252 has
// no next-line character (its 0x85 is the ellipsis), and a tab stays within its line.
bool BreaksTheLine(char c) {
    return (c >= '\n' && c <= '\r') || (c >= '\x1c' && c <= '\x1e');
}

// The text with a space for every character that would start a new line in the history.
std::string OnOneLine(std::string text) {
    std::replace_if(text.begin(), text.end(), BreaksTheLine, ' ');
    return text;
}
}  // namespace

std::string ChatLine(const std::string& speaker, const std::string& text) {
    std::string shown = text;
    shown.erase(std::remove(shown.begin(), shown.end(), '\0'), shown.end());
    std::string line = OnOneLine(speaker + ": " + shown);
    if (line.size() > kChatLineLimit) {
        line.resize(kChatLineLimit);
    }
    return line;
}

std::string PrependChatLine(const std::string& history, const std::string& line) {
    return PrependChatLines(history, {line});
}

std::string PrependChatLines(const std::string& history, const std::vector<std::string>& lines) {
    std::string joined;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        joined += *line;
        joined += kLineEnd;
        if (joined.size() >= kChatHistoryLimit) {
            break;  // the older lines of the batch fall off anyway
        }
    }
    if (joined.size() < kChatHistoryLimit) {
        joined.append(history, 0, kChatHistoryLimit - joined.size());
    }
    if (joined.size() >= kChatHistoryLimit) {
        // Whole lines only: cut after the last line end within the limit.
        const size_t lastEnd = joined.rfind(kLineEnd, kChatHistoryLimit - kLineEndSize);
        joined.resize(lastEnd == std::string::npos ? 0 : lastEnd + kLineEndSize);
    }
    return joined;
}

std::optional<std::string> SendChat(SessionService& session, const SessionState& state,
                                    const std::string& text) {
    if (state.myPlayerId <= 0) {
        return std::nullopt;
    }
    if (!session.ReachesOthers()) {
        return ChatLine(session.PlayerName(state.myPlayerId), text) + kNotSentMark;
    }
    session.SendToAll(state.myPlayerId, MakeChat(text));
    return ChatLine(session.PlayerName(state.myPlayerId), text);
}

}  // namespace scopewatch
