#pragma once
// What a reader is given: the little of the program it may touch, and its input as bytes with a
// name. Readers open no file; tests and fuzzing hand them bytes directly.
//
// What a reader does with it: it either returns, having stored what it read and reported each
// line it skipped or took only in part as a warning (line and reason), or throws ReadError naming
// the file, the first line it could not read (0 where no line applies) and the reason; what it
// stored before that stays. Its steps reject input with InputError (or ConversionError), which
// the line loop turns into that ReadError; any other exception is a fault of the program and
// passes through untouched.

#include <any>
#include <chrono>
#include <map>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <typeindex>

#include "base/NativeText.h"
#include "base/ReadError.h"
#include "base/ReadWarnings.h"

namespace vantrel {

// What readers carry from one file to the next of the same kind read into one document. Each
// reader keeps a type of its own here, made empty on first use, so the state stays in the
// reader's file and nothing else needs to know its shape.
class ReaderCarryOver {
public:
    template <typename State>
    State& Of()
    {
        std::any& slot = slots_[std::type_index(typeid(State))];
        if (!slot.has_value()) slot.emplace<State>();
        return std::any_cast<State&>(slot);
    }

private:
    std::map<std::type_index, std::any> slots_;
};

// The settings the JILS DAT reader completes its documents with.
struct JilsDefaults {
    const std::string& LoadPlateRadius;
    const std::string& SensorXAxis;
    const std::string& SensorYAxis;
};

// The state of one reading: made fresh for each new document from the settings, so that a file
// gives the same document whatever was read before it; kept with a document that further files
// are merged into, where carrying the device's configuration over is the point.
struct ReadingState {
    int NumSensors = 0;
    ReaderCarryOver CarryOver;
};

struct ReaderContext {
    // The reading's deflection-sensor count: readers that find a count replace it, readers that
    // cut drop lines use it.
    int& NumSensors;
    JilsDefaults Jils;
    // What readers carry from one file to the next of the same kind merged into one document.
    ReaderCarryOver& CarryOver;
    // Lines the reader skipped or took only in part, and why.
    ReadWarnings& Warnings;
};

struct ReaderInput {
    std::string Name;  // as the user gave it: in messages, and the root of the FileName element
    ByteSource& Bytes;
    // The local calendar day the file was last written (only the KUAB FVO.INI reader uses it).
    std::optional<std::chrono::year_month_day> Modified;
    // Modified is the day of reading: the input has no date of its own (standard input).
    bool ModifiedIsReadingDay = false;
};

// The shared line loop: `handle(line, number)` for each non-empty line still to come (lines end
// at CR; numbers count every line, empty ones too). An input error inside becomes a ReadError
// naming the input and the line.
template <typename Handle>
void ForEachLine(NativeLines& lines, const std::string& name, Handle&& handle)
{
    std::string_view line;
    while (lines.Next(line)) {
        if (line.empty()) continue;
        AtLine(name, lines.Number(), [&] { handle(line, lines.Number()); });
    }
}

template <typename Handle>
void ForEachLine(ReaderInput& input, Handle&& handle)
{
    NativeLines lines(input.Bytes);
    ForEachLine(lines, input.Name, std::forward<Handle>(handle));
}

}  // namespace vantrel
