#include "import/NativeText.h"

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
    std::string bytes;
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
