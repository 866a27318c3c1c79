#include "import/NativeText.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "import/ReadError.h"

namespace vantrel {

std::string ReadFileBytes(const std::string& fileName)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName.c_str(), "rb"), &std::fclose);
    if (!file) throw ReadError(fileName, 0, std::string("cannot open: ") + std::strerror(errno));
    // Read in one piece when the size is known; a pipe or a growing file is read to its end.
    std::string bytes;
    struct stat info {};
    if (::fstat(::fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode)) bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t size = std::fread(bytes.data(), 1, bytes.size(), file.get());
    bytes.resize(size);
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, got);
    if (std::ferror(file.get())) throw ReadError(fileName, 0, std::string("cannot read: ") + std::strerror(errno));
    return bytes;
}

bool NativeLines::Next(std::string_view& line)
{
    if (pos_ >= bytes_.size()) return false;
    const std::size_t end = bytes_.find('\r', pos_);
    if (end == std::string_view::npos) {
        line = bytes_.substr(pos_);
        pos_ = bytes_.size();
    } else {
        line = bytes_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
    }
    ++number_;
    return true;
}

}  // namespace vantrel
