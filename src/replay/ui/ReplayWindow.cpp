#include "replay/ui/ReplayWindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>

#include "platform/ui/Captions.h"
#include "replay/ReplaySession.h"
#include "replay/ReplayTexts.h"

namespace scopewatch::replay {

ReplayWindow::ReplayWindow(ReplaySession& replay, ReplayPlayback::MainWindowCalls calls,
                           TimerClock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
                          Qt::WindowMinimizeButtonHint),
      playback_(replay, clock, std::move(calls)) {
    setWindowTitle("Scopewatch v1.0 - Replay");
    BuildLayout();
    connect(play_, &QPushButton::clicked, this, &ReplayWindow::OnPlay);
    connect(speed_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!released_) {
            playback_.SetSpeed(kReplaySpeeds.at(static_cast<size_t>(std::max(index, 0))));
        }
    });
    // A drag jumps where it is let go; the keys and the page clicks jump at once.
    connect(position_, &QSlider::sliderMoved, this,
            [this](int seconds) { elapsed_->setText(QString::fromStdString(ClockText(seconds))); });
    connect(position_, &QSlider::sliderReleased, this, [this] { JumpTo(position_->value()); });
    connect(position_, &QSlider::valueChanged, this, [this](int seconds) {
        if (!position_->isSliderDown()) {
            JumpTo(seconds);
        }
    });
    for (size_t index = 0; index < steps_.size(); ++index) {
        connect(steps_[index], &QPushButton::clicked, this,
                [this, index] { JumpTo(playback_.elapsed() + kReplaySteps[index]); });
    }
    connect(&replay, &ReplaySession::moved, this, &ReplayWindow::ShowPosition);
    ShowPosition();
    ShowPlaying();
}

void ReplayWindow::BuildLayout() {
    play_ = new QPushButton;
    auto* speedLabel = new QLabel("Speed:");
    speed_ = new QComboBox;
    for (const int speed : kReplaySpeeds) {
        speed_->addItem(QString::fromStdString(SpeedCaption(speed)));
    }
    NameAfterLabel(*speedLabel, *speed_);
    auto* positionLabel = new QLabel("Position:");
    position_ = new QSlider(Qt::Horizontal);
    position_->setSingleStep(10);
    position_->setPageStep(60);
    NameAfterLabel(*positionLabel, *position_);
    auto* elapsedCaption = new QLabel("Elapsed:");
    elapsed_ = new QLabel;
    LabelValue(*elapsedCaption, *elapsed_);
    auto* lengthCaption = new QLabel("Whole time:");
    length_ = new QLabel;
    LabelValue(*lengthCaption, *length_);

    auto* top = new QHBoxLayout;
    top->addWidget(play_);
    top->addStretch();
    top->addWidget(speedLabel);
    top->addWidget(speed_);
    auto* times = new QGridLayout;
    times->addWidget(positionLabel, 0, 0);
    times->addWidget(position_, 0, 1, 1, 3);
    times->addWidget(elapsedCaption, 1, 0);
    times->addWidget(elapsed_, 1, 1);
    times->addWidget(lengthCaption, 1, 2, Qt::AlignRight);
    times->addWidget(length_, 1, 3);
    auto* stepRow = new QHBoxLayout;
    for (size_t index = 0; index < steps_.size(); ++index) {
        const QString caption = QString::fromStdString(StepCaption(kReplaySteps[index]));
        steps_[index] = new QPushButton(caption);
        NameAfterCaption(*steps_[index], caption);
        stepRow->addWidget(steps_[index]);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(times);
    layout->addLayout(stepRow);
    resize(420, sizeHint().height());
}

void ReplayWindow::ShowPosition() {
    const int length = static_cast<int>(std::ceil(playback_.length()));
    const int elapsed = static_cast<int>(std::floor(playback_.elapsed()));
    length_->setText(QString::fromStdString(ClockText(length)));
    if (position_->isSliderDown()) {
        return;  // the user drags it
    }
    const QSignalBlocker quiet(position_);
    position_->setRange(0, length);
    position_->setValue(elapsed);
    elapsed_->setText(QString::fromStdString(ClockText(elapsed)));
}

void ReplayWindow::ShowPlaying() {
    const QString caption = playback_.paused() ? "Play" : "Pause";
    play_->setText(caption);
    NameAfterCaption(*play_, caption);
}

void ReplayWindow::OnPlay() {
    if (released_) {
        return;
    }
    if (playback_.paused()) {
        playback_.Play();
    } else {
        playback_.Pause();
    }
    ShowPlaying();
}

void ReplayWindow::JumpTo(double seconds) {
    if (!released_) {
        playback_.JumpTo(seconds);
        ShowPosition();
    }
}

void ReplayWindow::Release() {
    if (!released_) {
        released_ = true;
        playback_.Release();
    }
}

// The window goes with the replay, not before.
void ReplayWindow::closeEvent(QCloseEvent* event) {
    if (released_) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace scopewatch::replay
