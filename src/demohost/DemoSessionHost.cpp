#include "demohost/DemoSessionHost.h"

#include <algorithm>

#include "multiplayer/DirectPlaySession.h"
#include "shared/MalformedBytes.h"

namespace scopewatch::demo {

namespace {
// A head start is flown in steps, as a pilot's ticks would fly it.
constexpr double kHeadStartStep = 10.0;
const char* const kLines[] = {"ready to taxi", "holding short", "request flight following",
                              "on frequency",  "say again?",    "looking for traffic"};
}  // namespace

DemoSessionHost::DemoSessionHost(DemoHostOptions options, const DemoAirportPlan& plan, Logger log)
    : options_(std::move(options)), log_(std::move(log)), host_(options_.ports, options_.timings) {
    for (PilotProfile& profile : DemoPilotCrowd(plan, options_.pilotCount)) {
        RouteFlyer flyer(profile.route, profile.closedRoute);
        for (double left = profile.headStartSeconds; left > 0.0; left -= kHeadStartStep) {
            flyer.Advance(std::min(left, kHeadStartStep));
        }
        pilots_.push_back(Pilot{std::move(profile), std::move(flyer), 0});
    }
    host_.peer().SetLogger([this](const std::string& line) { Log("dplay: " + line); });
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

DemoSessionHost::~DemoSessionHost() {
    Stop();
}

Status DemoSessionHost::Start() {
    directplay::HostSettings settings;
    settings.sessionName = AnsiToWide(options_.sessionName);
    settings.maxPlayers = options_.maxPlayers;
    settings.application = kFlightSimulatorApplication;
    if (const Status started = host_.Start(settings); !started.ok()) {
        return started;
    }
    for (Pilot& pilot : pilots_) {
        pilot.id =
            host_.CreatePlayer(AnsiToWide(pilot.profile.name), AnsiToWide(pilot.profile.title));
        Log("pilot " + pilot.profile.name + " (" + pilot.profile.title + ") " +
            (pilot.id != 0 ? "is player " + std::to_string(pilot.id) : "finds the session full"));
    }
    // A session smaller than the crowd keeps only the pilots that fitted in.
    std::erase_if(pilots_, [](const Pilot& pilot) { return pilot.id == 0; });
    if (pilots_.empty()) {
        host_.Stop();
        return Status::Failed("The session has no room for any pilot");
    }
    if (!options_.ticksByCaller) {
        timer_.start(options_.tickMs);
    }
    return Status::Done();
}

void DemoSessionHost::Stop() {
    timer_.stop();
    host_.Stop();
}

void DemoSessionHost::Vanish() {
    timer_.stop();
    host_.transport().Close();
}

std::vector<uint32_t> DemoSessionHost::PilotIds() const {
    std::vector<uint32_t> ids;
    for (const Pilot& pilot : pilots_) {
        ids.push_back(pilot.id);
    }
    return ids;
}

bool DemoSessionHost::AnyoneListening() const {
    for (uint32_t id : host_.table().ApplicationPlayerIds()) {
        if (!host_.table().IsLocal(id)) {
            return true;
        }
    }
    return false;
}

bool DemoSessionHost::Silent() const {
    return options_.silentAfterSeconds > 0 && elapsedSeconds_ >= options_.silentAfterSeconds;
}

void DemoSessionHost::Log(const std::string& line) const {
    if (log_) {
        log_(line);
    }
}

std::string DemoSessionHost::NameOf(uint32_t id) const {
    const auto name = host_.table().PlayerName(id);
    return (name ? WideToAnsi(*name) : std::string("?")) + " (" + std::to_string(id) + ")";
}

void DemoSessionHost::SendToAll(const Pilot& pilot, const SessionMessage& message) {
    if (Silent() || !AnyoneListening()) {
        return;
    }
    SessionMessage copy = message;
    const int32_t kind = ReadHead(copy).kind;
    const bool routine =
        kind == kinds::kPositionShort || kind == kinds::kPositionLong || kind == kinds::kKeepAlive;
    if (!routine || options_.logPositions) {
        Log("sent " + KindName(kind) + " from " + pilot.profile.name + " to all");
    }
    host_.SendToAll(pilot.id, message.bytes());
}

void DemoSessionHost::SendTo(const Pilot& pilot, uint32_t to, const SessionMessage& message) {
    if (Silent()) {
        return;
    }
    SessionMessage copy = message;
    Log("sent " + KindName(ReadHead(copy).kind) + " from " + pilot.profile.name + " to " +
        NameOf(to));
    host_.SendTo(pilot.id, to, message.bytes());
}

void DemoSessionHost::Tick() {
    ++elapsedSeconds_;
    while (auto delivery = host_.peer().deliveries().Take()) {
        HandleDelivery(*delivery);
    }
    if (Silent()) {
        return;
    }
    for (Pilot& pilot : pilots_) {
        pilot.flyer.Advance(options_.tickMs / 1000.0);
        SendToAll(pilot,
                  MakePosition(ReportOf(pilot.flyer.state()), pilot.profile.longPositionForm));
        SendToAll(pilot, MakeSignal(kinds::kKeepAlive));
    }
    for (auto& [id, controller] : controllers_) {
        if (options_.removeAfterSeconds > 0 && !controller.removed &&
            elapsedSeconds_ - controller.admittedAt >= options_.removeAfterSeconds) {
            controller.removed = true;
            SendTo(pilots_[0], id, MakeSignal(kinds::kRemoved));
        }
    }
    if (options_.chatEverySeconds > 0 && elapsedSeconds_ % options_.chatEverySeconds == 0) {
        SayLine();
    }
}

void DemoSessionHost::SayLine() {
    const Pilot& pilot = pilots_[nextSpeaker_ % pilots_.size()];
    const char* line = kLines[nextSpeaker_ % (sizeof kLines / sizeof kLines[0])];
    ++nextSpeaker_;
    SendToAll(pilot, MakeSimulatorChat(line));
}

void DemoSessionHost::HandleDelivery(const directplay::Delivery& delivery) {
    // A message to all players arrives once for every pilot; the host pilot's copy counts.
    if (delivery.idTo != 0 && delivery.idTo != pilots_[0].id) {
        return;
    }
    SessionMessage message(delivery.payload);
    try {
        const MessageHead head = ReadHead(message);
        Log("received " + KindName(head.kind) + " from " + NameOf(delivery.idFrom) + " length " +
            std::to_string(head.length));
        if (Silent()) {
            return;
        }
        switch (head.kind) {
            case kinds::kJoinRequest:
            case kinds::kJoinNotice:
                Admit(delivery.idFrom);
                break;
            case kinds::kIdentifyRequest:
                for (const Pilot& pilot : pilots_) {
                    SendToAll(pilot, MakePlayerPresent(static_cast<int32_t>(pilot.id)));
                }
                break;
            case kinds::kAircraftInfoRequest:
                for (const Pilot& pilot : pilots_) {
                    SendToAll(pilot,
                              MakeAircraftInfo({pilot.profile.typeCode, pilot.profile.title}));
                }
                break;
            case kinds::kChat:
                AnswerChat(delivery.idFrom, message, head.length);
                break;
            default:
                break;
        }
    } catch (const MalformedBytes& error) {
        Log("dropped a message from " + NameOf(delivery.idFrom) + ": " + error.what());
    }
}

void DemoSessionHost::Admit(uint32_t controller) {
    if (options_.refuseControllers) {
        SendTo(pilots_[0], controller, MakeSignal(kinds::kRefused));
        return;
    }
    if (controllers_.count(controller) == 0) {
        controllers_[controller] = Controller{elapsedSeconds_, false};
    }
    SendToAll(pilots_[0], MakePlayerPresent(static_cast<int32_t>(controller)));
}

void DemoSessionHost::AnswerChat(uint32_t from, SessionMessage& message, int32_t length) {
    const auto text = ReadChat(message, length);
    if (!text) {
        return;
    }
    std::string line;
    for (char byte : *text) {
        if (byte != 0) {
            line.push_back(byte);
        }
    }
    Log("chat from " + NameOf(from) + ": " + line);
    SendToAll(pilots_[0], MakeSimulatorChat("roger, " + line));
}

}  // namespace scopewatch::demo
