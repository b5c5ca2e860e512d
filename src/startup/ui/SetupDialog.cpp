#include "startup/ui/SetupDialog.h"

#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "platform/CodePage.h"
#include "platform/ui/Captions.h"
#include "shared/WindowFlow.h"
#include "startup/Setup.h"
#include "state/ProgramState.h"

namespace scopewatch {

SetupDialog::SetupDialog(ProgramState& state, MessageBoxes& messages, WindowFlow& flow,
                         std::vector<Drive> drives, QWidget* parent)
    : QWidget(parent), state_(state), messages_(messages), flow_(flow), drives_(std::move(drives)) {
    setWindowTitle("Completing setup - settings");
    BuildLayout();
    // Dialog load: the option is selected and the folder list shows the current drive.
    Option1->setChecked(true);
    setupFinished_ = kFalse16;
    SelectWorkingDirectory();
}

// Starts on the drive and folder the program was started in, as the folder list of a fresh
// process shows the current directory of the current drive.
void SetupDialog::SelectWorkingDirectory() {
    const std::string workDir = state_.workDir.string();
    int best = -1;
    size_t bestLength = 0;
    for (size_t i = 0; i < drives_.size(); ++i) {
        const std::string mount = drives_[i].mountPoint.string();
        if (workDir.rfind(mount, 0) == 0 && mount.size() >= bestLength) {
            best = static_cast<int>(i);
            bestLength = mount.size();
        }
    }
    if (best < 0) {
        OnDriveChanged(Drive1->currentIndex());
        return;
    }
    const QSignalBlocker blocker(Drive1);
    Drive1->setCurrentIndex(best);
    ShowFolder(QString::fromStdString(workDir));
}

void SetupDialog::BuildLayout() {
    auto* versionFrame = new QGroupBox("Flight Simulator Information");
    auto* versionLayout = new QVBoxLayout(versionFrame);
    versionLayout->addWidget(new QLabel("Select the version of your Microsoft Flight Simulator:"));
    Option1 = new QRadioButton("Microsoft Flight Simulator 2002");
    versionLayout->addWidget(Option1);
    connect(Option1, &QRadioButton::clicked, this, [this] { state_.settings.simVersion = 1; });

    auto* pathFrame = new QGroupBox("Flight Simulator's Path");
    auto* pathLayout = new QVBoxLayout(pathFrame);
    auto* pathLabel = new QLabel("Enter your Flight Simulator's main path:");
    pathLayout->addWidget(pathLabel);
    Text1 = new QLineEdit;
    NameAfterLabel(*pathLabel, *Text1);
    pathLayout->addWidget(Text1);
    currentDirectoryLabel_ = new QLabel("Current Directory:");
    pathLayout->addWidget(currentDirectoryLabel_);
    Dir1 = new QListWidget;
    Dir1->setMinimumHeight(180);
    NameAfterLabel(*currentDirectoryLabel_, *Dir1);
    pathLayout->addWidget(Dir1);
    Drive1 = new QComboBox;
    for (const Drive& drive : drives_) {
        QString entry = QString::fromStdString(drive.rootPath.substr(0, 2)).toLower();
        if (drive.volumeLabel && !drive.volumeLabel->empty()) {
            entry += " [" + FromAnsi(*drive.volumeLabel) + "]";
        }
        entry += "  " + QString::fromStdString(drive.mountPoint.string());
        Drive1->addItem(entry);
    }
    NameAfterCaption(*Drive1, "Drive");
    pathLayout->addWidget(Drive1);
    pathLayout->addWidget(new QLabel("Example: C:\\Program Files\\Microsoft Games\\Fs2002"));

    Command1 = new QPushButton("NEXT STEP --->");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(versionFrame);
    layout->addWidget(pathFrame);
    layout->addLayout(buttons);
    resize(520, 520);

    connect(Drive1, &QComboBox::currentIndexChanged, this, &SetupDialog::OnDriveChanged);
    connect(Dir1, &QListWidget::itemActivated, this, &SetupDialog::OnFolderActivated);
    connect(Command1, &QPushButton::clicked, this, &SetupDialog::OnNextStep);
}

void SetupDialog::OnDriveChanged(int index) {
    if (index < 0 || index >= static_cast<int>(drives_.size())) {
        ShowFolder(QDir::currentPath());
        return;
    }
    ShowFolder(QString::fromStdString(drives_[static_cast<size_t>(index)].mountPoint.string()));
}

void SetupDialog::OnFolderActivated(QListWidgetItem* item) {
    QDir folder(currentFolder_);
    if (item->text() == "..") {
        folder.cdUp();
    } else {
        folder.cd(item->text());
    }
    ShowFolder(folder.absolutePath());
}

// Points the folder list at a folder and copies its path into the text box.
void SetupDialog::ShowFolder(const QString& path) {
    currentFolder_ = QDir(path).absolutePath();
    currentDirectoryLabel_->setText("Current Directory: " + currentFolder_);
    Dir1->clear();
    QDir folder(currentFolder_);
    if (!folder.isRoot()) {
        Dir1->addItem("..");
    }
    Dir1->addItems(
        folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    Text1->setText(currentFolder_);
}

void SetupDialog::OnNextStep() {
    if (Text1->text().isEmpty() && setupFinished_ == kTrue16) {
        return;
    }
    if (!ConfirmTypedSetup(state_, messages_, Text1->text(), Option1->isChecked())) {
        return;
    }
    setupFinished_ = kTrue16;
    flow_.ShowBuilderWindow();
    close();
}

void SetupDialog::closeEvent(QCloseEvent* event) {
    if (setupFinished_ == kFalse16) {
        AbandonSetup(state_, messages_);
        flow_.EndProgram();
    }
    event->accept();
}

}  // namespace scopewatch
