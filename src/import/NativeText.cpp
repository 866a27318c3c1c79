#include "import/NativeText.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "import/ReadError.h"

namespace vantrel {

FileBytes::FileBytes(const std::string& fileName)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(fileName.c_str(), "rb"), &std::fclose);
    if (!file) throw ReadError(fileName, 0, std::string("cannot open: ") + std::strerror(errno));
    const int fd = ::fileno(file.get());
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        void* mapped = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (mapped != MAP_FAILED) {
            mapped_ = mapped;
            mappedSize_ = static_cast<std::size_t>(info.st_size);
            view_ = std::string_view(static_cast<const char*>(mapped), mappedSize_);
            return;
        }
    }
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) copy_.append(buffer, got);
    if (std::ferror(file.get())) throw ReadError(fileName, 0, std::string("cannot read: ") + std::strerror(errno));
    view_ = copy_;
}

FileBytes::~FileBytes()
{
    if (mapped_) ::munmap(mapped_, mappedSize_);
}

FileBytes::FileBytes(FileBytes&& other) noexcept { *this = std::move(other); }

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept
{
    if (this == &other) return *this;
    if (mapped_) ::munmap(mapped_, mappedSize_);
    mapped_ = std::exchange(other.mapped_, nullptr);
    mappedSize_ = std::exchange(other.mappedSize_, 0);
    copy_ = std::move(other.copy_);
    view_ = mapped_ ? std::exchange(other.view_, {}) : std::string_view(copy_);
    other.view_ = {};
    return *this;
}

void FileBytes::ReleaseBefore(std::size_t offset) const
{
    if (!mapped_) return;  // a copy in the heap must stay as it is
    static const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t end = std::min(offset, mappedSize_) / page * page;
    if (end > 0) ::madvise(mapped_, end, MADV_DONTNEED);
}

std::string ReadFileBytes(const std::string& fileName)
{
    return std::string(FileBytes(fileName).View());
}

bool NativeLines::Next(std::string_view& line)
{
    if (pos_ >= bytes_.size()) return false;
    constexpr std::size_t kReleaseStep = 8 << 20;
    if (file_ && pos_ - released_ >= kReleaseStep) {
        file_->ReleaseBefore(pos_);
        released_ = pos_;
    }
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
