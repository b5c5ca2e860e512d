#pragma once

#include <QTableWidget>
#include <QWidget>

namespace scopewatch {

struct ProgramState;

// "Scopewatch v1.0 - Traffic List": every aircraft whose position has arrived, also those off
// the scope, nearest first, with its distance and bearing from the airport. It stays open
// beside the scope and is brought up to date after every intake tick; a double-click on an
// aircraft asks for the scope to be centred on it.
class TrafficListWindow : public QWidget {
    Q_OBJECT
  public:
    explicit TrafficListWindow(const ProgramState& state, QWidget* parent = nullptr);

    // Fills the table from the traffic as it stands (empty once the session ended).
    void Refresh();
    QTableWidget& table() { return *table_; }

  signals:
    void aircraftChosen(double latitude, double longitude);

  private:
    const ProgramState& state_;
    QTableWidget* table_ = nullptr;
};

}  // namespace scopewatch
