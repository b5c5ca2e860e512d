#include "mainwindow/ui/OptionsWindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include "mainwindow/ui/OkButtonRow.h"
#include "platform/ui/Captions.h"
#include "state/ProgramState.h"

namespace scopewatch {

OptionsWindow::OptionsWindow(ProgramState& state, WindowFlow& flow, QWidget* parent)
    : QWidget(parent), state_(state), mainWindowReturn_(state, flow) {
    setWindowTitle("Scopewatch v1.0 - Options");
    BuildLayout();
    flagBoxes_ = {
        {Check11, &DisplayFlags::showAirportName}, {Check2, &DisplayFlags::showIls},
        {Check8, &DisplayFlags::showTaxiways},     {Check9, &DisplayFlags::showTaxiwayIds},
        {Check10, &DisplayFlags::showParkings},    {Check1, &DisplayFlags::showAirspaces}};
    for (const FlagBox& pair : flagBoxes_) {
        connect(pair.box, &QCheckBox::clicked, this, [this, pair] { OnBoxClicked(pair); });
    }
    connect(Command1, &QPushButton::clicked, this, &OptionsWindow::OnOk);
    ShowFlags();
}

// Two columns in the frame; the tab order runs down the left column, then the right one,
// then to "OK", as the boxes are created.
void OptionsWindow::BuildLayout() {
    Frame1 = new QGroupBox("Display Options");
    Frame1->setAccessibleName("Display Options");
    Check11 = NamedCheckBox("Display Airport Name");
    Check2 = NamedCheckBox("Display ILS");
    Check8 = NamedCheckBox("Display Taxiways");
    Check9 = NamedCheckBox("Display Taxiways IDs");
    Check10 = NamedCheckBox("Display Gates/Parkings");
    Check1 = NamedCheckBox("Display Airspaces");
    auto* columns = new QGridLayout(Frame1);
    columns->setHorizontalSpacing(24);
    columns->addWidget(Check11, 0, 0);
    columns->addWidget(Check2, 1, 0);
    columns->addWidget(Check8, 2, 0);
    columns->addWidget(Check9, 0, 1);
    columns->addWidget(Check10, 1, 1);
    columns->addWidget(Check1, 2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    Command1 = AddOkButtonRow(*layout);
    setFixedSize(sizeHint());

    QWidget::setTabOrder(Check11, Check2);
    QWidget::setTabOrder(Check2, Check8);
    QWidget::setTabOrder(Check8, Check9);
    QWidget::setTabOrder(Check9, Check10);
    QWidget::setTabOrder(Check10, Check1);
    QWidget::setTabOrder(Check1, Command1);
}

void OptionsWindow::ShowFlags() {
    for (const FlagBox& pair : flagBoxes_) {
        pair.box->setChecked(state_.displayFlags.*pair.flag == kTrue16);
    }
}

// Checked sets the flag, unchecked clears it; a greyed (partial) state leaves it.
void OptionsWindow::OnBoxClicked(const FlagBox& pair) {
    switch (pair.box->checkState()) {
        case Qt::Checked:
            state_.displayFlags.*pair.flag = kTrue16;
            break;
        case Qt::Unchecked:
            state_.displayFlags.*pair.flag = kFalse16;
            break;
        case Qt::PartiallyChecked:
            break;
    }
}

void OptionsWindow::OnOk() {
    mainWindowReturn_.GiveBack();
    close();
}

void OptionsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window restored from the task bar is not a new opening.
    if (!event->spontaneous()) {
        ShowFlags();
        mainWindowReturn_.Opened();
    }
}

void OptionsWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    mainWindowReturn_.WindowClosed();
}

}  // namespace scopewatch
