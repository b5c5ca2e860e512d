#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/CodePage.h"

namespace scopewatch {
namespace {

// A real path inside an error text, which is Windows-1252 like every text of the program.
std::string PathInMessage(const std::filesystem::path& path) {
    return ToAnsi(QFile::decodeName(QByteArray::fromStdString(path.native())));
}

// A step the hook refuses fails as an input/output error would.
bool GoOn(const AtomicWriteHook& hook, AtomicWriteStep step) {
    if (hook && !hook(step)) {
        errno = EIO;
        return false;
    }
    return true;
}

std::string ErrorText() {
    return std::strerror(errno);
}

// Writes every byte, going on after short writes and interruptions.
bool WriteAll(int descriptor, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Makes the rename itself last: syncs the folder that holds the file. Best effort: the
// new content is in place whether or not the folder can be synced.
void SyncFolderOf(const std::filesystem::path& file) {
    const std::filesystem::path folder =
        file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

// The temporary file while it is written: closed, and removed unless kept, when it goes.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::filesystem::path path)
        : path_(std::move(path)),
          descriptor_(::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)) {}
    ~TemporaryFile() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
        if (!kept_) {
            std::error_code ignored;
            std::filesystem::remove(path_, ignored);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool opened() const { return descriptor_ >= 0; }
    bool Write(const uint8_t* data, size_t size) const { return WriteAll(descriptor_, data, size); }
    // Writes the bytes from offset `from` up to `to` of the pieces taken as one content.
    bool WriteRange(const std::vector<std::span<const uint8_t>>& pieces, size_t from,
                    size_t to) const {
        size_t pieceStart = 0;
        for (const std::span<const uint8_t> piece : pieces) {
            const size_t pieceEnd = pieceStart + piece.size();
            const size_t begin = std::max(from, pieceStart);
            const size_t end = std::min(to, pieceEnd);
            if (begin < end && !Write(piece.data() + (begin - pieceStart), end - begin)) {
                return false;
            }
            pieceStart = pieceEnd;
        }
        return true;
    }
    bool Sync() const { return ::fsync(descriptor_) == 0; }
    bool Close() {
        const int descriptor = descriptor_;
        descriptor_ = -1;
        return ::close(descriptor) == 0;
    }
    void Keep() { kept_ = true; }

  private:
    std::filesystem::path path_;
    int descriptor_;
    bool kept_ = false;
};

}  // namespace

std::optional<std::string> WriteFileAtomically(const std::filesystem::path& target,
                                               const std::vector<uint8_t>& content,
                                               const AtomicWriteHook& hook) {
    return WritePiecesAtomically(target, {std::span<const uint8_t>(content)}, hook);
}

std::optional<std::string> WritePiecesAtomically(
    const std::filesystem::path& target, const std::vector<std::span<const uint8_t>>& content,
    const AtomicWriteHook& hook) {
    std::filesystem::path temporaryPath = target;
    temporaryPath += ".partial";
    TemporaryFile temporary(temporaryPath);
    if (!temporary.opened()) {
        return "cannot create " + PathInMessage(temporaryPath) + ": " + ErrorText();
    }
    size_t size = 0;
    for (const std::span<const uint8_t> piece : content) {
        size += piece.size();
    }
    const size_t half = size / 2;
    if (!GoOn(hook, AtomicWriteStep::Created) || !temporary.WriteRange(content, 0, half) ||
        !GoOn(hook, AtomicWriteStep::HalfWritten) || !temporary.WriteRange(content, half, size) ||
        !GoOn(hook, AtomicWriteStep::Written)) {
        return "cannot write " + PathInMessage(temporaryPath) + ": " + ErrorText();
    }
    if (!temporary.Sync() || !GoOn(hook, AtomicWriteStep::Synced) || !temporary.Close()) {
        return "cannot save " + PathInMessage(temporaryPath) + " to the disk: " + ErrorText();
    }
    std::error_code error;
    std::filesystem::rename(temporaryPath, target, error);
    if (error) {
        return "cannot replace " + PathInMessage(target) + ": " + error.message();
    }
    temporary.Keep();
    SyncFolderOf(target);
    GoOn(hook, AtomicWriteStep::Renamed);
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
    std::vector<uint8_t> content;
    if (!ReadWholeFileInto(path, content)) {
        return std::nullopt;
    }
    return content;
}

bool ReadWholeFileInto(const std::filesystem::path& path, std::vector<uint8_t>& content) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        return false;
    }
    const std::streamoff size = file.tellg();
    if (size < 0) {
        return false;
    }
    content.resize(static_cast<size_t>(size));
    file.seekg(0);
    return static_cast<bool>(file.read(reinterpret_cast<char*>(content.data()), size));
}

}  // namespace scopewatch
