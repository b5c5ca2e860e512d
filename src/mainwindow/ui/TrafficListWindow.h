#pragma once

#include <QTableWidget>
#include <QWidget>
#include <string>

namespace scopewatch {

struct ProgramState;

// "Scopewatch v1.0 - Traffic List": every aircraft whose position has arrived, also those off
// the scope, nearest first, with its distance and bearing from the airport, the conflict it is
// in (red) or whether the altitude filter hides it (grey), and the controller's note, which is
// edited in its cell. It stays open beside the scope and is brought up to date after every
// intake tick (not while a note is being edited); a click on an aircraft selects it, a
// double-click asks for the scope to be centred on it.
class TrafficListWindow : public QWidget {
    Q_OBJECT
  public:
    explicit TrafficListWindow(ProgramState& state, QWidget* parent = nullptr);

    // Fills the table from the traffic as it stands (empty once the session ended).
    void Refresh();
    // Shows the aircraft of that name as the selected row ("" for none), without a signal.
    void ShowSelection(const std::string& name);
    QTableWidget& table() { return *table_; }

  signals:
    void aircraftChosen(double latitude, double longitude);
    // The user selected an aircraft's row.
    void aircraftSelected(const std::string& name);

  private:
    class NoteDelegate;

    std::string NameAt(int row) const;
    void FillRow(int row, const std::vector<std::string>& cells);
    void OnItemChanged(QTableWidgetItem* item);
    void OnSelectionChanged();

    ProgramState& state_;
    QTableWidget* table_ = nullptr;
    NoteDelegate* notes_ = nullptr;  // owned by the table
    std::string selected_;
    bool filling_ = false;  // the table is being filled: its signals are not the user's
};

}  // namespace scopewatch
