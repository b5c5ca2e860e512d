#include "airport/ui/AirportWindow.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "airport/AirportSearch.h"
#include "airport/AirportTakeOver.h"
#include "airport/AirspaceLookup.h"
#include "bgl/MagdecFile.h"
#include "builder/AirportDatabaseFile.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/ui/Captions.h"
#include "platform/ui/ListChoice.h"
#include "shared/WindowFlow.h"
#include "state/ProgramState.h"

namespace scopewatch {
namespace {

constexpr int kLoadingDelayMs = 1000;

}  // namespace

AirportWindow::AirportWindow(ProgramState& state, const FileSystem& files, MessageBoxes& messages,
                             WindowFlow& flow, QWidget* parent)
    : QWidget(parent), state_(state), files_(files), messages_(messages), flow_(flow) {
    setWindowTitle("Scopewatch v1.0 - Airport Area");
    BuildLayout();
    Timer1.setInterval(kLoadingDelayMs);
    connect(&Timer1, &QTimer::timeout, this, &AirportWindow::RunLoadingTick);
    connect(Command1, &QPushButton::clicked, this, &AirportWindow::OnSearch);
    connect(Text1, &QLineEdit::returnPressed, this, &AirportWindow::OnSearch);
    connect(Command3, &QPushButton::clicked, this, &AirportWindow::OnGetAirport);
    connect(Command2, &QPushButton::clicked, this, &AirportWindow::OnExit);
    // Window load: the loading starts one second later, when the window has been painted.
    Timer1.start();
}

void AirportWindow::BuildLayout() {
    Text1 = new QLineEdit;
    Command1 = new QPushButton("SEARCH AIRPORT");
    auto* searchRow = new QHBoxLayout;
    auto* searchLabel = new QLabel("Name of Airport:");
    NameAfterLabel(*searchLabel, *Text1);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(Text1, 1);
    searchRow->addWidget(Command1);

    auto* resultFrame = new QGroupBox("Select the Airport Name");
    auto* resultLayout = new QVBoxLayout(resultFrame);
    auto* resultLabel = new QLabel("Airport Search Results:");
    resultLayout->addWidget(resultLabel);
    List1 = new QListWidget;
    NameAfterLabel(*resultLabel, *List1);
    List1->setMinimumHeight(220);
    resultLayout->addWidget(List1);

    Command3 = new QPushButton("GET AIRPORT");
    Command2 = new QPushButton("EXIT");
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(Command3);
    buttonRow->addWidget(Command2);

    Text2 = new QLineEdit("-None-");
    Text2->setReadOnly(true);
    auto* statusRow = new QHBoxLayout;
    auto* statusLabel = new QLabel("Status:");
    NameAfterLabel(*statusLabel, *Text2);
    statusRow->addWidget(statusLabel);
    statusRow->addWidget(Text2, 1);
    ProgressBar1 = new QProgressBar;
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    NameAfterCaption(*ProgressBar1, "Progress");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(new QLabel("Example: Eldorado Intl"));
    layout->addWidget(resultFrame);
    layout->addLayout(buttonRow);
    layout->addLayout(statusRow);
    layout->addWidget(ProgressBar1);
    resize(560, 480);
}

void AirportWindow::SetStatus(const std::string& text) {
    Text2->setText(FromAnsi(text));
    Text2->repaint();
}

void AirportWindow::SetControlsEnabled(bool enabled) {
    for (QWidget* control : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Command1),
                             static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command2)}) {
        control->setEnabled(enabled);
    }
}

void AirportWindow::RunLoadingTick() {
    Timer1.stop();
    airportChosen_ = kFalse16;
    SetControlsEnabled(false);
    const std::string magVarNote = LoadMagVars();
    const std::string databaseNote = ReadAirportDatabase();
    std::string status = "Done";
    for (const std::string& note : {magVarNote, databaseNote}) {
        if (!note.empty()) {
            status += " - " + note;
        }
    }
    SetStatus(status);
    SetControlsEnabled(true);
}

// Loads magdec.bgl into the grid. A missing or short file leaves the grid as it stands and
// says so (the note ends up on the status line).
std::string AirportWindow::LoadMagVars() {
    SetStatus("Reading Magvars...");
    return MagVarLoadNote(LoadSimulatorMagVars(files_, state_.settings.simFolder, fileBuffer_,
                                               state_.airport.magVarGrid));
}

// Reads every record the settings announce. A missing database is reported and the list
// stays empty; a damaged one keeps the records before the damage.
std::string AirportWindow::ReadAirportDatabase() {
    SetStatus("Reading Airports...");
    // The name as it is on disk: start-up accepts it in any letter case.
    AirportDatabaseContent content = scopewatch::ReadAirportDatabase(
        files_.ToRealPath(kDatabaseFileName), state_.settings.airportCount);
    if (!content.fileFound) {
        state_.airport.airportList.clear();
        messages_.Warn("The airport database " + std::string(kDatabaseFileName) +
                       " could not be read, so there are no airports to choose from.");
        return "no airport database";
    }
    state_.airport.airportList = std::move(content.records);
    if (!content.problem.empty()) {
        return "airport database damaged, read up to " + content.problem;
    }
    return {};
}

void AirportWindow::ReleaseDatabase() {
    state_.airport.airportList.clear();
    state_.airport.airportList.shrink_to_fit();
    fileBuffer_.Clear();
}

void AirportWindow::OnSearch() {
    if (Text1->text().isEmpty() || state_.settings.airportCount < 1) {
        return;
    }
    List1->clear();
    SetStatus("Searching...");
    SetControlsEnabled(false);
    for (const std::string& line :
         SearchAirports(state_.airport.airportList, ToAnsi(Text1->text()))) {
        List1->addItem(FromAnsi(line));
    }
    SetStatus("Done");
    SetControlsEnabled(true);
}

// Takes the airport of the selected line over; without a selected line (an empty list, or a
// line that is only current) it does nothing.
void AirportWindow::OnGetAirport() {
    const int row = ChosenRow(*List1);
    if (row < 0 || List1->item(0)->text().isEmpty()) {
        return;
    }
    SetStatus("Getting Info...");
    if (!TakeOverAirport(state_.airport, ParseIndexFromLine(ToAnsi(List1->item(row)->text())))) {
        SetStatus("Done");
        return;
    }
    fileBuffer_.Clear();
    LookForAirspaces();
    SetStatus("Done");
    airportChosen_ = kTrue16;
    flow_.AirportTaken();
    close();
}

// Collects the airspaces around the new airport, one scenery file of the facility data
// folder after the other on the progress bar. Files that cannot be examined whole are passed
// over without a message, as files without airspaces are.
void AirportWindow::LookForAirspaces() {
    SetStatus("Looking for Airspace...");
    const AirspaceScanProgress progress{[this](int fileCount) {
                                            ProgressBar1->setRange(0, std::max(fileCount, 1));
                                            ProgressBar1->setValue(0);
                                        },
                                        [this] {
                                            ProgressBar1->setValue(ProgressBar1->value() + 1);
                                            ProgressBar1->repaint();
                                        }};
    FindAirspaces(files_, state_.settings.facilityDataFolder,
                  {state_.airport.currentAirport, state_.airport.magVarGrid}, fileBuffer_,
                  state_.airport.airspaces, progress);
}

void AirportWindow::OnExit() {
    SetStatus("Please wait...");
    ReleaseDatabase();
    close();
}

void AirportWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (closed_) {
        return;
    }
    closed_ = true;
    Timer1.stop();
    SetStatus("Please wait...");
    ReleaseDatabase();
    if (state_.mainWindowOpen == kTrue16) {
        flow_.ReturnToMainWindow();
    } else if (airportChosen_ == kFalse16) {
        flow_.EndProgram();
    }
}

}  // namespace scopewatch
