// The DirectPlay codec on arbitrary bytes, as the transport hands it every message that
// arrives: decoded, described for the log, player data split into its ids. A message that
// decodes is then encoded again (as a reply or a relay would carry it) and decoded once
// more: the encoder's output must decode to the same kind of message and encode to the
// same bytes. The input is one framed message.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "directplay/DirectPlayCodec.h"
#include "directplay/DirectPlayLayout.h"
#include "shared/ByteReader.h"
#include "shared/ByteWriter.h"

namespace scopewatch::fuzzing {
namespace {

using namespace scopewatch::directplay;

// Player data whose body starts with the "play" signature cannot be told from a system
// message on the wire: it is not carried again as player data.
bool CarriesAsIs(const Decoded& decoded) {
    const auto* data = std::get_if<PlayerData>(&decoded.message);
    return data == nullptr || data->body.size() < 4 || data->body[0] != 'p' ||
           data->body[1] != 'l' || data->body[2] != 'a' || data->body[3] != 'y';
}

// A player that arrived in a packed entry, as the host hands it on to the next joiner in its
// name table snapshot: the joiner must read the same names and player data.
void CheckRelay(const PlayerInfo& player) {
    SuperEnumPlayersReply snapshot;
    snapshot.name = u"Relay";
    snapshot.players.push_back(player);
    const Bytes encoded = Encode(snapshot, SockAddr{2300, 0}, kNewestVersion);
    if (encoded.size() > kMaxMessageSize) {
        return;
    }
    const Outcome<Decoded> relayed = Decode(encoded);
    Require(relayed.ok(), "a name table holding the player decodes");
    const auto& players = std::get<SuperEnumPlayersReply>(relayed.value->message).players;
    Require(players.size() == 1 && players[0].shortName == player.shortName &&
                players[0].longName == player.longName &&
                players[0].playerData == player.playerData,
            "a relayed player keeps its names and data");
}

const PlayerInfo* PackedPlayerOf(const Message& message) {
    if (const auto* create = std::get_if<CreatePlayer>(&message)) {
        return &create->player;
    }
    if (const auto* forward = std::get_if<AddForward>(&message)) {
        return &forward->player;
    }
    if (const auto* request = std::get_if<AddForwardRequest>(&message)) {
        return &request->player;
    }
    return nullptr;
}

void CheckRoundTrip(const Decoded& first) {
    if (const PlayerInfo* player = PackedPlayerOf(first.message)) {
        CheckRelay(*player);
    }
    if (!CarriesAsIs(first)) {
        return;
    }
    const Bytes encoded = Encode(first.message, first.sender, first.version);
    if (encoded.size() > kMaxMessageSize) {
        return;  // grew past what a peer accepts (names gain their terminators)
    }
    const Outcome<Decoded> second = Decode(encoded);
    Require(second.ok(), "what the encoder writes decodes");
    // Wrapped player data (command 0x19) is carried again as plain player data.
    const bool playerData = std::holds_alternative<PlayerData>(first.message);
    Require(second.value->message.index() == first.message.index() &&
                (playerData || second.value->command == first.command),
            "the message keeps its kind");
    Require(Encode(second.value->message, second.value->sender, second.value->version) == encoded,
            "encoding is stable: decoded and encoded again it gives the same bytes");
}

void Exercise(const uint8_t* data, size_t size) {
    const Outcome<Decoded> result = Decode(data, size);
    Require(result.ok() != !result.failure.empty(), "a message is either decoded or refused");
    if (!result.ok()) {
        return;
    }
    Describe(*result.value);
    if (const auto* playerData = std::get_if<PlayerData>(&result.value->message)) {
        SplitPlayerData(*playerData);
    }
    CheckRoundTrip(*result.value);
}

// The input with its size word made to match its length (the token kept), so that mutations
// that change the length still reach the bodies.
Bytes WithSizeWord(const uint8_t* data, size_t size) {
    const uint32_t token = TokenInWord(ByteReader(data, size).UInt32At(prefix::kSizeWord));
    ByteWriter bytes(Bytes(data, data + size));
    bytes.UInt32At(prefix::kSizeWord, SizeWord(size, token));
    return bytes.Take();
}

}  // namespace
}  // namespace scopewatch::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scopewatch::directplay;
    using namespace scopewatch::fuzzing;
    Exercise(data, size);
    // A datagram may carry bytes after its message, which reading leaves alone.
    DecodeDatagram(data, size);
    if (size >= kPrefixSize && size <= kMaxMessageSize) {
        const Bytes patched = WithSizeWord(data, size);
        if (!std::equal(patched.begin(), patched.end(), data)) {
            Exercise(patched.data(), patched.size());
        }
    }
    return 0;
}
