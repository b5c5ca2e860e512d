// The settings file: decoded, written back and decoded again; and start-up finding it
// beside a database, which must either open the airport window or say that the file is
// damaged and run setup. The input is the file.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "FuzzSupport.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "shared/WindowFlow.h"
#include "startup/Settings.h"
#include "startup/StartupCheck.h"
#include "state/ProgramState.h"

namespace scopewatch::fuzzing {
namespace {

struct CountingBoxes : MessageBoxes {
    MessageAnswer Ask(const std::string&, const std::string& text, MessageIcon,
                      MessageButtons) override {
        lastText = text;
        ++shown;
        return MessageAnswer::Ok;
    }
    std::string lastText;
    int shown = 0;
};

struct NoteFlow : WindowFlow {
    void ShowSetupDialog() override { next = "setup"; }
    void ShowBuilderWindow() override { next = "builder"; }
    void ShowAirportWindow() override { next = "airport"; }
    void EndProgram() override { next = "end"; }
    std::string next;
};

void WriteBytes(const std::filesystem::path& file, const uint8_t* data, size_t size) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void CheckStartup(const uint8_t* data, size_t size, bool decodes) {
    static const ScratchFolder scratch("settings");
    const std::filesystem::path& dir = scratch.path();
    WriteBytes(dir / kSettingsFileName, data, size);
    WriteBytes(dir / kDatabaseFileName, nullptr, 0);
    ProgramState state;
    state.workDir = dir;
    CountingBoxes boxes;
    NoteFlow flow;
    RunStartupCheck(state, state, boxes, FileSystem(dir), flow);
    if (decodes) {
        Require(flow.next == "airport" && boxes.shown == 0, "a sound file opens the airports");
    } else {
        Require(flow.next == "setup" && boxes.shown == 1 &&
                    boxes.lastText.find("damaged") != std::string::npos,
                "a damaged file is reported and setup runs");
    }
}

}  // namespace
}  // namespace scopewatch::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace scopewatch;
    using namespace scopewatch::fuzzing;
    const Outcome<SettingsRecord> decoded = DecodeSettings(std::vector<uint8_t>(data, data + size));
    Require(decoded.ok() || !decoded.failure.empty(), "a refusal says why");
    if (decoded.ok()) {
        const Outcome<SettingsRecord> again = DecodeSettings(EncodeSettings(*decoded.value));
        Require(again.value == decoded.value, "a settings record is written as it was read");
    }
    CheckStartup(data, size, decoded.ok());
    return 0;
}
