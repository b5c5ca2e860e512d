#include <gtest/gtest.h>

#include <QSignalSpy>

#include "mainwindow/TrafficList.h"
#include "mainwindow/ui/TrafficListWindow.h"
#include "state/ProgramState.h"

namespace scopewatch {
namespace {

// Three aircraft around a field, one far off the scope and one seen only once: all are
// listed, nearest first, with distance and bearing from the field and the speed where it is
// known; a double-click asks for the scope to be centred on that aircraft, and the list
// empties with the history.
TEST(TrafficListTest, ListsEveryPositionedAircraftNearestFirstAndCentresOnADoubleClick) {
    ProgramState state;
    state.airport.currentAirport.latitude = 36.0;
    state.airport.currentAirport.longitude = -97.0;
    const auto report = [&](double second, double east) {
        state.traffic.trafficCount = 3;
        state.traffic.trafficTable[1] = {"FAR", 35000, 90, -97.0 + east, 37.0, "Jet Plane", ""};
        state.traffic.trafficTable[2] = {"NEAR", 1500, 270, -97.0 - east, 36.1, "Piston Plane", ""};
        state.traffic.trafficTable[3] = {"NEW", 900, 0, 0.0, 0.0, "", ""};  // not positioned
        state.tracks.Record(state.traffic, second);
    };
    for (int second = 0; second <= 5; ++second) {
        report(second, 0.001 * second);
    }
    state.traffic.trafficTable[3] = {"NEW", 900, 180, -97.0, 35.5, "Helicopter", ""};
    state.tracks.Record(state.traffic, 5);

    const std::vector<TrafficListRow> rows =
        TrafficListRows(state.tracks, state.airport.currentAirport, state.airport.magVarGrid);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(TrafficListCells(rows[0]),
              (std::vector<std::string>{"NEAR", "Piston Plane", "1500", "175", "270", "6.0", "358",
                                        "", ""}));
    EXPECT_EQ(rows[1].name, "NEW");
    EXPECT_EQ(TrafficListCells(rows[1])[3], "");  // seen once: no speed yet
    EXPECT_EQ(rows[2].name, "FAR");

    TrafficListWindow window(state);
    window.show();
    window.Refresh();
    EXPECT_EQ(window.table().accessibleName(), "Traffic List");
    ASSERT_EQ(window.table().rowCount(), 3);
    EXPECT_EQ(window.table().item(2, 0)->text(), "FAR");
    QSignalSpy chosen(&window, &TrafficListWindow::aircraftChosen);
    emit window.table().cellDoubleClicked(2, 0);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_DOUBLE_EQ(chosen[0][0].toDouble(), 37.0);
    state.tracks.Clear();
    window.Refresh();
    EXPECT_EQ(window.table().rowCount(), 0);
}

// With the aids: a row in conflict is red with the time to the closest point when the conflict
// is still to come, "now" when present; one the altitude filter hides is greyed; the note
// column shows the pilot's note, and a note typed into it is kept for the name; a click on a
// row selects that aircraft.
TEST(TrafficListTest, ConflictsAreRedFilteredRowsGreyAndNotesAreKeptByName) {
    ProgramState state;
    state.airport.currentAirport.latitude = 36.0;
    state.airport.currentAirport.longitude = -97.0;
    state.traffic.trafficCount = 3;
    state.traffic.trafficTable[1] = {"A", 3000, 0, -97.0, 36.0, "", ""};
    state.traffic.trafficTable[2] = {"B", 3500, 0, -97.0, 36.01, "", ""};
    state.traffic.trafficTable[3] = {"LOW", 600, 0, -97.0, 36.5, "", ""};
    state.tracks.Record(state.traffic, 0);
    state.notes.Set("B", "descend 3000");
    const std::vector<Conflict> conflicts{{"A", "B", {}, {}, 0.6, false, 42.4}};
    state.aids.altitudeFilter = true;
    state.aids.altitudeBand = {1000, 5000};
    const TrafficListAids aids{state.aids, conflicts, state.notes};
    const std::vector<TrafficListRow> rows = TrafficListRows(
        state.tracks, state.airport.currentAirport, state.airport.magVarGrid, &aids);
    ASSERT_EQ(rows.size(), 3u);
    const std::vector<std::string> cells = TrafficListCells(rows[1]);
    EXPECT_EQ(std::vector(cells.begin() + 7, cells.end()),
              (std::vector<std::string>{"closest in 42 s", "descend 3000"}));
    EXPECT_EQ(std::tuple(rows[0].mark, rows[1].mark, rows[2].mark),
              std::tuple(RowMark::Conflict, RowMark::Conflict, RowMark::Filtered));

    state.aids.conflictAlert = true;
    TrafficListWindow window(state);
    window.show();
    window.Refresh();
    EXPECT_EQ(window.table().item(0, 7)->text(), "now");  // 0.6 nm and 500 ft apart
    EXPECT_EQ(window.table().item(0, 0)->foreground().color(),
              window.table().item(1, 3)->foreground().color());
    EXPECT_NE(window.table().item(2, 0)->foreground().color(),
              window.table().item(0, 0)->foreground().color());
    window.table().item(0, kNoteColumn)->setText("  traffic B  ");
    EXPECT_EQ(state.notes.Of("A"), "traffic B");
    QSignalSpy selected(&window, &TrafficListWindow::aircraftSelected);
    window.table().selectRow(2);
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0][0].value<std::string>(), "LOW");
    window.ShowSelection("B");
    EXPECT_EQ(selected.size(), 1);
    EXPECT_EQ(window.table().selectedItems().front()->text(), "B");
}

}  // namespace
}  // namespace scopewatch
