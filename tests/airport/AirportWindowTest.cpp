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

struct TakeOverFlow : testing::RecordingFlow {
    void AirportTaken() override { shown.push_back("taken"); }
    void ReturnToMainWindow() override { shown.push_back("main"); }
};

AirportRecord Named(const std::string& name) {
    AirportRecord airport;
    airport.name = name;
    airport.icaoId = "K" + name.substr(0, 3);
    return airport;
}

// A working directory with a database of four airports and a simulator folder beside it.
class AirportWindowTest : public ::testing::Test {
  protected:
    AirportWindowTest() : files(dir.path(), {{"C:\\", DriveType::Fixed, std::string("C"), "/"}}) {
        state.workDir = dir.path();
        state.settings.simFolder = (dir / "sim").string();
        state.settings.airportCount = 4;
        airports = {Named("Camden Intl"), Named("Eldorado Intl"), Named("South Field"),
                    Named("Strip")};
        airports[1].runways.push_back({"04", "22", 1, 2, 3, 4, 5, 6, 7, 8, 9});
        WriteAirportDatabase(state.DatabaseFile(), airports);
    }

    std::unique_ptr<AirportWindow> OpenAndLoad() {
        auto window = std::make_unique<AirportWindow>(state, files, messages, flow);
        window->show();
        window->RunLoadingTick();
        return window;
    }

    std::vector<std::string> Lines(AirportWindow& window) const {
        std::vector<std::string> lines;
        for (int i = 0; i < window.resultList().count(); ++i) {
            lines.push_back(window.resultList().item(i)->text().toStdString());
        }
        return lines;
    }

    void Search(AirportWindow& window, const QString& text) {
        window.searchText().setText(text);
        window.searchButton().click();
    }

    testing::TempDir dir;
    FileSystem files;
    ProgramState state;
    testing::ScriptedMessageBoxes messages;
    TakeOverFlow flow;
    std::vector<AirportRecord> airports;
};

// The grid and the database load a second after opening; start-up accepts the database's
// name in any letter case, and so does the loading.
TEST_F(AirportWindowTest, LoadsTheGridAndTheDatabaseOneSecondAfterOpening) {
    dir.Write("sim/SCENERY/Magdec.bgl",
              scenery::BuildMagdecBgl([](int, int) { return int16_t{-1820}; }));
    std::filesystem::rename(state.DatabaseFile(), dir / "World_Airports.DAT");
    AirportWindow window(state, files, messages, flow);
    EXPECT_EQ(window.windowTitle(), "Scopewatch v1.0 - Airport Area");
    EXPECT_TRUE(window.loadingTimer().isActive());
    EXPECT_EQ(window.loadingTimer().interval(), 1000);

    window.RunLoadingTick();
    EXPECT_FALSE(window.loadingTimer().isActive());
    EXPECT_EQ(window.statusText().text(), "Done");
    EXPECT_EQ(state.airport.magVarGrid.values[500], -1820);
    ASSERT_EQ(state.airport.airportList.size(), 5u);
    EXPECT_EQ(state.airport.airportList[1], airports[1]);
    EXPECT_TRUE(messages.shown.empty());
}

// Missing files are reported in a message and the status line; the list stays empty and a
// search finds nothing.
TEST_F(AirportWindowTest, MissingFilesAreReportedAndTheListStaysEmpty) {
    std::filesystem::remove(state.DatabaseFile());
    auto window = OpenAndLoad();
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"The airport database world_airports.dat could not be read, "
                                       "so there are no airports to choose from."});
    EXPECT_EQ(window->statusText().text(),
              "Done - magdec.bgl not found, magnetic variation not loaded - no airport database");
    EXPECT_TRUE(state.airport.airportList.empty());
    Search(*window, "intl");
    EXPECT_TRUE(Lines(*window).empty());
}

// A search lists the matches; an empty text or an empty database does nothing, and the button
// does nothing without a selected line. Taking an airport over collects the airspaces around
// it, replacing those of an earlier airport, and hands over.
TEST_F(AirportWindowTest, SearchesAndTakesTheSelectedAirportOverWithItsAirspaces) {
    dir.Write("sim/Scenery/AFD/Here.bgl",
              scenery::BuildAirspaceBgl({scenery::CircleAirspace(0.0, 0.0, 5, 0, 2500)}));
    dir.Write("sim/Scenery/AFD/Elsewhere.BGL",
              scenery::BuildAirspaceBgl({scenery::CircleAirspace(45.0, 7.0, 5, 0, 2500)}));
    state.settings.facilityDataFolder = (dir / "sim" / "Scenery" / "Afd").string();
    state.airport.airspaces.resize(3);
    auto window = OpenAndLoad();
    window->getAirportButton().click();
    Search(*window, "  INTL ");
    EXPECT_EQ(Lines(*window),
              (std::vector<std::string>{"Camden Intl   Index: 0", "Eldorado Intl   Index: 1"}));
    Search(*window, "");
    state.settings.airportCount = 0;
    Search(*window, "field");
    EXPECT_EQ(Lines(*window).size(), 2u);
    window->getAirportButton().click();
    EXPECT_TRUE(flow.shown.empty());
    // Tabbing into the list makes a line current without selecting it.
    window->resultList().setCurrentRow(0, QItemSelectionModel::NoUpdate);
    window->getAirportButton().click();
    EXPECT_TRUE(flow.shown.empty());

    window->resultList().item(1)->setSelected(true);
    window->getAirportButton().click();
    EXPECT_EQ(state.airport.currentAirport, airports[1]);
    EXPECT_TRUE(state.airport.airportList.empty());
    EXPECT_EQ(flow.shown, std::vector<std::string>{"taken"});
    EXPECT_TRUE(window->isHidden());
    ASSERT_EQ(state.airport.airspaces.size(), 1U);
    EXPECT_EQ(state.airport.airspaces[0].typeName, "Airspace Class D");
    EXPECT_EQ(std::pair(window->progressBar().maximum(), window->progressBar().value()),
              std::pair(2, 2));
}

// EXIT (or closing) empties the list and ends the program, unless the main window runs: then
// closing returns to it.
TEST_F(AirportWindowTest, ExitOrClosingEndsTheProgramUnlessTheMainWindowRuns) {
    auto window = OpenAndLoad();
    window->exitButton().click();
    EXPECT_EQ(flow.shown, std::vector<std::string>{"end"});
    EXPECT_TRUE(state.airport.airportList.empty());
    EXPECT_EQ(window->statusText().text(), "Please wait...");

    flow.shown.clear();
    state.mainWindowOpen = kTrue16;
    auto again = OpenAndLoad();
    again->close();
    EXPECT_EQ(flow.shown, std::vector<std::string>{"main"});
}

}  // namespace
}  // namespace scopewatch
