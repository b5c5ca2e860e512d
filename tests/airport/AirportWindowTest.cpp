// The airport window against a working directory of its own. Searching and taking the demo
// airports over a real database: tests/app/LiveSessionEndToEndTest.cpp.

#include <gtest/gtest.h>

#include "airport/ui/AirportWindow.h"
#include "builder/AirportDatabaseFile.h"
#include "platform/FileSystem.h"
#include "scenerywriter/AirspaceWriter.h"
#include "scenerywriter/MagdecWriter.h"
#include "state/ProgramState.h"
#include "support/RecordingFlow.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"

namespace scopewatch {
namespace {

using Texts = std::vector<std::string>;

// A working directory with a database of four airports (one with every list) and a simulator
// folder beside it.
class AirportWindowTest : public ::testing::Test {
  protected:
    AirportWindowTest() {
        state.workDir = dir.path();
        state.settings.simFolder = (dir / "sim").string();
        state.settings.airportCount = 4;
        for (const char* name : {"Camden Intl", "Eldorado Intl", "South Field", "Strip"}) {
            airports.emplace_back().name = name;
        }
        airports[1].runways.push_back({"04", "22", 1, 2, 3, 4, 5, 6, 7, 8, 9});
        airports[1].ilsList.push_back({"IELD", 1, 2, 40, "110.3"});
        airports[1].parkings.push_back({"GATE A 1", 1, 2, 3});
        airports[1].taxiPoints.push_back({1, 2, 3});
        airports[1].taxiSegments.push_back({kTaxiToParking, 0, 0, "A"});
        WriteAirportDatabase(state.DatabaseFile(), airports);
    }

    std::unique_ptr<AirportWindow> OpenAndLoad() {
        auto window = std::make_unique<AirportWindow>(state, files, messages, flow);
        window->show();
        EXPECT_EQ(window->loadingTimer().interval(), 1000);
        window->RunLoadingTick();
        return window;
    }
    Texts Search(AirportWindow& window, const QString& text) {
        window.searchText().setText(text);
        window.searchButton().click();
        Texts lines;
        for (int i = 0; i < window.resultList().count(); ++i) {
            lines.push_back(window.resultList().item(i)->text().toStdString());
        }
        return lines;
    }

    testing::TempDir dir;
    FileSystem files{dir.path(), {{"C:\\", DriveType::Fixed, std::string("C"), "/"}}};
    ProgramState state;
    testing::ScriptedMessageBoxes messages;
    testing::RecordingFlow flow;
    std::vector<AirportRecord> airports;
};

// The grid and the database (its name in any letter case) load a second after opening. A
// search lists the matches; an empty text or an empty database does nothing, and the button
// does nothing without a selected line (a current line is not enough). Taking an airport over
// collects the airspaces around it, replacing those of an earlier airport, and hands over.
TEST_F(AirportWindowTest, LoadsSearchesAndTakesTheSelectedAirportOverWithItsAirspaces) {
    dir.Write("sim/Scenery/Magdec.bgl",
              scenery::BuildMagdecBgl([](int, int) { return int16_t{-1820}; }));
    std::filesystem::rename(state.DatabaseFile(), dir / "World_Airports.DAT");
    dir.Write("sim/Scenery/AFD/Here.bgl",
              scenery::BuildAirspaceBgl({scenery::CircleAirspace({0.0, 0.0}, 5, 0, 2500)}));
    dir.Write("sim/Scenery/AFD/Elsewhere.BGL",
              scenery::BuildAirspaceBgl({scenery::CircleAirspace({45.0, 7.0}, 5, 0, 2500)}));
    state.settings.facilityDataFolder = (dir / "sim" / "Scenery" / "Afd").string();
    state.airport.airspaces.resize(3);
    auto window = OpenAndLoad();
    EXPECT_FALSE(window->loadingTimer().isActive());
    EXPECT_EQ(window->statusText().text(), "Done");
    EXPECT_EQ(state.airport.magVarGrid.values[500], -1820);
    ASSERT_EQ(state.airport.airportList.size(), 5u);
    EXPECT_TRUE(messages.shown.empty());

    window->getAirportButton().click();
    EXPECT_EQ(Search(*window, "  INTL "),
              (Texts{"Camden Intl   Index: 0", "Eldorado Intl   Index: 1"}));
    EXPECT_EQ(Search(*window, "").size(), 2u);
    state.settings.airportCount = 0;
    EXPECT_EQ(Search(*window, "field").size(), 2u);
    window->getAirportButton().click();
    window->resultList().setCurrentRow(0, QItemSelectionModel::NoUpdate);
    window->getAirportButton().click();
    EXPECT_TRUE(flow.shown.empty());

    window->resultList().item(1)->setSelected(true);
    window->getAirportButton().click();
    EXPECT_EQ(state.airport.currentAirport, airports[1]);
    EXPECT_TRUE(state.airport.airportList.empty());
    EXPECT_EQ(flow.shown, Texts{"airport taken"});
    EXPECT_TRUE(window->isHidden());
    ASSERT_EQ(state.airport.airspaces.size(), 1U);
    EXPECT_EQ(state.airport.airspaces[0].typeName, "Airspace Class D");
    EXPECT_EQ(window->progressBar().value(), window->progressBar().maximum());
}

// Missing files are reported in a message and the status line, and a search finds nothing.
// EXIT (or closing) empties the list and ends the program, unless the main window runs: then
// closing returns to it.
TEST_F(AirportWindowTest, MissingFilesAreReportedAndExitEndsUnlessTheMainWindowRuns) {
    std::filesystem::remove(state.DatabaseFile());
    auto window = OpenAndLoad();
    EXPECT_EQ(messages.Texts(), Texts{"The airport database world_airports.dat could not be read, "
                                      "so there are no airports to choose from."});
    EXPECT_EQ(window->statusText().text(),
              "Done - magdec.bgl not found, magnetic variation not loaded - no airport database");
    EXPECT_TRUE(Search(*window, "intl").empty());
    state.airport.airportList.resize(3);
    window->exitButton().click();
    EXPECT_TRUE(state.airport.airportList.empty());
    EXPECT_EQ(flow.shown, Texts{"end"});
    EXPECT_EQ(window->statusText().text(), "Please wait...");

    flow.shown.clear();
    state.mainWindowOpen = kTrue16;
    OpenAndLoad()->close();
    EXPECT_EQ(flow.shown, Texts{"back to main"});
}

}  // namespace
}  // namespace scopewatch
