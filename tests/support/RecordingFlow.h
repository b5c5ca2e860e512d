#pragma once

#include <string>
#include <vector>

#include "shared/WindowFlow.h"

namespace scopewatch::testing {

// A window flow that only records which hand-offs were asked for, in order.
struct RecordingFlow : WindowFlow {
    void ShowSetupDialog() override { shown.push_back("setup"); }
    void ShowBuilderWindow() override { shown.push_back("builder"); }
    void ShowAirportWindow() override { shown.push_back("airport"); }
    void ReturnToMainWindow() override { shown.push_back("main"); }
    void EndProgram() override { shown.push_back("end"); }

    std::vector<std::string> shown;
};

}  // namespace scopewatch::testing
