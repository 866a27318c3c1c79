#include "app/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ext/stdio_filebuf.h>
#include <filesystem>
#include <stdexcept>

namespace vantrel {
namespace {

std::runtime_error Failure(const std::string& fileName, const std::string& reason)
{
    return std::runtime_error("Unable to create file " + fileName + ": " + reason);
}

}  // namespace

void WriteFileAtomically(const std::string& fileName, const std::function<void(std::ostream&)>& write)
{
    static std::atomic<unsigned> counter{0};
    std::filesystem::path target(fileName);
    if (std::filesystem::is_directory(target)) throw Failure(fileName, "it is a folder");
    std::string hidden = target.filename().string();
    hidden.insert(0, 1, '.');
    hidden += ".part-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const std::string temporary = (target.parent_path() / hidden).string();
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) throw Failure(fileName, std::strerror(errno));

    bool written = false;
    std::string reason = "the text could not be written";
    {
        __gnu_cxx::stdio_filebuf<char> buffer(fd, std::ios::out | std::ios::binary, 1 << 16);
        std::ostream out(&buffer);
        try {
            write(out);
            out.flush();
            written = static_cast<bool>(out);
            if (!written) reason = std::strerror(errno);
        } catch (const std::exception& e) {
            reason = e.what();
        }
    }  // closes fd
    if (written && std::rename(temporary.c_str(), fileName.c_str()) == 0) return;
    if (written) reason = std::strerror(errno);
    std::remove(temporary.c_str());
    throw Failure(fileName, reason);
}

}  // namespace vantrel
