#include "multiplayer/MessageIntake.h"

#include "geo/GeoMath.h"
#include "geo/Headings.h"
#include "geo/MagVarGrid.h"
#include "model/SessionState.h"
#include "model/TrafficTable.h"
#include "multiplayer/Chat.h"
#include "multiplayer/GameMessages.h"
#include "shared/MalformedBytes.h"

namespace scopewatch {

MessageIntake::MessageIntake(SessionService& session, SessionState& state, TrafficTable& traffic,
                             const MagVarGrid& grid)
    : session_(session), state_(state), traffic_(traffic), grid_(grid) {}

bool MessageIntake::Connected() const {
    return state_.isConnected == kTrue16;
}

IntakeEnd MessageIntake::ReceiveMessages(const ChatLineSink& chat) {
    if (linkWatchdog_ >= 1 && linkWatchdog_ <= kLinkWatchdogSeconds) {
        --linkWatchdog_;
    }
    if (linkWatchdog_ == 0) {
        return IntakeEnd::ConnectionLost;
    }
    if (state_.myPlayerId <= 0) {
        return IntakeEnd::Normal;
    }
    IntakeEnd end = IntakeEnd::Normal;
    try {
        const int32_t waiting = session_.WaitingMessageCount(state_.myPlayerId);
        for (int32_t i = 0; i < waiting; ++i) {
            const ReceivedMessage received = session_.Receive();
            ++messagesTaken_;
            if (!Handle(received, chat, end)) {
                break;
            }
        }
    } catch (const SessionError&) {
        // A failing call, or a message that ends early: the tick ends here.
        ++ticksCutShort_;
    } catch (const MalformedBytes&) {
        // A message that cannot be read: the tick ends here.
        ++ticksCutShort_;
    }
    return end;
}

bool MessageIntake::Handle(const ReceivedMessage& received, const ChatLineSink& chat,
                           IntakeEnd& end) {
    SessionMessage message = received.message;
    const MessageHead head = ReadHead(message);
    switch (head.kind) {
        case kinds::kKeepAlive:
            ResetWatchdog();
            break;
        case kinds::kPlayerPresent:
            ResetWatchdog();
            if (Connected()) {
                AddPlayer(traffic_, session_.PlayerName(ReadPlayerId(message)));
            }
            break;
        case kinds::kIdentifyRequest:
            if (Connected()) {
                session_.SendToAll(state_.myPlayerId, MakePlayerPresent(state_.myPlayerId));
            }
            break;
        case kinds::kRemoved:
            // Only the host removes a player; the word of another is not taken.
            if (!received.fromHost) {
                break;
            }
            end = IntakeEnd::RemovedByHost;
            return false;
        case kinds::kPositionShort:
        case kinds::kPositionLong:
            if (Connected()) {
                UpdatePosition(received.fromId, message, head.kind);
            }
            break;
        case kinds::kAircraftInfo:
            if (Connected()) {
                UpdateAircraftInfo(received.fromId, message, head.length);
            }
            break;
        case kinds::kChat:
            ReceiveChat(received.fromId, message, head.length, chat);
            break;
        default:
            break;
    }
    return true;
}

void MessageIntake::UpdateEntriesOf(int32_t senderId,
                                    const std::function<void(TrafficRecord&)>& update) {
    TrafficTable& table = traffic_;
    if (table.InUse().empty()) {
        return;  // the sender's name is asked for only when someone is listed
    }
    const std::string sender = session_.PlayerName(senderId);
    for (int16_t i = 1; i <= table.trafficCount; ++i) {
        TrafficRecord& entry = table.trafficTable.at(static_cast<size_t>(i));
        if (entry.playerName == sender) {
            update(entry);
        }
    }
}

void MessageIntake::UpdatePosition(int32_t senderId, SessionMessage& message, int32_t kind) {
    const PositionReport report = ReadPosition(message, kind);
    const double latitude = LatitudeDegrees(report.latitudeRaw);
    const double longitude = LongitudeDegrees(report.longitudeRaw);
    const int32_t altitudeFt = FeetFromMetres(report.altitudeMetres);
    const int16_t heading =
        MagneticHeading(HeadingFromWord(report.headingWord), {latitude, longitude}, grid_);
    UpdateEntriesOf(senderId, [&](TrafficRecord& entry) {
        entry.latitude = latitude;
        entry.longitude = longitude;
        entry.altitudeFt = altitudeFt;
        entry.heading = heading;
    });
}

void MessageIntake::UpdateAircraftInfo(int32_t senderId, SessionMessage& message, int32_t length) {
    const AircraftInfo info = ReadAircraftInfo(message, length);
    UpdateEntriesOf(senderId, [&](TrafficRecord& entry) {
        entry.aircraftType = AircraftTypeText(info.typeCode);
        entry.aircraftTitle = info.title;
    });
}

void MessageIntake::ReceiveChat(int32_t senderId, SessionMessage& message, int32_t length,
                                const ChatLineSink& chat) {
    const std::optional<std::string> text = ReadChat(message, length);
    if (text && !text->empty() && chat) {
        chat(ChatLine(session_.PlayerName(senderId), *text));
    }
}

void MessageIntake::RefreshTraffic() {
    if (!Connected()) {
        return;
    }
    if (state_.myPlayerId > 0) {
        try {
            session_.SendToAll(state_.myPlayerId, MakeSignal(kinds::kIdentifyRequest));
            session_.SendToAll(state_.myPlayerId, MakeSignal(kinds::kAircraftInfoRequest));
        } catch (const SessionError&) {
            // A link that broke shows itself through the watchdog.
        }
    }
    ClearTraffic(traffic_);
}

void AddPlayer(TrafficTable& table, const std::string& name) {
    for (const TrafficRecord& entry : table.InUse()) {
        if (entry.playerName == name) {
            return;
        }
    }
    if (table.trafficCount >= TrafficTable::kCapacity) {
        return;
    }
    TrafficRecord entry;
    entry.playerName = name;
    ++table.trafficCount;
    table.trafficTable[static_cast<size_t>(table.trafficCount)] = entry;
}

void ClearTraffic(TrafficTable& table) {
    for (TrafficRecord& entry : table.trafficTable) {
        entry = TrafficRecord{};
    }
    table.trafficCount = 0;
}

}  // namespace scopewatch
