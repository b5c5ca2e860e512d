#include "platform/AtomicFile.h"

#include <QFile>
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

}  // namespace

std::optional<std::string> WriteFileAtomically(const std::filesystem::path& target,
                                               const std::vector<uint8_t>& content) {
    std::filesystem::path temporary = target;
    temporary += ".partial";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) {
            return "cannot create " + PathInMessage(temporary) + ": " + std::strerror(errno);
        }
        file.write(reinterpret_cast<const char*>(content.data()),
                   static_cast<std::streamsize>(content.size()));
        file.flush();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return "cannot write " + PathInMessage(temporary);
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return "cannot replace " + PathInMessage(target) + ": " + error.message();
    }
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        return std::nullopt;
    }
    const std::streamoff size = file.tellg();
    if (size < 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> content(static_cast<size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(content.data()), size)) {
        return std::nullopt;
    }
    return content;
}

}  // namespace scopewatch
