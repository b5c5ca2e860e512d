#pragma once

#include <array>

namespace scopewatch {

// What the main window's toolbar buttons do, in the toolbar's order.
enum class ToolbarCommand {
    GotoAirport,
    Options,
    CreateNewDatabase,
    AirportGeneralInfo,
    About,
    ControllerAids,
    TrafficList,
};

struct ToolbarButton {
    ToolbarCommand command;
    const char* caption;  // also the name a screen reader reads
};

inline constexpr std::array<ToolbarButton, 7> kToolbarButtons = {{
    {ToolbarCommand::GotoAirport, "Goto Airport"},
    {ToolbarCommand::Options, "Options"},
    {ToolbarCommand::CreateNewDatabase, "Create New Database"},
    {ToolbarCommand::AirportGeneralInfo, "Airport General Info"},
    {ToolbarCommand::About, "About"},
    {ToolbarCommand::ControllerAids, "Controller Aids"},
    {ToolbarCommand::TrafficList, "Traffic List"},
}};

}  // namespace scopewatch
