#pragma once
// The errors of reading an input: what was wrong with it (InputError), and the error that ends a
// conversion, naming which file, which line (0 where none applies) and what was wrong (ReadError).

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

#include "base/Latin1.h"
#include "base/NumberText.h"

namespace vantrel {

// The input is not what its format allows; the reason says what, the line loop adds where.
// ConversionError (OverflowError with it) is an input error too; any other exception is a fault of the program.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ReadError : public std::runtime_error {
public:
    // Control bytes in the reason are escaped: a NUL would cut the message short, and raw line
    // ends or escapes from the input would garble the terminal.
    ReadError(const std::string& file, int line, const std::string& reason)
        : std::runtime_error(EscapeControls(file) + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " +
                             EscapeControls(reason)),
          file_(file),
          line_(line),
          reason_(EscapeControls(reason))
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

// Runs `step`; an input error in it goes to `failed` with its reason instead of on. Everything
// else passes through as it is.
template <typename Step, typename Failed>
void OnInputError(Step&& step, Failed&& failed)
{
    try {
        step();
    } catch (const InputError& e) {
        failed(e.what());
    } catch (const ConversionError& e) {
        failed(e.what());
    }
}

// Runs one step of reading `file` at `line`; an input error in it becomes a ReadError naming both.
template <typename Step>
void AtLine(const std::string& file, int line, Step&& step)
{
    OnInputError(std::forward<Step>(step), [&](const char* reason) { throw ReadError(file, line, reason); });
}

}  // namespace vantrel
