#include "multiplayer/Chat.h"

#include <algorithm>

#include "multiplayer/GameMessages.h"
#include "multiplayer/SessionService.h"
#include "shared/ProgramState.h"

namespace scopewatch {

std::string ChatLine(const std::string& speaker, const std::string& text) {
    std::string shown = text;
    shown.erase(std::remove(shown.begin(), shown.end(), '\0'), shown.end());
    return speaker + ": " + shown;
}

std::string PrependChatLine(const std::string& history, const std::string& line) {
    return line + "\r\n" + history;
}

std::optional<std::string> SendChat(SessionService& session, const ProgramState& state,
                                    const std::string& text) {
    if (state.myPlayerId <= 0) {
        return std::nullopt;
    }
    session.SendToAll(state.myPlayerId, MakeChat(text));
    return ChatLine(session.PlayerName(state.myPlayerId), text);
}

}  // namespace scopewatch
