#include <QGridLayout>
#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>

#include "mainwindow/ui/MainWindow.h"
#include "platform/ui/Captions.h"
#include "scope/ui/ScopeWidget.h"

namespace scopewatch {
namespace {

QPushButton* Button(const char* caption) {
    auto* button = new QPushButton(caption);
    NameAfterCaption(*button, caption);
    return button;
}

QLineEdit* ReadoutBox() {
    auto* box = new QLineEdit("0.00000");
    box->setReadOnly(true);
    return box;
}

}  // namespace

void MainWindow::BuildLayout() {
    Toolbar1 = new QToolBar;
    Toolbar1->setAccessibleName("Toolbar");
    for (const ToolbarButton& button : kToolbarButtons) {
        toolbarButtons_.at(static_cast<size_t>(button.command)) =
            Toolbar1->addAction(button.caption);
    }
    Picture1 = new ScopeWidget;
    auto* body = new QHBoxLayout;
    body->addWidget(Picture1, 1);
    body->addWidget(BuildSidePanel());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->addWidget(Toolbar1);
    layout->addLayout(body, 1);
    // The usual size, but never wider or taller than the screen the window opens on (a small
    // laptop screen would hide the side panel's right edge).
    const QSize usual(1360, 700);
    resize(screen() != nullptr ? usual.boundedTo(screen()->availableGeometry().size()) : usual);
}

QWidget* MainWindow::BuildSidePanel() {
    auto* panel = new QWidget;
    panel->setFixedWidth(300);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(BuildViewControls());
    column->addWidget(BuildChat(), 1);
    Command3 = Button("> Disconnect");
    column->addWidget(Command3);
    return panel;
}

QWidget* MainWindow::BuildViewControls() {
    auto* controls = new QWidget;
    auto* grid = new QGridLayout(controls);
    grid->setContentsMargins(0, 4, 0, 4);
    Command2 = Button("CENTER");
    Command5 = Button("> ZOOM IN <");
    Command6 = Button("< ZOOM OUT >");
    grid->addWidget(Command2, 0, 0, 1, 2);
    grid->addWidget(Command5, 1, 0);
    grid->addWidget(Command6, 1, 1);

    auto* zoomCaption = new QLabel("Zoom:");
    Label7 = new QLabel("1x");
    LabelValue(*zoomCaption, *Label7);
    grid->addWidget(zoomCaption, 2, 0);
    grid->addWidget(Label7, 2, 1);

    grid->addWidget(new QLabel("Mouse Coordinates:"), 3, 0, 1, 2);
    Label2 = new QLabel("E:");
    Text1 = ReadoutBox();
    NameAfterCaption(*Text1, "Mouse Coordinates: longitude");
    Label2->setBuddy(Text1);
    Label3 = new QLabel("S:");
    Text2 = ReadoutBox();
    NameAfterCaption(*Text2, "Mouse Coordinates: latitude");
    Label3->setBuddy(Text2);
    grid->addWidget(Label2, 4, 0);
    grid->addWidget(Text1, 4, 1);
    grid->addWidget(Label3, 5, 0);
    grid->addWidget(Text2, 5, 1);
    return controls;
}

QWidget* MainWindow::BuildChat() {
    auto* chat = new QWidget;
    auto* column = new QVBoxLayout(chat);
    column->setContentsMargins(0, 0, 0, 0);
    RichTextBox1 = new QTextEdit;
    RichTextBox1->setReadOnly(true);
    NameAfterCaption(*RichTextBox1, "Chat history");
    Text3 = new QLineEdit;
    NameAfterCaption(*Text3, "Chat input");
    Command1 = Button("Send");
    auto* inputRow = new QHBoxLayout;
    inputRow->addWidget(Text3, 1);
    inputRow->addWidget(Command1);
    column->addWidget(RichTextBox1, 1);
    column->addLayout(inputRow);
    return chat;
}

}  // namespace scopewatch
