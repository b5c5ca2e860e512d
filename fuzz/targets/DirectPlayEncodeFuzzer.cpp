// The DirectPlay codec the other way round: every kind of message, with field values the
// fuzzer chooses, is encoded as we send it and must decode to the same kind of message with
// the same fields, and encode again to the same bytes. Names are NUL-terminated texts on the
// wire, so the names made here hold no NUL.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "directplay/DirectPlayCodec.h"

namespace scopewatch::fuzzing {
namespace {

using namespace scopewatch::directplay;

class MessageMaker {
  public:
    explicit MessageMaker(FuzzedDataProvider& in) : in_(in) {}

    Message Make() {
        switch (in_.ConsumeIntegralInRange<int>(0, 17)) {
            case 0:
                return EnumSessions{MakeGuid(), Word(), Text()};
            case 1:
                return EnumSessionsReply{MakeDesc(), Text()};
            case 2:
                return RequestPlayerId{Word()};
            case 3:
                return RequestPlayerReply{Word(), Word()};
            case 4:
                return AddForwardRequest{Word(), Word(), MakePlayer(), Text(), Word()};
            case 5:
                return AddForward{Word(), Word(), MakePlayer()};
            case 6:
                return AddForwardAck{Word()};
            case 7:
                return AddForwardReply{Word()};
            case 8:
                return MakeSnapshot();
            case 9:
                return CreatePlayer{Word(), Word(), MakePlayer(), in_.ConsumeBool()};
            case 10:
                return DeletePlayer{Word(), Word()};
            case 11:
                return Ping{Word(), Word(), in_.ConsumeBool()};
            case 12:
                return YouAreDead{};
            case 13:
                return SessionDescChanged{Word(), MakeDesc(), Text()};
            case 14:
                return PlayerNameChanged{Word(), Word(), Text(), Text()};
            case 15:
                return PlayerData{PlayerDataBody()};
            case 16:
                return Ask4Multicast{Word(), Word(), Data(), in_.ConsumeBool()};
            default:
                return Unhandled{UnhandledCommand()};
        }
    }

    SockAddr MakeAddress() { return {in_.ConsumeIntegral<uint16_t>(), Word()}; }
    uint16_t Version() { return in_.ConsumeIntegral<uint16_t>(); }

  private:
    uint32_t Word() { return in_.ConsumeIntegral<uint32_t>(); }
    Guid MakeGuid() {
        Guid guid{};
        for (uint8_t& byte : guid) {
            byte = in_.ConsumeIntegral<uint8_t>();
        }
        return guid;
    }
    std::u16string Text() {
        std::u16string text;
        const size_t length = in_.ConsumeIntegralInRange<size_t>(0, 40);
        for (size_t i = 0; i < length && in_.remaining_bytes() > 0; ++i) {
            text.push_back(static_cast<char16_t>(in_.ConsumeIntegralInRange<uint16_t>(1, 0xFFFF)));
        }
        return text;
    }
    Bytes Data() {
        const size_t length = in_.ConsumeIntegralInRange<size_t>(0, 300);
        return in_.ConsumeBytes<uint8_t>(length);
    }
    // Player data never starts with the "play" signature of system messages: the wire
    // could not tell the two apart.
    Bytes PlayerDataBody() {
        Bytes body = Data();
        if (body.size() >= 4 && body[0] == 'p' && body[1] == 'l' && body[2] == 'a' &&
            body[3] == 'y') {
            body[0] = 'P';
        }
        return body;
    }
    SessionDesc MakeDesc() {
        SessionDesc desc;
        desc.flags = Word();
        desc.instance = MakeGuid();
        desc.application = MakeGuid();
        desc.maxPlayers = Word();
        desc.currentPlayers = Word();
        desc.reserved1 = Word();
        desc.reserved2 = Word();
        for (uint32_t& value : desc.user) {
            value = Word();
        }
        return desc;
    }
    PlayerInfo MakePlayer() {
        PlayerInfo player;
        player.flags = Word();
        player.id = Word();
        player.shortName = Text();
        player.longName = Text();
        if (in_.ConsumeBool()) {
            player.streamAddress = MakeAddress();
            player.datagramAddress = MakeAddress();
        }
        player.playerData = Data();
        player.systemPlayerId = Word();
        player.version = Word();
        player.parentId = Word();
        return player;
    }
    SuperEnumPlayersReply MakeSnapshot() {
        SuperEnumPlayersReply snapshot{MakeDesc(), Text(), Text(), {}};
        const int count = in_.ConsumeIntegralInRange<int>(0, 6);
        for (int i = 0; i < count; ++i) {
            snapshot.players.push_back(MakePlayer());
        }
        return snapshot;
    }
    // A command the decoder passes over as unhandled (neither one it reads nor the wrapper
    // of player data).
    uint16_t UnhandledCommand() {
        const uint16_t command = in_.ConsumeIntegral<uint16_t>();
        return Known(command) ? 0x7FFF : command;
    }
    static bool Known(uint16_t command) {
        switch (command) {
            case kEnumSessionsReply:
            case kEnumSessions:
            case kRequestPlayerId:
            case kRequestPlayerReply:
            case kCreatePlayer:
            case kDeletePlayer:
            case kPlayerNameChanged:
            case kAddForwardRequest:
            case kPing:
            case kPingReply:
            case kYouAreDead:
            case kPlayerWrapper:
            case kSessionDescChanged:
            case kAddForwardReply:
            case kAsk4Multicast:
            case kAsk4MulticastGuaranteed:
            case kSuperEnumPlayersReply:
            case kAddForward:
            case kAddForwardAck:
            case kCreatePlayerVerify:
                return true;
            default:
                return false;
        }
    }

    FuzzedDataProvider& in_;
};

// How a player comes back from the wire: an address pair only with service provider data
// (the datagram address then always), and super-packed entries of application players
// carry their system player in place of the dialect.
PlayerInfo AsRead(PlayerInfo player, bool superPacked) {
    if (player.streamAddress) {
        player.datagramAddress = player.datagramAddress.value_or(SockAddr{});
    } else {
        player.datagramAddress.reset();
    }
    if (superPacked) {
        const bool system = (player.flags & player_flags::kSystemPlayer) != 0;
        if (system) {
            player.systemPlayerId = player.id;
        } else {
            player.version = 0;
        }
    }
    return player;
}

void CheckPlayersKept(const Message& sent, const Message& read) {
    if (const auto* create = std::get_if<CreatePlayer>(&sent)) {
        Require(std::get<CreatePlayer>(read).player == AsRead(create->player, false),
                "a created player arrives whole");
    } else if (const auto* forward = std::get_if<AddForward>(&sent)) {
        Require(std::get<AddForward>(read).player == AsRead(forward->player, false),
                "a forwarded player arrives whole");
    } else if (const auto* snapshot = std::get_if<SuperEnumPlayersReply>(&sent)) {
        const auto& players = std::get<SuperEnumPlayersReply>(read).players;
        Require(players.size() == snapshot->players.size(), "the name table keeps its players");
        for (size_t i = 0; i < players.size(); ++i) {
            Require(players[i] == AsRead(snapshot->players[i], true),
                    "a name table entry arrives whole");
        }
    }
}

}  // namespace
}  // namespace scopewatch::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scopewatch::directplay;
    using namespace scopewatch::fuzzing;
    FuzzedDataProvider in(data, size);
    MessageMaker maker(in);
    const SockAddr sender = maker.MakeAddress();
    const uint16_t version = maker.Version();
    const Message message = maker.Make();
    const Bytes encoded = Encode(message, sender, version);
    const auto decoded = Decode(encoded);
    Require(decoded.ok(), "every message we send decodes");
    Require(decoded.value->message.index() == message.index(), "a message keeps its kind");
    Require(decoded.value->sender == sender, "the sender's address arrives");
    CheckPlayersKept(message, decoded.value->message);
    Require(
        Encode(decoded.value->message, decoded.value->sender, decoded.value->version) == encoded,
        "encoding is stable");
    return 0;
}
