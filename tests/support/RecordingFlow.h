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
    void AirportTaken() override { shown.push_back("airport taken"); }
    void ShowConnectionDialog() override { shown.push_back("connection"); }
    void ShowMainWindow() override { shown.push_back("main"); }
    void ShowOptionsWindow() override { shown.push_back("options"); }
    void ShowAboutWindow() override { shown.push_back("about"); }
    void ShowControllerAidsWindow() override { shown.push_back("aids"); }
    void ShowTrafficList() override { shown.push_back("traffic list"); }
    void ReturnToMainWindow() override { shown.push_back("back to main"); }
    void EndProgram() override { shown.push_back("end"); }

    std::vector<std::string> shown;
};

}  // namespace scopewatch::testing
