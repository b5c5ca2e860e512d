#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <utility>

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

// How much an AtomicFileWriter gathers before it starts the disk on it.
constexpr size_t kWritebackStretch = size_t{2} << 20;

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target)
    : target_(std::move(target)), temporary_(target_) {
    temporary_ += kPartialSuffix;
    descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor_ < 0) {
        error_ = "cannot create " + PathInMessage(temporary_) + ": " + ErrorText();
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
    if (!kept_) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
    }
}

bool AtomicFileWriter::Append(std::span<const uint8_t> bytes) {
    if (error_) {
        return false;
    }
    if (bytes.empty()) {
        return true;
    }
    if (!WriteAll(descriptor_, bytes.data(), bytes.size())) {
        return Fail();
    }
    written_ += bytes.size();
    // Starts the disk on what has come since it last started, a few megabytes at a time (each
    // start costs a request to the disk). A hint: where it cannot, the final sync does it all.
    if (written_ - startedUpTo_ >= kWritebackStretch) {
        ::sync_file_range(descriptor_, static_cast<off_t>(startedUpTo_),
                          static_cast<off_t>(written_ - startedUpTo_), SYNC_FILE_RANGE_WRITE);
        startedUpTo_ = written_;
    }
    return true;
}

bool AtomicFileWriter::Fail() {
    if (!error_) {
        error_ = "cannot write " + PathInMessage(temporary_) + ": " + ErrorText();
    }
    return false;
}

Status AtomicFileWriter::Commit(const AtomicWriteHook& hook) {
    if (error_) {
        return Status::Failed(*error_);
    }
    const int descriptor = std::exchange(descriptor_, -1);
    if (::fsync(descriptor) != 0 || !GoOn(hook, AtomicWriteStep::Synced)) {
        error_ = "cannot save " + PathInMessage(temporary_) + " to the disk: " + ErrorText();
        ::close(descriptor);
        return Status::Failed(*error_);
    }
    if (::close(descriptor) != 0) {
        error_ = "cannot save " + PathInMessage(temporary_) + " to the disk: " + ErrorText();
        return Status::Failed(*error_);
    }
    std::error_code error;
    std::filesystem::rename(temporary_, target_, error);
    if (error) {
        error_ = "cannot replace " + PathInMessage(target_) + ": " + error.message();
        return Status::Failed(*error_);
    }
    kept_ = true;
    SyncFolderOf(target_);
    GoOn(hook, AtomicWriteStep::Renamed);
    return Status::Done();
}

Status WriteFileAtomically(const std::filesystem::path& target, const std::vector<uint8_t>& content,
                           const AtomicWriteHook& hook) {
    AtomicFileWriter writer(target);
    const std::span<const uint8_t> bytes(content);
    const size_t half = bytes.size() / 2;
    if (!writer.failed() &&
        (!GoOn(hook, AtomicWriteStep::Created) || !writer.Append(bytes.first(half)) ||
         !GoOn(hook, AtomicWriteStep::HalfWritten) || !writer.Append(bytes.subspan(half)) ||
         !GoOn(hook, AtomicWriteStep::Written))) {
        writer.Fail();
    }
    return writer.Commit(hook);
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
