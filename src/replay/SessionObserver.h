#pragma once

#include <QHostAddress>
#include <deque>
#include <optional>
#include <set>
#include <span>

#include "directplay/DirectPlayCodec.h"
#include "directplay/NameTable.h"
#include "replay/CopyFilter.h"
#include "replay/EndpointBook.h"
#include "replay/JoinLog.h"
#include "replay/Observation.h"

namespace scopewatch::replay {

class ReplayTimeline;

// Watches a session through the frames a capture saw, in file order, as an observer who sees
// every machine: it reads each frame with the DirectPlay codec, judges it by the sender rules
// of the machine it went to (directplay/TakenFrom), keeps who is in the session, follows each
// join step by step, counts the messages, and hands every player's game messages on once,
// whichever machine they went to. A frame the receiving machine would refuse is reported with
// where it is in the file and goes no further.
//
// A capture that begins inside a session shows no name table: until one is seen, frames are
// taken unjudged and a player first met by its messages is named by its id.
class SessionObserver {
  public:
    // `timeline` receives the game messages and the players for a replay; none for a report.
    explicit SessionObserver(ReplayTimeline* timeline = nullptr);

    void Take(const capture::CapturedFrame& frame);
    // Ends the observation: the timeline learns where its replay starts and ends and how the
    // session is listed. What the observer saw stays for it to give.
    const Observation& Finish();

  private:
    using Frame = capture::CapturedFrame;
    using Decoded = directplay::Decoded;

    bool Taken(const Frame& frame, const Decoded& decoded) const;
    bool ToHost(const Frame& frame) const;
    void Observe(const Frame& frame, const Decoded& decoded);
    void Inner(const Frame& frame, const Decoded& outer, const directplay::Ask4Multicast& relay);

    // ---- the session's machines and players ----
    void OnEnumReply(const Frame& frame, const Decoded& decoded,
                     const directplay::EnumSessionsReply& reply);
    void OnRequest(const Frame& frame, const Decoded& decoded, uint32_t flags);
    void OnReply(const Frame& frame, const directplay::RequestPlayerReply& reply);
    void OnForwardRequest(const Frame& frame, const Decoded& decoded,
                          const directplay::AddForwardRequest& request);
    void OnForward(const Frame& frame, const directplay::AddForward& forward);
    void OnNameTable(const Frame& frame, const Decoded& decoded,
                     const directplay::SuperEnumPlayersReply& table);
    void OnCreate(const Frame& frame, const Decoded& decoded, const directplay::CreatePlayer& m);
    void OnDelete(const Frame& frame, uint32_t playerId);
    void ForgetDeleted(int64_t before);
    void OnRename(const Frame& frame, const directplay::PlayerNameChanged& m);
    void SetSession(const directplay::SessionDesc& desc, const std::u16string& name,
                    uint16_t dialect);
    void SetProvisionalHost(const capture::Endpoint& host);
    // Puts a player the wire described into the table and the observation.
    void Enter(const directplay::PlayerInfo& player, uint32_t tellerIp, int64_t micros);
    void MarkHost();
    ObservedPlayer* Record(uint32_t id, int64_t micros);

    // ---- the game's messages (ObservedData.cpp) ----
    void OnPlayerData(const Frame& frame, const Decoded& decoded,
                      const directplay::PlayerData& data);
    void TakeData(const Frame& frame, uint32_t sender, std::span<const uint8_t> payload,
                  const CopyFilter::Receiver& to);
    void FollowGame(const Frame& frame, uint32_t sender, int32_t kind,
                    std::span<const uint8_t> payload, const capture::Endpoint& to);
    void Started(int64_t micros, uint32_t joiner);
    void ListSession(int64_t start);
    void NotePosition(uint32_t sender, int64_t micros, int32_t kind,
                      std::span<const uint8_t> payload);
    std::optional<uint32_t> SenderWithoutIds(const Frame& frame, uint16_t headerPort) const;
    void LearnUnknown(uint32_t id, const Frame& frame, uint16_t headerPort);
    std::optional<capture::Endpoint> MachineAddressOf(uint32_t playerId) const;

    ReplayTimeline* timeline_;
    Observation observation_;
    directplay::NameTable table_;
    EndpointBook endpoints_;
    CopyFilter copies_;
    JoinLog joins_;
    std::deque<std::pair<int64_t, uint32_t>> deleted_;  // players to leave the table, by when
    std::set<uint32_t> deleting_;                       // the players of deleted_
    std::set<uint32_t> askedToJoin_;                    // players that sent the game's join request
    std::optional<int64_t> start_;                      // the acceptance the replay starts at
    uint32_t startedBy_ = 0;                            // the player it let in
    std::optional<int64_t> windowOpened_;               // that player's main window opened
};

}  // namespace scopewatch::replay
