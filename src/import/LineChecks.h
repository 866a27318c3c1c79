#pragma once
// What is wrong with the values of one line that a reader still takes as they stand: each fault
// noted as it is found, then one warning for the line, so that a bad line costs one entry of the
// short list the user sees.

#include <string>
#include <string_view>

#include "base/Latin1.h"
#include "base/ReadWarnings.h"
#include "base/NumberText.h"
#include "import/Sniffing.h"

namespace vantrel {

class LineFaults {
public:
    // `listed`: whether the warning will be listed; otherwise it is only counted and what is
    // noted need not be written (a file can give a million of one kind).
    explicit LineFaults(bool listed = true) : listed_(listed) {}
    bool Listed() const { return listed_; }

    void Note(std::string_view fault)
    {
        noted_ = true;
        if (!listed_) return;
        if (!faults_.empty()) faults_ += "; ";
        faults_ += fault;
    }

    // `what` ("load", "deflection 3") must be a number; `where` tells the missing one apart.
    void ExpectNumber(std::string_view what, std::string_view text, std::string_view where = {})
    {
        const std::string_view value = TrimBlanks(text);
        if (value.empty()) Note(std::string(what) + (where.empty() ? "" : " ") + std::string(where) + " is missing");
        else if (!IsNumber(value)) Note(std::string(what) + " " + Quoted(value) + " is not a number");
    }

    // A number, blanks around it allowed. Lines of many values test this before they name one.
    static bool IsNumber(std::string_view text) { return IsNumberText(text); }

    // `text` such as "9:31" or "09:31:00" must be a time of day.
    void ExpectTime(std::string_view text)
    {
        try {
            TimeOfDayText(text);
        } catch (const ConversionError&) {
            Note("time " + Quoted(text) + " is not a time of day");
        }
    }

    // One warning for `line` when anything was noted.
    void Report(ReadWarnings& warnings, int line) const
    {
        if (noted_) warnings.Add(line, faults_);
    }

private:
    std::string faults_;
    bool listed_;
    bool noted_ = false;
};

}  // namespace vantrel
