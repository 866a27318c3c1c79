#pragma once
// The error that ends a conversion: which file, which line (0 where none applies), what was wrong.

#include <exception>
#include <stdexcept>
#include <string>

#include "base/Latin1.h"

namespace vantrel {

class ReadError : public std::runtime_error {
public:
    // Control bytes in the reason are escaped: a NUL would cut the message short, and raw line
    // ends or escapes from the input would garble the terminal.
    ReadError(const std::string& file, int line, const std::string& reason)
        : std::runtime_error(EscapeControls(file) + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " +
                             EscapeControls(reason)),
          file_(file), line_(line), reason_(EscapeControls(reason))
    {
    }
    const std::string& File() const { return file_; }
    int Line() const { return line_; }
    const std::string& Reason() const { return reason_; }

private:
    std::string file_;
    int line_;
    std::string reason_;
};

// Runs one step of reading `file` at `line`; any failure in it becomes a ReadError naming both.
template <typename Step>
void AtLine(const std::string& file, int line, Step&& step)
{
    try {
        step();
    } catch (const ReadError&) {
        throw;
    } catch (const std::exception& e) {
        throw ReadError(file, line, e.what());
    }
}

}  // namespace vantrel
