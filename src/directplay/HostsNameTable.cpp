#include "directplay/HostsNameTable.h"

namespace scopewatch::directplay {

namespace {

void AddNamedMachine(DirectPlayPeer& peer, const PlayerInfo& system,
                     const SuperEnumPlayersReply& snapshot, const QHostAddress& hostIp) {
    const PlayerInfo* addressed = system.streamAddress ? &system : nullptr;
    for (const PlayerInfo& player : snapshot.players) {
        if (addressed == nullptr && player.systemPlayerId == system.id && player.streamAddress) {
            addressed = &player;
        }
    }
    if (addressed == nullptr || addressed->streamAddress->port == 0) {
        peer.log().Line("machine " + std::to_string(system.id) + " comes without an address");
        return;
    }
    peer.AddMachine(
        NameTable::MachineAddressedBy(system.id, *addressed, hostIp, ClampVersion(system.version)));
}

}  // namespace

bool TakeHostsNameTable(DirectPlayPeer& peer, const SuperEnumPlayersReply& snapshot,
                        const QHostAddress& hostIp) {
    NameTable& table = peer.table();
    const RemoteMachine* provisional = table.FindMachine(0);
    if (provisional == nullptr) {
        return false;
    }
    RemoteMachine host = *provisional;
    table.SetDesc(snapshot.desc);
    table.EraseMachine(0);
    for (const PlayerInfo& player : snapshot.players) {
        if (player.id == table.systemId() || table.players().size() >= kMaxPlayers) {
            continue;
        }
        peer.AddPlayer(player);
        if ((player.flags & player_flags::kSystemPlayer) == 0) {
            continue;
        }
        const SockAddr stream = player.streamAddress.value_or(SockAddr{});
        const bool isHost = (player.flags & player_flags::kNameServer) != 0 ||
                            (stream.port == host.streamPort && stream.address == 0);
        if (isHost && table.hostSystemId() == 0) {
            host.systemId = player.id;
            host.version = ClampVersion(player.version);
            if (player.datagramAddress && player.datagramAddress->port != 0) {
                host.datagramPort = player.datagramAddress->port;
            }
            table.SetHostSystemId(player.id);
            peer.AddMachine(host);
        } else {
            AddNamedMachine(peer, player, snapshot, hostIp);
        }
    }
    if (table.HostMachine() == nullptr) {
        peer.AddMachine(host);  // a host that did not list itself keeps the provisional entry
    }
    return true;
}

}  // namespace scopewatch::directplay
