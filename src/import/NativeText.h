#pragma once
// Reading native FWD text files: single-byte text, one line at a time. A line ends at a carriage
// return, which is dropped together with a following line feed; a line feed alone ends nothing.

#include <string>
#include <string_view>

namespace vantrel {

// The bytes of a whole file, mapped into memory where the system allows it (no copy), read
// otherwise. ReadError naming the file when it cannot be opened or read.
class FileBytes {
public:
    explicit FileBytes(const std::string& fileName);
    ~FileBytes();
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    std::string_view View() const { return view_; }

private:
    void* mapped_ = nullptr;
    std::size_t mappedSize_ = 0;
    std::string copy_;  // a pipe or an empty file
    std::string_view view_;
};

// The whole file as text; ReadError naming the file when it cannot be opened or read.
std::string ReadFileBytes(const std::string& fileName);

class NativeLines {
public:
    explicit NativeLines(std::string_view bytes) : bytes_(bytes) {}

    // The next line, empty ones included (the readers skip them; some count them).
    bool Next(std::string_view& line);

    // 1-based number of the line Next returned last.
    int Number() const { return number_; }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

}  // namespace vantrel
