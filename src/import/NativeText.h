#pragma once
// Reading native FWD text files: single-byte text, one line at a time. A line ends at a carriage
// return, which is dropped together with a following line feed; a line feed alone ends nothing.

#include <string>
#include <string_view>

namespace vantrel {

// The whole file; ReadError naming the file when it cannot be opened or read.
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
