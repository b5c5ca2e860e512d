#include "builder/ui/BuilderWindow.h"

#include <QCloseEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/CodePage.h"
#include "platform/MessageBoxes.h"
#include "platform/ui/Captions.h"
#include "shared/WindowFlow.h"
#include "state/ProgramState.h"

namespace scopewatch {
namespace {

constexpr int kDiscoveryIntervalMs = 1000;
constexpr int kBuildIntervalMs = 5;

}  // namespace

BuilderWindow::BuilderWindow(ProgramState& state, const FileSystem& files, MessageBoxes& messages,
                             WindowFlow& flow, QWidget* parent)
    : QWidget(parent),
      messages_(messages),
      flow_(flow),
      build_(state, state.airport, files, messages,
             [this](const std::string& text) { SetStatus(text); }) {
    setWindowTitle("Creating Database");
    BuildLayout();
    Read_Sceneries_Paths.setInterval(kDiscoveryIntervalMs);
    Read_All_Airports.setInterval(kBuildIntervalMs);
    connect(&Read_Sceneries_Paths, &QTimer::timeout, this, &BuilderWindow::RunDiscoveryTick);
    connect(&Read_All_Airports, &QTimer::timeout, this, &BuilderWindow::RunBuildTick);
    connect(Command2, &QPushButton::clicked, this, &BuilderWindow::OnCreatePressed);
    // Window load: discovery follows one second later, when the window has been painted.
    Read_Sceneries_Paths.start();
}

void BuilderWindow::BuildLayout() {
    Label1 = new QLabel(
        "Now, this program will create a database of all airports of the FS world. To start, "
        "press the CREATE ATC DATABASE FILE button.");
    Label1->setWordWrap(true);
    Label2 = new QLabel("Scanning:");
    Text1 = new QLineEdit("-None-");
    Text1->setReadOnly(true);
    NameAfterLabel(*Label2, *Text1);
    ProgressBar1 = new QProgressBar;
    ProgressBar1->setRange(0, 1);  // until discovery has counted the files
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    NameAfterCaption(*ProgressBar1, "Progress");
    Command2 = new QPushButton("CREATE ATC DATABASE FILE");
    // A build before the scenery folders are known would write an empty database.
    Command2->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(Text1);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Command2);
    layout->addStretch();
    resize(480, 220);
}

void BuilderWindow::SetStatus(const std::string& text) {
    Text1->setText(FromAnsi(text));
    Text1->repaint();
}

void BuilderWindow::RunDiscoveryTick() {
    Command2->setEnabled(false);
    const DiscoveryResult found = build_.Discover();
    Read_Sceneries_Paths.stop();
    ProgressBar1->setRange(0, found.bglFileCount + 1);
    ProgressBar1->setValue(0);
    Command2->setEnabled(true);
}

void BuilderWindow::OnCreatePressed() {
    messages_.Inform(
        "Now the create database file process will begin, this can take a few minutes, please "
        "wait");
    Read_All_Airports.start();
}

void BuilderWindow::RunBuildTick() {
    Command2->setEnabled(false);
    if (!build_.HasWork()) {
        RunFinalStep();
        return;
    }
    build_.Step();
    ProgressBar1->setValue(std::min(build_.filesExamined(), ProgressBar1->maximum()));
    ProgressBar1->repaint();
}

void BuilderWindow::RunFinalStep() {
    Read_All_Airports.stop();
    const Status finished = build_.Finish();
    finished_ = true;
    if (!finished.ok()) {
        messages_.Warn(finished.failure);
        flow_.EndProgram();
        close();
        return;
    }
    Command2->setEnabled(true);
    ProgressBar1->setMinimum(0);
    ProgressBar1->setValue(0);
    messages_.Show(kBuilderTitle, "The creation process of the database was completed!",
                   MessageIcon::Information, MessageButtons::Ok);
    flow_.ShowAirportWindow();
    close();
}

void BuilderWindow::closeEvent(QCloseEvent* event) {
    // Closed before the database was written: the work stops, nothing is written, and the
    // program ends (the next start finds the settings without a database and runs setup).
    if (!finished_) {
        finished_ = true;
        Read_Sceneries_Paths.stop();
        Read_All_Airports.stop();
        build_.Stop();
        flow_.EndProgram();
    }
    event->accept();
}

}  // namespace scopewatch
