#include "base/NativeText.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <ctime>
#include <utility>

#include "base/ReadError.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantrel {
namespace {

constexpr std::size_t kBufferSize = 256 << 10;  // several longest lines, so a refill moves little
static_assert(kBufferSize > 2 * (kMaxLineLength + 2));

ReadError TooLong(const std::string& name, int line)
{
    return ReadError(name, line, "the line is longer than " + std::to_string(kMaxLineLength) + " characters");
}

// The first carriage return, line feed or NUL, or nullptr. One pass for all three, sixteen
// bytes at a time where the processor can: reading lines is a good part of reading a file.
const char* FindLineEndOrNul(const char* from, const char* end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), nul = _mm_setzero_si128();
    for (; end - from >= 16; from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)),
                                          _mm_cmpeq_epi8(bytes, nul));
        if (const int mask = _mm_movemask_epi8(hits); mask != 0)
            return from + std::countr_zero(static_cast<unsigned>(mask));
    }
#endif
    for (; from < end; ++from)
        if (static_cast<unsigned char>(*from) <= '\r' && (*from == '\r' || *from == '\n' || *from == '\0')) return from;
    return nullptr;
}

ReadError Changed(const std::string& name) { return ReadError(name, 0, "the file changed while it was read"); }

// Names the encoding the characters outside Latin-1 came from.
std::string ReplacedWarning(TextEncoding encoding)
{
    return std::string("the file is ") + (encoding == TextEncoding::Utf8 ? "UTF-8" : "UTF-16") +
           ": characters outside Latin-1 were read as \"?\"";
}

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

ByteSource ByteSource::StandardInput(std::string name)
{
    ByteSource source;
    source.name_ = std::move(name);
    source.file_ = platform::StandardInput();
    source.ownsFile_ = false;
    platform::FileKind kind;
    long long size;
    std::string error;
    if (platform::DescribeFile(source.file_, kind, size, error) && kind == platform::FileKind::Regular)
        source.sizeAtOpen_ = size;
    return source;
}

ByteSource ByteSource::InMemory(std::string name, std::string_view bytes)
{
    ByteSource source;
    source.name_ = std::move(name);
    source.started_ = true;
    const HeadEncoding head = TellEncoding(bytes.substr(0, kEncodingHeadLength), bytes.size() <= kEncodingHeadLength);
    bytes.remove_prefix(head.MarkLength);
    source.decoder_ = Latin1Decoder(head.Encoding);
    if (head.Encoding != TextEncoding::Latin1) {
        source.decoded_.resize(bytes.size());
        std::size_t consumed = 0;
        source.decoded_.resize(source.decoder_.Decode(bytes, true, source.decoded_.data(), bytes.size(), consumed));
        bytes = source.decoded_;
    }
    source.memory_ = bytes;
    return source;
}

ByteSource::ByteSource(ByteSource&& other) noexcept { *this = std::move(other); }

ByteSource& ByteSource::operator=(ByteSource&& other) noexcept
{
    if (this == &other) return *this;
    Close();
    name_ = std::move(other.name_);
    const bool decoded = other.memory_.data() == other.decoded_.data() && !other.decoded_.empty();
    decoded_ = std::move(other.decoded_);
    memory_ = decoded ? std::string_view(decoded_) : other.memory_;
    memoryPos_ = other.memoryPos_;
    file_ = std::exchange(other.file_, platform::kNoFile);
    ownsFile_ = other.ownsFile_;
    peeked_ = std::move(other.peeked_);
    sizeAtOpen_ = other.sizeAtOpen_;
    readSoFar_ = other.readSoFar_;
    observer_ = std::move(other.observer_);
    started_ = other.started_;
    decoder_ = other.decoder_;
    pending_ = std::move(other.pending_);
    replacedReported_ = other.replacedReported_;
    warnings_ = other.warnings_;
    return *this;
}

ByteSource::~ByteSource() { Close(); }

void ByteSource::Close()
{
    std::string ignored;  // nothing was written, so nothing can be lost
    if (file_ != platform::kNoFile && ownsFile_) platform::CloseFile(file_, ignored);
}

void ByteSource::ReportTo(ReadWarnings* warnings)
{
    warnings_ = warnings;
    ReportReplaced();
}

void ByteSource::ReportReplaced()
{
    if (decoder_.Replaced() == 0 || replacedReported_ || !warnings_) return;
    warnings_->Add(0, ReplacedWarning(decoder_.Encoding()));
    replacedReported_ = true;
}

std::string_view ByteSource::Peek(std::size_t size)
{
    if (file_ == platform::kNoFile) return std::string_view(memory_).substr(memoryPos_, size);
    while (peeked_.size() < size) {
        const std::size_t at = peeked_.size();
        peeked_.resize(size);
        const std::size_t got = ReadUnpeeked(peeked_.data() + at, size - at);
        peeked_.resize(at + got);
        if (got == 0) break;
    }
    return std::string_view(peeked_).substr(0, size);
}

std::size_t ByteSource::Read(char* into, std::size_t size)
{
    if (peeked_.empty()) return ReadUnpeeked(into, size);
    const std::size_t n = std::min(size, peeked_.size());
    std::memcpy(into, peeked_.data(), n);
    peeked_.erase(0, n);
    return n;
}

std::size_t ByteSource::ReadUnpeeked(char* into, std::size_t size)
{
    if (!started_) Start();
    // Bytes in memory were decoded when they were given.
    if (decoder_.Encoding() != TextEncoding::Latin1 && file_ != platform::kNoFile) return ReadDecoded(into, size);
    if (pending_.empty()) return ReadRaw(into, size);
    const std::size_t n = std::min(size, pending_.size());
    std::memcpy(into, pending_.data(), n);
    pending_.erase(0, n);
    return n + (pending_.empty() ? ReadRaw(into + n, size - n) : 0);
}

void ByteSource::Start()
{
    std::string head(kEncodingHeadLength, '\0');
    std::size_t got = 0;
    for (std::size_t n; got < head.size() && (n = ReadRaw(head.data() + got, head.size() - got)) > 0;) got += n;
    head.resize(got);
    const HeadEncoding encoding = TellEncoding(head, got < kEncodingHeadLength);
    started_ = true;
    decoder_ = Latin1Decoder(encoding.Encoding);
    pending_ = std::move(head);
    pending_.erase(0, encoding.MarkLength);
}

std::size_t ByteSource::ReadDecoded(char* into, std::size_t size)
{
    if (size == 0) return 0;
    // Bytes are read until at least one character is whole; what is left over (part of a
    // character, or more than `size` characters' worth) waits in pending_ for the next call.
    std::string bytes = std::move(pending_);
    std::size_t n = 0;
    for (bool end = false; n == 0;) {
        if (bytes.size() < size * decoder_.MaxBytesPerCharacter() && !end) {
            const std::size_t at = bytes.size();
            bytes.resize(std::max(at + size, at + decoder_.MaxBytesPerCharacter()));
            const std::size_t got = ReadRaw(bytes.data() + at, bytes.size() - at);
            bytes.resize(at + got);
            end = got == 0;
        }
        std::size_t consumed = 0;
        n = decoder_.Decode(bytes, end, into, size, consumed);
        bytes.erase(0, consumed);
        if (end && n == 0) break;
    }
    pending_ = std::move(bytes);
    ReportReplaced();
    return n;
}

std::size_t ByteSource::ReadRaw(char* into, std::size_t size)
{
    if (file_ == platform::kNoFile) {
        const std::size_t n = std::min(size, memory_.size() - memoryPos_);
        std::memcpy(into, memory_.data() + memoryPos_, n);
        memoryPos_ += n;
        return n;
    }
    ReadingCheck::Run();
    std::string error;
    const long long got = platform::ReadBytes(file_, into, size, error);
    if (got < 0) throw ReadError(name_, 0, "cannot read: " + error);
    readSoFar_ += got;
    // A file cut short or still growing gives a document that matches neither version of it.
    // A file the system gives as empty is read to its end, as files made as they are read are.
    if (sizeAtOpen_ > 0 && (readSoFar_ > sizeAtOpen_ || (got == 0 && size > 0 && readSoFar_ != sizeAtOpen_)))
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
    started_ = false;
    pending_.clear();
    peeked_.clear();
}

namespace {

// Counts line lengths across the pieces of an input, to stop at the first line that is too long,
// and notes the lines that hold NUL bytes.
class LineLengthCheck {
public:
    explicit LineLengthCheck(const std::string& name) : name_(name) {}

    void Scan(std::string_view piece)
    {
        for (const char c : piece) {
            if (c == '\r' || c == '\n') {
                if (!(c == '\n' && afterCarriageReturn_)) ++number_;  // CR LF is one line end
                length_ = 0;
            } else if (++length_ > kMaxLineLength) {
                throw TooLong(name_, number_);
            } else if (c == '\0' && (nulLines_.empty() || nulLines_.back() != number_)) {
                nulLines_.push_back(number_);
            }
            afterCarriageReturn_ = c == '\r';
        }
    }
    const std::vector<int>& NulLines() const { return nulLines_; }

private:
    const std::string& name_;
    bool afterCarriageReturn_ = false;
    std::size_t length_ = 0;
    int number_ = 1;
    std::vector<int> nulLines_;
};

constexpr const char* kNulWarning = "NUL bytes removed from the line";

}  // namespace

std::string ReadAllText(ByteSource& source)
{
    LineLengthCheck check(source.Name());
    std::string text;
    if (const std::string_view* memory = source.Memory()) {
        check.Scan(*memory);
        text.assign(*memory);
    } else {
        std::unique_ptr<char[]> chunk(new char[kBufferSize]);
        text.reserve(source.SizeAtOpen());  // grown by doubling, it was copied twice over
        for (std::size_t got; (got = source.Read(chunk.get(), kBufferSize)) > 0;) {
            check.Scan(std::string_view(chunk.get(), got));
            text.append(chunk.get(), got);
        }
    }
    if (check.NulLines().empty()) return text;
    std::erase(text, '\0');
    if (ReadWarnings* warnings = source.Warnings())
        for (const int line : check.NulLines()) warnings->Add(line, kNulWarning);
    return text;
}

namespace {

std::chrono::year_month_day DayOf(const std::tm& local)
{
    return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                       std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                       std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

}  // namespace

std::optional<std::chrono::year_month_day> LocalModificationDay(const std::string& fileName)
{
    std::tm local{};
    if (!platform::LocalModificationTime(fileName, local)) return std::nullopt;
    return DayOf(local);
}

std::chrono::year_month_day LocalToday()
{
    std::tm local{};
    platform::LocalTimeNow(local);
    return DayOf(local);
}

std::string ReadFileBytes(const std::string& fileName)
{
    ByteSource source = ByteSource::OpenFile(fileName);
    return ReadAllText(source);
}

namespace {

thread_local const ReadingCheck* innermostCheck = nullptr;
// Often enough to stop within a few milliseconds, seldom enough to cost nothing.
constexpr int kLinesBetweenChecks = 1024;

}  // namespace

ReadingCheck::ReadingCheck(std::function<void()> check) : check_(std::move(check)), outer_(innermostCheck)
{
    innermostCheck = this;
}

ReadingCheck::~ReadingCheck() { innermostCheck = outer_; }

void ReadingCheck::Run()
{
    if (innermostCheck) innermostCheck->check_();
}

NativeLines::NativeLines(std::string_view bytes) : data_(bytes.data()), end_(bytes.size()) {}

NativeLines::NativeLines(ByteSource& source) : name_(source.Name()), warnings_(source.Warnings())
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
    bool nul = false;  // the line holds a NUL byte
    while (true) {
        const char* found = FindLineEndOrNul(data_ + scanned_, data_ + end_);
        if (found && *found == '\0') {
            nul = true;
            scanned_ = static_cast<std::size_t>(found - data_) + 1;
            continue;
        }
        if (!found) {  // no line end in what is in: read more, or the rest is the last line
            if (end_ - begin_ > kMaxLineLength) throw TooLong(name_, number_ + 1);
            scanned_ = end_;
            if (Fill()) continue;
            if (begin_ == end_) return false;
            Deliver(line, end_, nul);
            begin_ = end_;
            return true;
        }
        const auto at = static_cast<std::size_t>(found - data_);
        if (at - begin_ > kMaxLineLength) throw TooLong(name_, number_ + 1);
        if (*found == '\n') {
            Deliver(line, at, nul);
            begin_ = at + 1;
            return true;
        }
        // A carriage return: whether a line feed follows is known only once the next byte is in.
        if (at + 1 == end_ && !atEnd_) {
            scanned_ = at;
            Fill();
            continue;
        }
        Deliver(line, at, nul);
        begin_ = at + 1;
        if (begin_ < end_ && data_[begin_] == '\n') ++begin_;
        return true;
    }
}

void NativeLines::Deliver(std::string_view& line, std::size_t end, bool nul)
{
    if (++number_ % kLinesBetweenChecks == 0) ReadingCheck::Run();
    line = std::string_view(data_ + begin_, end - begin_);
    if (!nul) return;
    // Some writers pad fields with NUL bytes; they would make the output a binary file.
    withoutNul_.assign(line);
    std::erase(withoutNul_, '\0');
    line = withoutNul_;
    if (warnings_) warnings_->Add(number_, kNulWarning);
}

}  // namespace vantrel
