#include "capture/RecordingFolder.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

#include "platform/CodePage.h"

namespace scopewatch::capture {

namespace {

constexpr qsizetype kLongestSessionName = 100;
const char* const kTimeFormat = "yyyy-MM-dd_HH-mm-ss";

bool CannotStandInName(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("/\\*?:\"<>|").contains(c);
}

}  // namespace

std::filesystem::path RecordingFileName(const QDateTime& start, const std::string& sessionName) {
    QString name = FromAnsi(sessionName).left(kLongestSessionName);
    for (QChar& c : name) {
        c = CannotStandInName(c) ? QChar('_') : c;
    }
    // Windows drops dots and spaces at the end of a name.
    while (!name.isEmpty() && (name.back() == '.' || name.back() == ' ')) {
        name.chop(1);
    }
    name = name.trimmed().isEmpty() ? QStringLiteral("Session") : name;
    return std::filesystem::path(
        (start.toString(kTimeFormat) + " " + name + ".pcap").toStdU16String());
}

void PruneRecordings(const RecordingPlan& plan, const std::filesystem::path& current) {
    static const QRegularExpression named(R"(^\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d .*\.pcap$)");
    struct Recording {
        std::filesystem::path path;
        uint64_t size = 0;
    };
    std::vector<Recording> recordings;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(plan.folder, error)) {
        const QString name = QString::fromStdU16String(entry.path().filename().u16string());
        if (entry.is_regular_file(error) && named.match(name).hasMatch()) {
            recordings.push_back({entry.path(), static_cast<uint64_t>(entry.file_size(error))});
        }
    }
    // The time leads each name: the newest first.
    std::sort(recordings.begin(), recordings.end(), [](const auto& one, const auto& other) {
        return one.path.filename() > other.path.filename();
    });
    size_t kept = 0;
    uint64_t keptBytes = 0;
    bool full = false;  // from the first recording that does not fit on, none is kept
    for (const Recording& recording : recordings) {
        const bool isCurrent = std::filesystem::equivalent(recording.path, current, error);
        full = full || (!isCurrent && (kept >= plan.keepRecordings ||
                                       keptBytes + recording.size > plan.keepBytes));
        if (full && !isCurrent) {
            std::filesystem::remove(recording.path, error);
        } else {
            ++kept;
            keptBytes += recording.size;
        }
    }
}

}  // namespace scopewatch::capture
