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

    // Tells the system that the bytes before `offset` will not be needed again, so that a large
    // file read from start to end does not hold all of its pages at once. Reading them anyway
    // still works: a mapped page comes back from the file.
    void ReleaseBefore(std::size_t offset) const;

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
    // Lines of a whole file, whose pages are given back as the reading passes them.
    explicit NativeLines(const FileBytes& file) : bytes_(file.View()), file_(&file) {}

    // The next line, empty ones included (the readers skip them; some count them).
    bool Next(std::string_view& line);

    // 1-based number of the line Next returned last.
    int Number() const { return number_; }

private:
    std::string_view bytes_;
    const FileBytes* file_ = nullptr;
    std::size_t released_ = 0;
    std::size_t pos_ = 0;
    int number_ = 0;
};

}  // namespace vantrel
