#include "mainwindow/ui/AboutWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QVBoxLayout>

#include "mainwindow/ui/OkButtonRow.h"
#include "mainwindow/ui/ScopeEmblem.h"
#include "state/ProgramState.h"

namespace scopewatch {
namespace {

constexpr int kEmblemSize = 160;

constexpr const char* kCredits =
    "Scopewatch v1.0\n"
    "by the Scopewatch team\n"
    "\n"
    "Built with Qt 6 (LGPL).\n"
    "\n"
    "Scope font: DejaVu Sans (fonts-dejavu-core).";

}  // namespace

AboutWindow::AboutWindow(ProgramState& state, WindowFlow& flow, QWidget* parent)
    : QWidget(parent), mainWindowReturn_(state, flow) {
    setWindowTitle("About Scopewatch v1.0");
    BuildLayout();
    connect(Command1, &QPushButton::clicked, this, &AboutWindow::OnOk);
}

void AboutWindow::BuildLayout() {
    Label1 = new QLabel("SCOPEWATCH VERSION 1.0");
    Label1->setAccessibleName("SCOPEWATCH VERSION 1.0");
    QFont headingFont("DejaVu Sans");
    headingFont.setPointSize(16);
    headingFont.setBold(true);
    Label1->setFont(headingFont);
    Label1->setAlignment(Qt::AlignCenter);

    Image1 = new QLabel;
    Image1->setPixmap(ScopeEmblem(kEmblemSize));
    Image1->setFixedSize(kEmblemSize, kEmblemSize);
    Image1->setAccessibleName("Scopewatch radar scope emblem");

    Frame1 = new QGroupBox("CREDITS");
    Frame1->setAccessibleName("CREDITS");
    Text1 = new QPlainTextEdit(kCredits);
    Text1->setReadOnly(true);
    Text1->setTabChangesFocus(true);
    Text1->setAccessibleName("CREDITS");
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(Text1);

    auto* middleRow = new QHBoxLayout;
    middleRow->addWidget(Image1, 0, Qt::AlignVCenter);
    middleRow->addWidget(Frame1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(middleRow);
    Command1 = AddOkButtonRow(*layout);
    resize(560, 300);

    QWidget::setTabOrder(Text1, Command1);
}

void AboutWindow::OnOk() {
    mainWindowReturn_.GiveBack();
    close();
}

void AboutWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window restored from the task bar is not a new opening.
    if (!event->spontaneous()) {
        mainWindowReturn_.Opened();
    }
}

void AboutWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    mainWindowReturn_.WindowClosed();
}

}  // namespace scopewatch
