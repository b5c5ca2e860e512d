#include "replay/ui/CaptureFileDialog.h"

#include <QFile>
#include <QFileDialog>

namespace scopewatch::replay {

std::optional<std::filesystem::path> AskCaptureFile(const std::filesystem::path& workDir) {
    std::error_code error;
    const std::filesystem::path recordings = workDir / "recordings";
    const std::filesystem::path folder =
        std::filesystem::is_directory(recordings, error) ? recordings : workDir;
    const QString chosen = QFileDialog::getOpenFileName(
        nullptr, "Scopewatch v1.0 - Recorded Session", QFile::decodeName(folder.c_str()),
        "Captures (*.pcap *.pcapng *.cap);;All files (*)");
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(QFile::encodeName(chosen).toStdString());
}

}  // namespace scopewatch::replay
