#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QWidget>
#include <vector>

#include "mainwindow/MainWindowReturn.h"
#include "model/DisplayFlags.h"
#include "shared/Rounding.h"

namespace scopewatch {

struct ProgramState;
class WindowFlow;

// "Scopewatch v1.0 - Options": six check boxes, one per display flag. A click changes its
// flag at once; "OK" or closing the window gives the main window back. Shown without a
// modal loop.
class OptionsWindow : public QWidget {
    Q_OBJECT
  public:
    OptionsWindow(ProgramState& state, WindowFlow& flow, QWidget* parent = nullptr);

    QGroupBox& displayOptionsFrame() { return *Frame1; }
    QCheckBox& airportNameBox() { return *Check11; }
    QCheckBox& ilsBox() { return *Check2; }
    QCheckBox& taxiwaysBox() { return *Check8; }
    QCheckBox& taxiwayIdsBox() { return *Check9; }
    QCheckBox& parkingsBox() { return *Check10; }
    QCheckBox& airspacesBox() { return *Check1; }
    QPushButton& okButton() { return *Command1; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // A check box and the display flag it mirrors.
    struct FlagBox {
        QCheckBox* box;
        Flag16 DisplayFlags::*flag;
    };

    void BuildLayout();
    void ShowFlags();
    void OnBoxClicked(const FlagBox& pair);
    void OnOk();

    ProgramState& state_;
    MainWindowReturn mainWindowReturn_;
    std::vector<FlagBox> flagBoxes_;

    QGroupBox* Frame1 = nullptr;
    QCheckBox* Check11 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check8 = nullptr;
    QCheckBox* Check9 = nullptr;
    QCheckBox* Check10 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* Command1 = nullptr;
};

}  // namespace scopewatch
