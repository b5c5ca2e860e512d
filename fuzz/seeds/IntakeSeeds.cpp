#include "IntakeSeeds.h"

#include "SeedFolder.h"
#include "multiplayer/GameMessages.h"

namespace scopewatch::fuzzing {
namespace {

// The target's id for our own player: a peer may name it as a message's sender.
constexpr uint8_t kOwnPlayer = 101;

// Frames messages as the intake's target reads them: a sender byte, a 16-bit length, the
// bytes; a sender of 0xFF ends a tick.
class IntakeSession {
  public:
    IntakeSession& From(uint8_t sender, const SessionMessage& message) {
        const std::vector<uint8_t>& bytes = message.bytes();
        input_.push_back(sender);
        input_.push_back(static_cast<uint8_t>(bytes.size()));
        input_.push_back(static_cast<uint8_t>(bytes.size() >> 8));
        input_.insert(input_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    IntakeSession& Tick() {
        input_.push_back(0xFF);
        return *this;
    }
    const std::vector<uint8_t>& bytes() const { return input_; }

  private:
    std::vector<uint8_t> input_;
};

SessionMessage Position(double latitude, double longitude, int32_t metres, bool longForm) {
    return MakePosition(
        {HeadingWord(178.0), LatitudeRaw(latitude), LongitudeRaw(longitude), metres}, longForm);
}

}  // namespace

void WriteIntakeSeeds(const std::filesystem::path& out) {
    const SeedFolder seeds(out, "game-intake");
    IntakeSession pilots;
    for (uint8_t pilot = 1; pilot <= 5; ++pilot) {
        pilots.From(pilot, MakePlayerPresent(pilot));
    }
    pilots.Tick();
    for (uint8_t pilot = 1; pilot <= 5; ++pilot) {
        pilots.From(pilot, Position(36.42 + pilot * 0.01, -97.0, 300 * pilot, pilot % 2 == 0))
            .From(pilot, MakeAircraftInfo({static_cast<int16_t>(pilot % 4), "Cessna 172"}))
            .From(pilot, MakeSignal(kinds::kKeepAlive));
    }
    pilots.From(1, MakeSimulatorChat("ready to taxi")).Tick();
    seeds.Add("pilots", pilots.bytes());

    IntakeSession asked;
    asked.From(1, MakeSignal(kinds::kIdentifyRequest))
        .From(2, MakeChat("Hi"))
        .From(3, MakeSignal(kinds::kAircraftInfoRequest))
        .From(0, Position(0, 0, 0, false))
        .From(kOwnPlayer, MakeChat("Hi"))
        .Tick()
        .From(1, MakeSignal(kinds::kRemoved));
    seeds.Add("identify-and-remove", asked.bytes());

    IntakeSession crowd;
    for (uint8_t pilot = 1; pilot <= 24; ++pilot) {
        crowd.From(pilot, MakePlayerPresent(pilot)).From(pilot, Position(36.4, -97.1, 100, true));
    }
    crowd.Tick().Tick().Tick().Tick();
    seeds.Add("more-than-twenty", crowd.bytes());
}

}  // namespace scopewatch::fuzzing
