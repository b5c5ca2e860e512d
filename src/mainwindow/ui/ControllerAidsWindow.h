#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QWidget>
#include <array>

#include "mainwindow/MainWindowReturn.h"

namespace scopewatch {

struct ProgramState;
class WindowFlow;

// "Scopewatch v1.0 - Controller Aids": a check box per aid, the length of the track vectors,
// the conflict alert's limits, the altitude filter's floor and ceiling, a box per sound, and
// whether sessions are recorded.
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
    QCheckBox& conflictBox() { return *conflict_; }
    QSpinBox& lateralBox() { return *lateral_; }
    QSpinBox& verticalBox() { return *vertical_; }
    QSpinBox& lookAheadBox() { return *lookAhead_; }
    QCheckBox& filterBox() { return *filter_; }
    QSpinBox& floorBox() { return *floor_; }
    QSpinBox& ceilingBox() { return *ceiling_; }
    QCheckBox& conflictSoundBox() { return *conflictSound_; }
    QCheckBox& chatSoundBox() { return *chatSound_; }
    QCheckBox& joinedSoundBox() { return *joinedSound_; }
    QPushButton& okButton() { return *ok_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildLayout();
    QGroupBox* BuildVectorLength();
    QGroupBox* BuildConflictLimits();
    QGroupBox* BuildAltitudeBand();
    QGroupBox* BuildSounds();
    void ConnectControls();
    void ShowChoices();
    void TakeChoices();

    ProgramState& state_;
    MainWindowReturn mainWindowReturn_;
    bool showing_ = false;  // the controls are being set from the choices
    QCheckBox* trails_ = nullptr;
    QCheckBox* vectors_ = nullptr;
    QCheckBox* rings_ = nullptr;
    QCheckBox* labels_ = nullptr;
    QCheckBox* record_ = nullptr;
    std::array<QRadioButton*, 3> minutes_{};
    QCheckBox* conflict_ = nullptr;
    QSpinBox* lateral_ = nullptr;
    QSpinBox* vertical_ = nullptr;
    QSpinBox* lookAhead_ = nullptr;
    QCheckBox* filter_ = nullptr;
    QSpinBox* floor_ = nullptr;
    QSpinBox* ceiling_ = nullptr;
    QCheckBox* conflictSound_ = nullptr;
    QCheckBox* chatSound_ = nullptr;
    QCheckBox* joinedSound_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace scopewatch
