#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "demohost/DemoPilots.h"
#include "directplay/DirectPlayHost.h"
#include "shared/Outcome.h"

namespace scopewatch::demo {

// The application GUID Flight Simulator sessions announce ({CC080A27-6D4E-11D0-8E21-00A0C90542EF}),
// in its wire layout. A simulator looks only for sessions of its own application, so the demo
// host announces this one; programs that ask for every application find it too.
inline constexpr directplay::Guid kFlightSimulatorApplication = {
    0x27, 0x0A, 0x08, 0xCC, 0x4E, 0x6D, 0xD0, 0x11, 0x8E, 0x21, 0x00, 0xA0, 0xC9, 0x05, 0x42, 0xEF};

struct DemoHostOptions {
    std::string sessionName = "Eldorado Fly-in";
    uint32_t maxPlayers = 8;
    directplay::PortPlan ports;
    directplay::Timings timings;
    bool refuseControllers = false;  // answer a join request with 0x1005
    int removeAfterSeconds = 0;      // send 0x1016 to a controller this long after admission
    int silentAfterSeconds = 0;      // stop sending anything after this long
    int chatEverySeconds = 45;       // a pilot says something now and then
    int tickMs = 1000;
    bool ticksByCaller = false;  // no timer: the caller calls Tick (a test that times the session)
    size_t pilotCount = 5;       // the five demo pilots; more are copies of their kinds
    bool logPositions = true;    // also log positions and keep-alives
};

// Hosts a session in which simulated pilots fly around an airport, and admits controllers
// the way a flight simulator's session host does.
class DemoSessionHost : public QObject {
    Q_OBJECT
  public:
    using Logger = std::function<void(const std::string&)>;

    DemoSessionHost(DemoHostOptions options, const DemoAirportPlan& plan, Logger log);
    ~DemoSessionHost() override;

    // Opens the session and brings the pilots in; fails when the host cannot listen or no
    // pilot finds room.
    Status Start();
    void Stop();
    // Goes the way a machine that crashes does: the pilots stop and every connection closes,
    // without a word to anyone.
    void Vanish();
    // One step of the pilots (the timer calls it every tickMs).
    void Tick();

    directplay::DirectPlayHost& host() { return host_; }
    std::vector<uint32_t> PilotIds() const;

  private:
    struct Pilot {
        PilotProfile profile;
        RouteFlyer flyer;
        uint32_t id = 0;
    };
    struct Controller {
        int admittedAt = 0;
        bool removed = false;
    };

    void HandleDelivery(const directplay::Delivery& delivery);
    void Admit(uint32_t controller);
    void AnswerChat(uint32_t from, SessionMessage& message, int32_t length);
    void SendToAll(const Pilot& pilot, const SessionMessage& message);
    void SendTo(const Pilot& pilot, uint32_t to, const SessionMessage& message);
    void Log(const std::string& line) const;
    std::string NameOf(uint32_t id) const;
    bool Silent() const;
    bool AnyoneListening() const;
    void SayLine();

    DemoHostOptions options_;
    Logger log_;
    directplay::DirectPlayHost host_;
    std::vector<Pilot> pilots_;
    std::map<uint32_t, Controller> controllers_;
    QTimer timer_;
    int elapsedSeconds_ = 0;
    size_t nextSpeaker_ = 0;
};

}  // namespace scopewatch::demo
