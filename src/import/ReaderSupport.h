#pragma once
// What the native-format readers share: text routines that keep no state and touch no file, and
// the small steps every reader takes (set or extend an element, keep a station's comments).

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "document/PDDXFile.h"

namespace vantrel {

// The most fields a line may hold.
constexpr std::size_t kMaxFields = 40;

// The fields of one split line, numbered from 0: views into the line, valid while it is. A field
// beyond the last reads as empty, as a record cut short leaves the rest of its fields empty. Kept
// from line to line, it allocates only for a line with more fields than any before it.
class LineFields {
public:
    std::string_view operator[](std::size_t i) const { return i < fields_.size() ? fields_[i] : std::string_view(); }
    std::size_t size() const { return fields_.size(); }
    bool empty() const { return fields_.empty(); }
    auto begin() const { return fields_.begin(); }
    auto end() const { return fields_.end(); }

    void clear() { fields_.clear(); }
    void push_back(std::string_view field) { fields_.push_back(field); }

private:
    std::vector<std::string_view> fields_;
};

// True when `key` occurs anywhere in `text`, letter case ignored. Note the order: sought, searched.
bool TextContains(std::string_view key, std::string_view text);

// The PDDX unit word for an abbreviation found in an FWD file ("mm" -> "millimeter"), or `unit`
// itself when it is none of them. Nothing is trimmed.
std::string NormaliseUnitName(std::string_view unit);

// Every "," replaced by ".".
std::string CommaToPoint(std::string_view number);

// Blanks removed at both ends and each run of blanks inside reduced to one; tabs are untouched.
std::string CollapseSpaces(std::string_view line);

// The characters between the first "[" and the first "]" ("Chainage [m]" gives "m"); without a
// "[" the text before the "]". InputError when there is no "]", or it comes first.
std::string BracketContents(std::string_view text);

// The date whose year, month and day digits stand in `text` under the letters Y, M and D of
// `pattern` ("dd-mm-yy", "12-05-03" gives 12 May 2003); other pattern characters are skipped
// together with the text character under them. A year written with four digits where the pattern
// has two ("dd/mm/yy", "12/04/2023") is that year. `unread`, when given, receives what stands
// beyond the pattern. ConversionError when a part is not a number.
std::chrono::sys_days DateFromPattern(std::string_view pattern, std::string_view text, std::string* unread = nullptr);

// Split a line into `fields`. Tabs or commas separate outside double quotes (the quotes stay in
// the fields, and the last character of the line never separates); runs of blanks separate for
// SplitOnSpaces, and a line of blanks has no field. A line with more than kMaxFields fields
// throws InputError; one longer than 32,767 characters throws OverflowError.
void SplitOnTabs(std::string_view line, LineFields& fields);
void SplitOnCommas(std::string_view line, LineFields& fields);
void SplitOnSpaces(std::string_view line, LineFields& fields);

// A station's comments are kept together, "; " between them; an empty one adds nothing.
inline void AppendComment(std::string& comments, std::string_view comment)
{
    if (comment.empty()) return;
    if (!comments.empty()) comments.append("; ");
    comments.append(comment);
}

inline void AppendComment(PDDXSection& location, std::string_view comment)
{
    PDDXElement& element = location.Element(pddx::TestLocation::TestComment);
    std::string value(element.Value());
    AppendComment(value, comment);
    element.SetValue(std::move(value));
}

}  // namespace vantrel
