#include "startup/ui/SplashWindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace scopewatch {

SplashWindow::SplashWindow(std::function<void()> startupCheck, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen), startupCheck_(std::move(startupCheck)) {
    setWindowTitle("Scopewatch v1.0");
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* label = new QLabel("SCOPEWATCH VERSION 1.0", this);
    QFont font("Comic Sans MS", 22, QFont::Bold);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet("color: #00ff66;");
    setStyleSheet("background-color: #001a0d;");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    resize(460, 220);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    Timer1.setInterval(3000);
    connect(&Timer1, &QTimer::timeout, this, &SplashWindow::OnTick);
    Timer1.start();
}

void SplashWindow::OnTick() {
    if (Timer1.interval() != 3000) {
        return;
    }
    Timer1.stop();
    startupCheck_();
}

}  // namespace scopewatch
