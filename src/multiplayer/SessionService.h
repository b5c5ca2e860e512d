#pragma once

#include <QObject>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "multiplayer/SessionMessage.h"

namespace scopewatch {

// A failed session operation. The text says what went wrong in words a user can act on.
class SessionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A session as listed: shown to the user as "name (current/maximum)".
struct SessionInfo {
    std::string name;  // Windows-1252
    int32_t currentPlayers = 0;
    int32_t maxPlayers = 0;
};

struct ReceivedMessage {
    int32_t fromId = 0;
    int32_t toId = 0;
    SessionMessage message;
    // The sender lives on the session host's machine: only the host removes a player.
    bool fromHost = false;
};

// Where the program stands with a session. Listing the sessions, joining one and creating our
// player in it are the steps of a join: each goes from its "under way" state to a state of its
// own, done or failed. A failed join or player creation leaves the program in no session.
enum class SessionStep {
    kIdle,  // in no session, nothing under way
    kListing,
    kListed,  // ListedSessions() gives what was found
    kListingFailed,
    kJoining,
    kJoined,
    kJoinFailed,
    kCreatingPlayer,
    kPlayerCreated,  // CreatedPlayer() gives our player
    kPlayerFailed,
    kLost,  // the link to the session broke (the host is gone, or it removed our machine)
};

// The operations the program relies on from the multiplayer session. Indices are 1-based, as
// in the session component the program was designed around.
//
// Listing, joining and creating a player wait for the network: each starts the step and
// returns at once, and every change of Step() arrives as stepChanged from the event loop,
// never inside the call; StepFailure() says why a step failed, in words a user can act on. A
// step that cannot start (another is under way, nothing to start it on) throws SessionError at
// once. Close calls off the step under way without a signal. Every other operation answers at
// once; a failing one throws SessionError.
class SessionService : public QObject {
    Q_OBJECT
  public:
    ~SessionService() override = default;

    virtual int ConnectionTypeCount() const = 0;
    virtual std::string ConnectionTypeName(int index) const = 0;
    // Binds the service to a transport; may ask the user (e.g. for the host's address).
    virtual void InitialiseConnection(int index) = 0;
    // Collects the sessions reachable through the transport; an empty list is no error.
    virtual void ListSessions() = 0;
    virtual void JoinSession(int index) = 0;
    // Creates our player; only an id above 0 is a player.
    virtual void CreatePlayer(const std::string& nickname, const std::string& formalName) = 0;
    virtual void DestroyPlayer(int32_t playerId) = 0;
    // Calls off the step under way and leaves the session. What is left to send goes out in
    // the background: closing() holds until it is out, then `closed` is signalled.
    virtual void Close() = 0;
    virtual bool closing() const = 0;

    virtual SessionStep Step() const = 0;
    virtual std::vector<SessionInfo> ListedSessions() const = 0;
    virtual int32_t CreatedPlayer() const = 0;
    virtual std::string StepFailure() const = 0;
    // The link to the session broke (the host is gone, or it removed our machine).
    bool SessionLost() const { return Step() == SessionStep::kLost; }

    // ---- what a session played from a recording needs; a live session keeps these ----
    // The session's clock (the seconds the main window has run it) has moved on: a recording
    // is played up to the moment it stands for.
    virtual void ClockAt(double /*sessionSeconds*/) {}
    // False when what the program sends reaches nobody (a recording is played).
    virtual bool ReachesOthers() const { return true; }
    // The words to leave with once the session has ended by itself (a recording played to its
    // end); nothing while it goes on.
    virtual std::optional<std::string> EndOfSession() const { return std::nullopt; }
    // Whether StepFailure() is for the user to read as it stands (it names a file and where it
    // went wrong) instead of the connection dialog's own words. After a listing that succeeded
    // it may hold what the user should know of what was found (a recording read in part).
    virtual bool ExplainsFailures() const { return false; }

    virtual int32_t WaitingMessageCount(int32_t playerId) = 0;
    // Takes the oldest waiting message off the queue.
    virtual ReceivedMessage Receive() = 0;
    virtual std::string PlayerName(int32_t playerId) = 0;
    // Sends to every other player with guaranteed delivery.
    virtual void SendToAll(int32_t fromId, const SessionMessage& message) = 0;
    // Why the recording of the session stopped (the session goes on unrecorded), worded for the
    // user and handed out once; empty otherwise. A window shows it.
    virtual std::string TakeRecordingFailure() { return {}; }

  signals:
    void stepChanged(SessionStep step);
    void closed();
};

}  // namespace scopewatch
