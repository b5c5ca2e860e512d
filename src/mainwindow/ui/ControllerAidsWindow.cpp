#include "mainwindow/ui/ControllerAidsWindow.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QShowEvent>
#include <QVBoxLayout>

#include "mainwindow/ControllerAidsStore.h"
#include "mainwindow/ui/OkButtonRow.h"
#include "platform/ui/Captions.h"
#include "state/ProgramState.h"

namespace scopewatch {
namespace {

QGroupBox* Frame(const char* caption) {
    auto* frame = new QGroupBox(caption);
    NameAfterCaption(*frame, caption);
    return frame;
}

// A number box on a row of the form, named after the label before it.
QSpinBox* NumberRow(QFormLayout& form, const char* caption, int lowest, int highest, int step) {
    auto* box = new QSpinBox;
    box->setRange(lowest, highest);
    box->setSingleStep(step);
    auto* label = new QLabel(caption);
    NameAfterLabel(*label, *box);
    form.addRow(label, box);
    return box;
}

}  // namespace

ControllerAidsWindow::ControllerAidsWindow(ProgramState& state, WindowFlow& flow, QWidget* parent)
    : QWidget(parent), state_(state), mainWindowReturn_(state, flow) {
    setWindowTitle("Scopewatch v1.0 - Controller Aids");
    BuildLayout();
    ConnectControls();
    ShowChoices();
}

void ControllerAidsWindow::BuildLayout() {
    trails_ = NamedCheckBox("History Trails");
    vectors_ = NamedCheckBox("Track Vectors");
    rings_ = NamedCheckBox("Range Rings");
    labels_ = NamedCheckBox("Readable Labels");
    conflict_ = NamedCheckBox("Conflict Alert");
    filter_ = NamedCheckBox("Altitude Filter");
    record_ = NamedCheckBox("Record Sessions");
    auto* layout = new QVBoxLayout(this);
    for (QWidget* box : std::initializer_list<QWidget*>{trails_, vectors_, rings_, labels_}) {
        layout->addWidget(box);
    }
    layout->addWidget(BuildVectorLength());
    layout->addWidget(conflict_);
    layout->addWidget(BuildConflictLimits());
    layout->addWidget(filter_);
    layout->addWidget(BuildAltitudeBand());
    layout->addWidget(BuildSounds());
    layout->addWidget(record_);
    ok_ = AddOkButtonRow(*layout);
    setFixedSize(sizeHint());
}

QGroupBox* ControllerAidsWindow::BuildVectorLength() {
    auto* frame = Frame("Vector Length");
    auto* row = new QHBoxLayout(frame);
    for (int minutes = 1; minutes <= 3; ++minutes) {
        const QString caption = QString("%1 min").arg(minutes);
        auto* button = new QRadioButton(caption);
        NameAfterCaption(*button, caption);
        minutes_.at(static_cast<size_t>(minutes - 1)) = button;
        row->addWidget(button);
    }
    return frame;
}

QGroupBox* ControllerAidsWindow::BuildConflictLimits() {
    auto* frame = Frame("Conflict Limits");
    auto* form = new QFormLayout(frame);
    using Limits = ConflictLimits;
    lateral_ = NumberRow(*form, "Lateral (nm)", Limits::kMinLateralNm, Limits::kMaxLateralNm, 1);
    vertical_ =
        NumberRow(*form, "Vertical (ft)", Limits::kMinVerticalFt, Limits::kMaxVerticalFt, 100);
    lookAhead_ = NumberRow(*form, "Look-ahead (s)", Limits::kMinLookAheadSeconds,
                           Limits::kMaxLookAheadSeconds, 10);
    return frame;
}

QGroupBox* ControllerAidsWindow::BuildAltitudeBand() {
    auto* frame = Frame("Altitude Band");
    auto* form = new QFormLayout(frame);
    floor_ = NumberRow(*form, "Floor (ft)", AltitudeBand::kLowestFt, AltitudeBand::kHighestFt, 500);
    ceiling_ =
        NumberRow(*form, "Ceiling (ft)", AltitudeBand::kLowestFt, AltitudeBand::kHighestFt, 500);
    return frame;
}

QGroupBox* ControllerAidsWindow::BuildSounds() {
    auto* frame = Frame("Sounds");
    auto* column = new QVBoxLayout(frame);
    conflictSound_ = NamedCheckBox("New Conflict");
    chatSound_ = NamedCheckBox("Chat Line Received");
    joinedSound_ = NamedCheckBox("Pilot Joined");
    for (QWidget* box : std::initializer_list<QWidget*>{conflictSound_, chatSound_, joinedSound_}) {
        column->addWidget(box);
    }
    return frame;
}

void ControllerAidsWindow::ConnectControls() {
    for (QAbstractButton* control : std::initializer_list<QAbstractButton*>{
             trails_, vectors_, rings_, labels_, minutes_[0], minutes_[1], minutes_[2], conflict_,
             filter_, conflictSound_, chatSound_, joinedSound_, record_}) {
        connect(control, &QAbstractButton::clicked, this, &ControllerAidsWindow::TakeChoices);
    }
    for (QSpinBox* box : {lateral_, vertical_, lookAhead_, floor_, ceiling_}) {
        connect(box, &QSpinBox::valueChanged, this, &ControllerAidsWindow::TakeChoices);
    }
    connect(ok_, &QPushButton::clicked, this, [this] {
        mainWindowReturn_.GiveBack();
        close();
    });
}

void ControllerAidsWindow::ShowChoices() {
    showing_ = true;
    const ControllerAids& aids = state_.aids;
    trails_->setChecked(aids.historyTrails);
    vectors_->setChecked(aids.trackVectors);
    rings_->setChecked(aids.rangeRings);
    labels_->setChecked(aids.readableLabels);
    vectorLengthButton(aids.vectorMinutes).setChecked(true);
    conflict_->setChecked(aids.conflictAlert);
    lateral_->setValue(aids.conflictLimits.lateralNm);
    vertical_->setValue(aids.conflictLimits.verticalFt);
    lookAhead_->setValue(aids.conflictLimits.lookAheadSeconds);
    filter_->setChecked(aids.altitudeFilter);
    floor_->setMaximum(AltitudeBand::kHighestFt);
    ceiling_->setMinimum(AltitudeBand::kLowestFt);
    floor_->setValue(aids.altitudeBand.floorFt);
    ceiling_->setValue(aids.altitudeBand.ceilingFt);
    conflictSound_->setChecked(aids.sounds.newConflict);
    chatSound_->setChecked(aids.sounds.chatLine);
    joinedSound_->setChecked(aids.sounds.pilotJoined);
    record_->setChecked(aids.recordSessions);
    showing_ = false;
    TakeChoices();
}

// The floor stays at or below the ceiling: each box's range ends at the other's value.
void ControllerAidsWindow::TakeChoices() {
    if (showing_) {
        return;
    }
    ControllerAids& aids = state_.aids;
    aids.historyTrails = trails_->isChecked();
    aids.trackVectors = vectors_->isChecked();
    aids.rangeRings = rings_->isChecked();
    aids.readableLabels = labels_->isChecked();
    for (int minutes = 1; minutes <= 3; ++minutes) {
        if (vectorLengthButton(minutes).isChecked()) {
            aids.vectorMinutes = minutes;
        }
    }
    aids.conflictAlert = conflict_->isChecked();
    aids.conflictLimits = {lateral_->value(), vertical_->value(), lookAhead_->value()};
    aids.altitudeFilter = filter_->isChecked();
    aids.altitudeBand = {floor_->value(), ceiling_->value()};
    aids.sounds = {conflictSound_->isChecked(), chatSound_->isChecked(), joinedSound_->isChecked()};
    aids.recordSessions = record_->isChecked();
    floor_->setMaximum(ceiling_->value());
    ceiling_->setMinimum(floor_->value());
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
