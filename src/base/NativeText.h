#pragma once
// Reading native FWD text files: single-byte text, one line at a time. A line ends at a carriage
// return, a line feed, or the two together, as files written on any system have them. A file in
// UTF-8 or UTF-16 is read as the Latin-1 text it holds (see TextEncoding.h); NUL bytes are removed
// from lines, with a warning.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Platform.h"
#include "base/ReadWarnings.h"
#include "base/TextEncoding.h"

namespace vantrel {

// No reader accepts a longer line; one that is longer ends the reading at that line, before the
// rest of it is read, so that an endless input cannot exhaust the memory.
constexpr std::size_t kMaxLineLength = 32767;

// The bytes of one input: a file read a piece at a time (it is never mapped, so a file that
// shrinks while it is read cannot bring the program down), or bytes already in memory.
class ByteSource {
public:
    // ReadError naming the file when it cannot be opened or is a folder.
    static ByteSource OpenFile(const std::string& fileName);
    // Standard input, read as it comes (it is left open at the end); `name` is what messages call it.
    static ByteSource StandardInput(std::string name);
    // `bytes` must outlive the source; `name` is what messages call them.
    static ByteSource InMemory(std::string name, std::string_view bytes);

    ByteSource(ByteSource&& other) noexcept;
    ByteSource& operator=(ByteSource&& other) noexcept;
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;
    ~ByteSource();

    const std::string& Name() const { return name_; }

    // Up to `size` further bytes into `into`; 0 at the end. ReadError when the file cannot be
    // read, or when a regular file turns out longer or shorter than it was when it was opened.
    std::size_t Read(char* into, std::size_t size);

    // The next bytes (up to `size`, fewer at the end) without taking them: the following reads
    // give them again. Reads what is needed from the input, once, so that a pipe can be looked at
    // before it is read.
    std::string_view Peek(std::size_t size);

    // Starts again from the first byte; ReadError where the input cannot be read twice (a pipe).
    void Rewind();

    // The whole input when it is in memory (without its byte-order mark, and as Latin-1 text when
    // it was UTF-8 or UTF-16), so that lines can be read without copying.
    const std::string_view* Memory() const { return file_ == platform::kNoFile ? &memory_ : nullptr; }
    // The bytes a regular file held when it was opened, for room reserved at once; 0 where
    // nothing says (a pipe).
    std::size_t SizeAtOpen() const { return sizeAtOpen_ > 0 ? static_cast<std::size_t>(sizeAtOpen_) : 0; }
    // Whether Rewind can start it again: a regular file or bytes in memory, not a pipe.
    bool CanReadTwice() const { return file_ == platform::kNoFile || sizeAtOpen_ >= 0; }

    // Where what was changed in reading goes: characters outside Latin-1, NUL bytes removed from
    // lines. Nowhere until one is given.
    void ReportTo(ReadWarnings* warnings);
    ReadWarnings* Warnings() const { return warnings_; }

    // Told how many bytes each read of a file brought, to show the progress of a long reading.
    void ObserveReads(std::function<void(std::size_t)> observer) { observer_ = std::move(observer); }

private:
    ByteSource() = default;
    void Close();
    std::size_t ReadRaw(char* into, std::size_t size);
    // Reads the first bytes and tells the encoding from them; a byte-order mark is dropped.
    void Start();
    std::size_t ReadDecoded(char* into, std::size_t size);
    std::size_t ReadUnpeeked(char* into, std::size_t size);
    void ReportReplaced();

    std::string name_;
    std::string_view memory_;
    std::size_t memoryPos_ = 0;
    platform::FileHandle file_ = platform::kNoFile;
    long long sizeAtOpen_ = -1;  // -1: not a regular file, whose size says nothing
    long long readSoFar_ = 0;
    std::function<void(std::size_t)> observer_;
    bool ownsFile_ = true;  // standard input is left open
    std::string peeked_;    // text looked at by Peek and not read yet
    bool started_ = false;
    Latin1Decoder decoder_{TextEncoding::Latin1};
    std::string pending_;  // bytes read but not handed out yet: the head, or part of a character
    std::string decoded_;  // the Latin-1 text of encoded bytes in memory
    bool replacedReported_ = false;
    ReadWarnings* warnings_ = nullptr;
};

// The whole input as text, NUL bytes removed (with a warning naming their lines); a line longer
// than kMaxLineLength is a ReadError naming its number.
std::string ReadAllText(ByteSource& source);

// The local calendar day on which a file was last written; nullopt when it cannot be told.
std::optional<std::chrono::year_month_day> LocalModificationDay(const std::string& fileName);
// Today's local calendar day.
std::chrono::year_month_day LocalToday();

// The whole file as text (any line end counts for the length limit); ReadError naming the file.
std::string ReadFileBytes(const std::string& fileName);

// While one lives, reading on its thread stops before each piece of a file and every so many
// lines to call `check`, which may throw to end the reading there: a long conversion can be
// stopped at once whatever reads it, from a file already read into memory too. What it throws
// should not derive from std::exception, so that no reader takes it for a failure of its own.
class ReadingCheck {
public:
    explicit ReadingCheck(std::function<void()> check);
    ~ReadingCheck();
    ReadingCheck(const ReadingCheck&) = delete;
    ReadingCheck& operator=(const ReadingCheck&) = delete;
    // Calls the innermost live check of this thread, if there is one.
    static void Run();

private:
    std::function<void()> check_;
    const ReadingCheck* outer_;
};

class NativeLines {
public:
    // Lines of bytes in memory (they must outlive the reading).
    explicit NativeLines(std::string_view bytes);
    // Lines of a source, read through one reusable buffer when the source is a file.
    explicit NativeLines(ByteSource& source);

    // The next line, empty ones included (the readers skip them; some count them). The view
    // stays valid until the next call. ReadError for a line longer than kMaxLineLength.
    bool Next(std::string_view& line);

    // 1-based number of the line Next returned last.
    int Number() const { return number_; }

private:
    bool Fill();
    // Gives the line from begin_ to `end` as the next one, without its NUL bytes where `nul`.
    void Deliver(std::string_view& line, std::size_t end, bool nul);

    ByteSource* source_ = nullptr;
    std::string name_;
    std::unique_ptr<char[]> buffer_;
    const char* data_ = nullptr;
    std::size_t begin_ = 0, end_ = 0, scanned_ = 0;
    bool atEnd_ = true;
    int number_ = 0;
    std::string withoutNul_;  // a line that held NUL bytes, without them
    ReadWarnings* warnings_ = nullptr;
};

}  // namespace vantrel
