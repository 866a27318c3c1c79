#pragma once
// Text routines that the native-format readers share. They keep no state and touch no file.

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace vantrel {

// The readers' field array: entry 0 holds the field count, entries 1 to 40 the fields.
using FieldArray = std::array<std::string, 41>;

// True when `key` occurs anywhere in `text`, letter case ignored. Note the order: sought, searched.
bool TextContains(std::string_view key, std::string_view text);

// The PDDX unit word for an abbreviation found in an FWD file ("mm" -> "millimeter"), or `unit`
// itself when it is none of them. Nothing is trimmed.
std::string NormaliseUnitName(std::string_view unit);

// Every "," replaced by ".".
std::string CommaToPoint(std::string_view number);

// Blanks removed at both ends and each run of blanks inside reduced to one; tabs are untouched.
std::string CollapseSpaces(std::string_view line);

// Split a line into `fields`: entry 0 the count as decimal text, entries 1 to count the fields,
// every entry above emptied. Tabs or commas separate outside double quotes (the quotes stay in
// the fields, and the last character of the line never separates); runs of blanks separate for
// SplitOnSpaces. A line with more fields than the array holds throws std::out_of_range after
// filling what fits; one longer than 32,767 characters throws OverflowError.
void SplitOnTabs(std::string_view line, std::span<std::string> fields);
void SplitOnCommas(std::string_view line, std::span<std::string> fields);
void SplitOnSpaces(std::string_view line, std::span<std::string> fields);

}  // namespace vantrel
