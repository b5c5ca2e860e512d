#include "directplay/TakenFrom.h"

namespace scopewatch::directplay {

namespace {

bool FromSendersMachine(const NameTable& table, const PlayerData& data, const QHostAddress& from) {
    if (!table.HasMessageIds()) {
        return table.IsMachineAddress(from);
    }
    const auto idFrom = PlayerDataSender(data);
    const PlayerInfo* player = idFrom ? table.FindPlayer(*idFrom) : nullptr;
    if (player == nullptr || table.IsOurs(*idFrom)) {
        return false;
    }
    const RemoteMachine* machine = table.FindMachine(player->systemPlayerId);
    if (machine != nullptr && SameMachineAddress(machine->ip, from)) {
        return true;
    }
    // The host passes the others' data on where it relays, and vouches for players whose
    // machine we cannot reach ourselves.
    const bool hostSpeaks = table.Relay() != nullptr || machine == nullptr;
    return hostSpeaks && table.IsHostAddress(from);
}

bool FromNamedPlayersMachineOrHost(const NameTable& table, const Message& message,
                                   const QHostAddress& from) {
    if (table.IsHostAddress(from)) {
        return true;
    }
    const auto* removed = std::get_if<DeletePlayer>(&message);
    const auto* renamed = std::get_if<PlayerNameChanged>(&message);
    const uint32_t named = removed ? removed->playerId : renamed ? renamed->playerId : 0;
    const RemoteMachine* machine = table.MachineOfPlayer(named);
    return machine != nullptr && SameMachineAddress(machine->ip, from);
}

}  // namespace

const TakenFromRow& RowOf(const Message& message) {
    const uint32_t bit = uint32_t{1} << message.index();
    for (const TakenFromRow& row : kTakenFrom) {
        if ((row.kinds & bit) != 0) {
            return row;
        }
    }
    return std::end(kTakenFrom)[-1];
}

bool Admits(const NameTable& table, const Message& message, const QHostAddress& from,
            bool searching) {
    switch (RowOf(message).from) {
        case Source::kSendersMachine:
            return FromSendersMachine(table, std::get<PlayerData>(message), from);
        case Source::kAnyoneWhileSearching:
            return searching;
        case Source::kAnyoneWhereWeHost:
            return table.WeHost();
        case Source::kHost:
            return table.IsHostAddress(from);
        case Source::kNamedPlayersMachineOrHost:
            return FromNamedPlayersMachineOrHost(table, message, from);
        case Source::kSessionMachineOrAnyoneWhereWeHost:
            return table.WeHost() || table.IsMachineAddress(from);
        case Source::kSessionMachine:
            return table.IsMachineAddress(from);
    }
    return false;
}

}  // namespace scopewatch::directplay
