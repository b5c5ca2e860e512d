#include "mainwindow/ui/ControllerAidsWindow.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSettings>
#include <QShowEvent>
#include <QVBoxLayout>

#include "mainwindow/ControllerAidsStore.h"
#include "mainwindow/ui/OkButtonRow.h"
#include "platform/ui/Captions.h"
#include "state/ProgramState.h"

namespace scopewatch {

ControllerAidsWindow::ControllerAidsWindow(ProgramState& state, WindowFlow& flow, QWidget* parent)
    : QWidget(parent), state_(state), mainWindowReturn_(state, flow) {
    setWindowTitle("Scopewatch v1.0 - Controller Aids");
    BuildLayout();
    for (QAbstractButton* control : std::initializer_list<QAbstractButton*>{
             trails_, vectors_, rings_, labels_, minutes_[0], minutes_[1], minutes_[2], record_}) {
        connect(control, &QAbstractButton::clicked, this, &ControllerAidsWindow::TakeChoices);
    }
    connect(ok_, &QPushButton::clicked, this, [this] {
        mainWindowReturn_.GiveBack();
        close();
    });
    ShowChoices();
}

void ControllerAidsWindow::BuildLayout() {
    const auto checkBox = [](const char* caption) {
        auto* box = new QCheckBox(caption);
        NameAfterCaption(*box, caption);
        return box;
    };
    trails_ = checkBox("History Trails");
    vectors_ = checkBox("Track Vectors");
    rings_ = checkBox("Range Rings");
    labels_ = checkBox("Readable Labels");
    auto* lengthFrame = new QGroupBox("Vector Length");
    lengthFrame->setAccessibleName("Vector Length");
    auto* lengthRow = new QHBoxLayout(lengthFrame);
    for (int minutes = 1; minutes <= 3; ++minutes) {
        const QString caption = QString("%1 min").arg(minutes);
        auto* button = new QRadioButton(caption);
        NameAfterCaption(*button, caption);
        minutes_.at(static_cast<size_t>(minutes - 1)) = button;
        lengthRow->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    for (QWidget* box : std::initializer_list<QWidget*>{trails_, vectors_, rings_, labels_}) {
        layout->addWidget(box);
    }
    layout->addWidget(lengthFrame);
    record_ = checkBox("Record Sessions");
    layout->addWidget(record_);
    ok_ = AddOkButtonRow(*layout);
    setFixedSize(sizeHint());
}

void ControllerAidsWindow::ShowChoices() {
    const ControllerAids& aids = state_.aids;
    trails_->setChecked(aids.historyTrails);
    vectors_->setChecked(aids.trackVectors);
    rings_->setChecked(aids.rangeRings);
    labels_->setChecked(aids.readableLabels);
    vectorLengthButton(aids.vectorMinutes).setChecked(true);
    record_->setChecked(aids.recordSessions);
}

void ControllerAidsWindow::TakeChoices() {
    ControllerAids& aids = state_.aids;
    aids.historyTrails = trails_->isChecked();
    aids.trackVectors = vectors_->isChecked();
    aids.rangeRings = rings_->isChecked();
    aids.readableLabels = labels_->isChecked();
    aids.recordSessions = record_->isChecked();
    for (int minutes = 1; minutes <= 3; ++minutes) {
        if (vectorLengthButton(minutes).isChecked()) {
            aids.vectorMinutes = minutes;
        }
    }
}

void ControllerAidsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        ShowChoices();
        mainWindowReturn_.Opened();
    }
}

void ControllerAidsWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    QSettings preferences;
    SaveControllerAids(preferences, state_.aids);
    mainWindowReturn_.WindowClosed();
}

}  // namespace scopewatch
