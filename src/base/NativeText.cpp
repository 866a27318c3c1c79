#include "base/NativeText.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <utility>

#include "base/ReadError.h"

namespace vantrel {
namespace {

constexpr std::size_t kBufferSize = 256 << 10;  // several longest lines, so a refill moves little
static_assert(kBufferSize > 2 * (kMaxLineLength + 2));

ReadError TooLong(const std::string& name, int line)
{
    return ReadError(name, line, "the line is longer than " + std::to_string(kMaxLineLength) + " characters");
}

// The first carriage return or line feed, or nullptr. One pass, where a search for each would
// run to the end of the buffer for every line of a file that has only the other.
const char* FindLineEnd(const char* from, const char* end)
{
    for (; from < end; ++from)
        if (static_cast<unsigned char>(*from) <= '\r' && (*from == '\r' || *from == '\n')) return from;
    return nullptr;
}

ReadError Changed(const std::string& name) { return ReadError(name, 0, "the file changed while it was read"); }

}  // namespace

ByteSource ByteSource::OpenFile(const std::string& fileName)
{
    ByteSource source;
    source.name_ = fileName;
    std::string error;
    source.file_ = platform::OpenForReading(fileName, error);
    if (source.file_ == platform::kNoFile) throw ReadError(fileName, 0, "cannot open: " + error);
    platform::FileKind kind;
    long long size;
    if (!platform::DescribeFile(source.file_, kind, size, error)) throw ReadError(fileName, 0, "cannot read: " + error);
    if (kind == platform::FileKind::Folder) throw ReadError(fileName, 0, "it is a folder, not a file");
    if (kind == platform::FileKind::Regular) source.sizeAtOpen_ = size;
    return source;
}

ByteSource ByteSource::InMemory(std::string name, std::string_view bytes)
{
    ByteSource source;
    source.name_ = std::move(name);
    source.memory_ = bytes;
    return source;
}

ByteSource::ByteSource(ByteSource&& other) noexcept { *this = std::move(other); }

ByteSource& ByteSource::operator=(ByteSource&& other) noexcept
{
    if (this == &other) return *this;
    Close();
    name_ = std::move(other.name_);
    memory_ = other.memory_;
    memoryPos_ = other.memoryPos_;
    file_ = std::exchange(other.file_, platform::kNoFile);
    sizeAtOpen_ = other.sizeAtOpen_;
    readSoFar_ = other.readSoFar_;
    observer_ = std::move(other.observer_);
    return *this;
}

ByteSource::~ByteSource() { Close(); }

void ByteSource::Close()
{
    std::string ignored;  // nothing was written, so nothing can be lost
    if (file_ != platform::kNoFile) platform::CloseFile(file_, ignored);
}

std::size_t ByteSource::Read(char* into, std::size_t size)
{
    if (file_ == platform::kNoFile) {
        const std::size_t n = std::min(size, memory_.size() - memoryPos_);
        std::memcpy(into, memory_.data() + memoryPos_, n);
        memoryPos_ += n;
        return n;
    }
    std::string error;
    const long long got = platform::ReadBytes(file_, into, size, error);
    if (got < 0) throw ReadError(name_, 0, "cannot read: " + error);
    readSoFar_ += got;
    // A file cut short or still growing gives a document that matches neither version of it.
    if (sizeAtOpen_ >= 0 && (readSoFar_ > sizeAtOpen_ || (got == 0 && size > 0 && readSoFar_ != sizeAtOpen_)))
        throw Changed(name_);
    if (observer_ && got > 0) observer_(static_cast<std::size_t>(got));
    return static_cast<std::size_t>(got);
}

void ByteSource::Rewind()
{
    if (file_ == platform::kNoFile) {
        memoryPos_ = 0;
        return;
    }
    std::string error;
    if (!platform::RewindFile(file_, error)) throw ReadError(name_, 0, "cannot read it twice: " + error);
    readSoFar_ = 0;
}

namespace {

// Counts line lengths across the pieces of an input, to stop at the first line that is too long.
class LineLengthCheck {
public:
    LineLengthCheck(const std::string& name, bool lineFeedEndsLines) : name_(name), lineFeed_(lineFeedEndsLines) {}

    void Scan(std::string_view piece)
    {
        for (const char c : piece) {
            if (c == '\r' || (c == '\n' && lineFeed_)) {
                if (!(c == '\n' && afterCarriageReturn_)) ++number_;  // CR LF is one line end
                length_ = 0;
            } else if (!(c == '\n' && afterCarriageReturn_) && ++length_ > kMaxLineLength) {
                throw TooLong(name_, number_);
            }
            afterCarriageReturn_ = c == '\r';
        }
    }

private:
    const std::string& name_;
    bool lineFeed_;
    bool afterCarriageReturn_ = false;
    std::size_t length_ = 0;
    int number_ = 1;
};

}  // namespace

std::string ReadAllText(ByteSource& source, bool lineFeedEndsLines)
{
    LineLengthCheck check(source.Name(), lineFeedEndsLines);
    if (const std::string_view* memory = source.Memory()) {
        check.Scan(*memory);
        return std::string(*memory);
    }
    std::string text;
    std::unique_ptr<char[]> chunk(new char[kBufferSize]);
    for (std::size_t got; (got = source.Read(chunk.get(), kBufferSize)) > 0;) {
        check.Scan(std::string_view(chunk.get(), got));
        text.append(chunk.get(), got);
    }
    return text;
}

std::optional<std::chrono::year_month_day> LocalModificationDay(const std::string& fileName)
{
    std::tm local{};
    if (!platform::LocalModificationTime(fileName, local)) return std::nullopt;
    return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                       std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                       std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

std::string ReadFileBytes(const std::string& fileName)
{
    ByteSource source = ByteSource::OpenFile(fileName);
    return ReadAllText(source, true);
}

NativeLines::NativeLines(std::string_view bytes) : data_(bytes.data()), end_(bytes.size()) {}

NativeLines::NativeLines(ByteSource& source, bool lineFeedEndsLines) : name_(source.Name()), lineFeed_(lineFeedEndsLines)
{
    if (const std::string_view* memory = source.Memory()) {
        data_ = memory->data();
        end_ = memory->size();
        return;
    }
    source_ = &source;
    buffer_.reset(new char[kBufferSize]);
    data_ = buffer_.get();
    atEnd_ = false;
}

// Moves the unread rest to the front of the buffer and reads more after it; false at the end.
bool NativeLines::Fill()
{
    if (atEnd_) return false;
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        scanned_ -= begin_;
        begin_ = 0;
    }
    const std::size_t got = source_->Read(buffer_.get() + end_, kBufferSize - end_);
    if (got == 0) atEnd_ = true;
    end_ += got;
    return got > 0;
}

bool NativeLines::Next(std::string_view& line)
{
    scanned_ = begin_;
    while (true) {
        const void* found = lineFeed_ ? FindLineEnd(data_ + scanned_, data_ + end_)
                                      : std::memchr(data_ + scanned_, '\r', end_ - scanned_);
        if (found && *static_cast<const char*>(found) == '\n') {
            const std::size_t lf = static_cast<std::size_t>(static_cast<const char*>(found) - data_);
            if (lf - begin_ > kMaxLineLength) throw TooLong(name_, number_ + 1);
            line = std::string_view(data_ + begin_, lf - begin_);
            begin_ = lf + 1;
            ++number_;
            return true;
        }
        if (found) {
            const std::size_t cr = static_cast<std::size_t>(static_cast<const char*>(found) - data_);
            if (cr - begin_ > kMaxLineLength) throw TooLong(name_, number_ + 1);
            // Whether a line feed follows is known only once the next byte is in.
            if (cr + 1 == end_ && !atEnd_) {
                scanned_ = cr;
                Fill();
                continue;
            }
            line = std::string_view(data_ + begin_, cr - begin_);
            begin_ = cr + 1;
            if (begin_ < end_ && data_[begin_] == '\n') ++begin_;
            ++number_;
            return true;
        }
        if (end_ - begin_ > kMaxLineLength) throw TooLong(name_, number_ + 1);
        scanned_ = end_;
        if (Fill()) continue;
        if (begin_ == end_) return false;
        line = std::string_view(data_ + begin_, end_ - begin_);
        begin_ = end_;
        ++number_;
        return true;
    }
}

}  // namespace vantrel
