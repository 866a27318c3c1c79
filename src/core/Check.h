#pragma once
// Whether a document is ready for calibration: the elements the calibration needs that are
// empty, and the counts, lists and drops that do not agree with each other.

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/CheckLimits.h"
#include "document/PDDXFile.h"
#include "import/PddxDrops.h"

namespace vantrel {

// The elements the review grid flags for the user to complete while they are empty.
std::span<const SectionAndKey> FlaggedElements();

// The n of a numbered name ("Test Location 12", "DropData_3"), letter case ignored: 1 to 2147483647,
// as test locations and drops are numbered; nullopt for any other name.
// (The optional is made inline: returned from a call, it is written in two parts and read back
// as one, which stalls the processor on every key of a large file.)
int NumberAfterOrZero(std::string_view name, std::string_view prefix);
inline std::optional<int> NumberAfter(std::string_view name, std::string_view prefix)
{
    const int number = NumberAfterOrZero(name, prefix);
    return number > 0 ? std::optional<int>(number) : std::nullopt;
}

// One thing a document lacks. Section and key as the document names them, the message saying
// what is wrong; all three UTF-8.
struct Finding {
    std::string Section;
    std::string Key;
    std::string Message;
    // The calibration rule that found it (CheckLimits.h); empty for what the document lacks,
    // which is an error.
    std::string Code;
    Severity Level = Severity::Error;
    // The other elements it is about (section and key, UTF-8): the date of the data a calibration
    // is measured against, the sensor count a list should match, the other drops of a height, the
    // test time it repeats. The review window selects their rows with the finding's own.
    std::vector<std::pair<std::string, std::string>> Related;
};

// In document order: the empty flagged elements; loads given as a pressure; a sensor count that is not a whole number,
// or that the sensor distances do not match; distances and a plate radius that are not numbers; counters of test
// locations and drops that differ from what the document holds; drops that are not a load and one deflection per
// sensor, all numbers. Each finding is handed to `found` as it is made, so that a million of them are never held.
// A finding as check prints it after the file's name: "[SECTION] KEY: CODE LEVEL: what", the code
// and level for what a rule finds.
std::string FindingLine(const Finding& finding);

// Then what the calibration rules find, with `limits`. `drops`, where given: the document's drops,
// read apart from it (a PDDX file's, as export reads them), checked as if they were its elements.
void CheckDocument(const PDDXFile& document, const std::function<void(const Finding&)>& found,
                   const CheckLimits& limits = {}, const PDDXDropValues* drops = nullptr);

// CheckDocument a few sections at a time, so that a window stays responsive while a large
// document is checked. The document must not change until the check is done or dropped.
class SteppedCheck {
public:
    SteppedCheck(const PDDXFile& document, std::function<void(const Finding&)> found, const CheckLimits& limits = {},
                 const PDDXDropValues* drops = nullptr);
    ~SteppedCheck();
    SteppedCheck(const SteppedCheck&) = delete;
    SteppedCheck& operator=(const SteppedCheck&) = delete;
    // Checks up to `sections` more of the document's sections; true once it is checked whole.
    bool Continue(std::size_t sections);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace vantrel
