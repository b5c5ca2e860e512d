#pragma once

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>

#include "mainwindow/MainWindowReturn.h"

namespace scopewatch {

struct ProgramState;
class WindowFlow;

// "Scopewatch v1.0 - Controller Aids": a check box per aid and the length of the track vectors,
// and whether sessions are recorded.
// A change shows at the next repaint; "OK" or closing the window keeps the choice in the user's
// configuration and gives the main window back, as the options window does.
class ControllerAidsWindow : public QWidget {
    Q_OBJECT
  public:
    ControllerAidsWindow(ProgramState& state, WindowFlow& flow, QWidget* parent = nullptr);

    QCheckBox& trailsBox() { return *trails_; }
    QCheckBox& vectorsBox() { return *vectors_; }
    QCheckBox& ringsBox() { return *rings_; }
    QCheckBox& labelsBox() { return *labels_; }
    QCheckBox& recordBox() { return *record_; }
    // "1 min", "2 min", "3 min".
    QRadioButton& vectorLengthButton(int minutes) {
        return *minutes_.at(static_cast<size_t>(minutes - 1));
    }
    QPushButton& okButton() { return *ok_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildLayout();
    void ShowChoices();
    void TakeChoices();

    ProgramState& state_;
    MainWindowReturn mainWindowReturn_;
    QCheckBox* trails_ = nullptr;
    QCheckBox* vectors_ = nullptr;
    QCheckBox* rings_ = nullptr;
    QCheckBox* labels_ = nullptr;
    QCheckBox* record_ = nullptr;
    std::array<QRadioButton*, 3> minutes_{};
    QPushButton* ok_ = nullptr;
};

}  // namespace scopewatch
