#include "support/RecordedSession.h"

#include <cmath>

#include "directplay/DirectPlayTransport.h"
#include "multiplayer/GameMessages.h"
#include "replay/SessionObserver.h"

namespace scopewatch::testing {

namespace dp = directplay;

void SessionFrames::At(double seconds) {
    micros = kStartMicros + std::llround(seconds * 1e6);
}

void SessionFrames::Raw(const capture::Endpoint& from, const capture::Endpoint& to,
                        directplay::Bytes bytes) {
    capture::CapturedFrame frame;
    frame.microseconds = micros;
    frame.from = from;
    frame.to = to;
    frame.bytes = std::move(bytes);
    frame.place = capture::FilePlace{frames.size() + 1, 24 + frames.size() * 100};
    frames.push_back(std::move(frame));
}

void SessionFrames::System(const Machine& from, const Machine& to, const dp::Message& message,
                           capture::Carrier carrier) {
    Raw(from.stream, to.stream, dp::Encode(message, dp::SockAddr{from.stream.port, 0}, 14));
    frames.back().carrier = carrier;
}

void SessionFrames::Data(const Machine& from, const Machine& to, uint32_t idFrom, uint32_t idTo,
                         const SessionMessage& payload) {
    Raw(from.stream, to.stream,
        dp::EncodePlayerData(dp::SockAddr{from.stream.port, 0}, idFrom, idTo, payload.bytes()));
}

dp::PlayerInfo PlayerEntry(uint32_t id, uint32_t systemId, const std::u16string& name,
                           uint32_t flags, uint16_t port) {
    dp::PlayerInfo player;
    player.id = id;
    player.systemPlayerId = systemId;
    player.shortName = name;
    player.flags = flags;
    player.streamAddress = dp::SockAddr{port, 0};
    player.datagramAddress = dp::SockAddr{port, 0};
    player.version = 14;
    return player;
}

namespace {

void Join(RecordedSession& s) {
    SessionFrames& f = s.frames;
    dp::SessionDesc desc;
    desc.flags = dp::session_flags::kKeepAlive;
    desc.maxPlayers = 8;
    desc.currentPlayers = 2;
    f.At(0.0);
    f.System(s.scope, {{0xFFFFFFFF, dp::PortPlan{}.enumPort}, 0}, dp::EnumSessions{},
             capture::Carrier::kDatagram);
    f.At(0.01);
    f.System(s.host, s.scope, dp::EnumSessionsReply{desc, u"Eldorado Fly-in"});
    f.At(1.0);
    f.System(s.scope, s.host, dp::RequestPlayerId{0x9});
    f.System(s.host, s.scope, dp::RequestPlayerReply{s.scope.systemId, 0});
    const uint16_t scopePort = s.scope.stream.port;
    f.System(s.scope, s.host,
             dp::AddForwardRequest{
                 0, s.scope.systemId,
                 PlayerEntry(s.scope.systemId, s.scope.systemId, u"", 0x9, scopePort), u"", 0});
    const uint16_t hostPort = s.host.stream.port;
    dp::SuperEnumPlayersReply table{desc, u"Eldorado Fly-in", u"", {}};
    table.players = {PlayerEntry(s.host.systemId, s.host.systemId, u"", 0x7, hostPort),
                     PlayerEntry(s.pilots[0], s.host.systemId, u"N172SP", 0x0, hostPort),
                     PlayerEntry(s.pilots[1], s.host.systemId, u"DLH123", 0x0, hostPort)};
    f.System(s.host, s.scope, table);
    f.At(2.0);
    f.System(s.scope, s.host, dp::RequestPlayerId{0x8});
    f.System(s.host, s.scope, dp::RequestPlayerReply{s.controller, 0});
    f.System(
        s.scope, s.host,
        dp::CreatePlayer{
            0, s.controller,
            PlayerEntry(s.controller, s.scope.systemId, u"ATC Controller", 0x8, scopePort), false});
    f.Data(s.scope, s.host, s.controller, 0, MakeSignal(kinds::kJoinRequest));
    f.At(2.5);
    f.Data(s.host, s.scope, s.pilots[0], s.controller,
           MakePlayerPresent(static_cast<int32_t>(s.controller)));
}

}  // namespace

void PilotsSecond(RecordedSession& s, int second) {
    SessionFrames& f = s.frames;
    for (int n = 0; n < 2; ++n) {
        f.At(2.5 + second + 0.1 * n);
        PositionReport report;
        report.latitudeRaw = LatitudeRaw(38.8 + 0.001 * second);
        report.longitudeRaw = LongitudeRaw(-104.7 + 0.002 * n);
        report.altitudeMetres = 1000 + 10 * n;
        report.headingWord = HeadingWord(90.0 * (n + 1));
        f.Data(s.host, s.scope, s.pilots[n], s.controller, MakePosition(report, n == 1));
        f.Data(s.host, s.scope, s.pilots[n], s.controller, MakeSignal(kinds::kKeepAlive));
    }
}

RecordedSession RecordSession(int seconds) {
    RecordedSession s;
    Join(s);
    for (int second = 0; second < seconds; ++second) {
        PilotsSecond(s, second);
        if (second == 0 || second % 30 == 29) {
            s.frames.At(2.5 + second + 0.5);
            for (int n = 0; n < 2; ++n) {
                s.frames.Data(s.host, s.scope, s.pilots[n], s.controller,
                              MakePlayerPresent(static_cast<int32_t>(s.pilots[n])));
                s.frames.Data(s.host, s.scope, s.pilots[n], s.controller,
                              MakeAircraftInfo({static_cast<int16_t>(n), n ? "A320" : "C172"}));
            }
        }
        if (second == 10) {
            s.frames.At(2.5 + second + 0.7);
            s.frames.Data(s.host, s.scope, s.pilots[1], s.controller,
                          MakeSimulatorChat("cleared to land"));
        }
    }
    return s;
}

Outcome<replay::ReplayTimeline> TimelineOf(const RecordedSession& session) {
    replay::ReplayTimeline timeline;
    replay::SessionObserver observer(&timeline);
    for (const capture::CapturedFrame& frame : session.frames.frames) {
        observer.Take(frame);
    }
    observer.Finish();
    return Outcome<replay::ReplayTimeline>::Done(std::move(timeline));
}

}  // namespace scopewatch::testing
