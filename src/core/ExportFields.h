#pragma once
// What every export table shares: a document value by name, a drop's items, and CSV fields by
// RFC 4180 (comma-separated, fields holding a comma, a quote or a line end in double quotes, CR LF
// line ends), text in UTF-8.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/NumberText.h"
#include "core/Check.h"
#include "document/PDDXFile.h"

namespace vantrel {

struct ExportOptions {
    double NormalLoad = 0;  // kN; 0 keeps the loads as measured
    bool Indices = false;
    double Poisson = 0.35;
    double Tolerance = 25;   // mm: how far a sensor's offset may be from the offset an index wants
    bool Histories = false;  // the time histories rather than the drops
    bool GeoJson = false;    // the test locations with a GPS fix as GeoJSON rather than CSV
    unsigned Jobs = 1;       // threads that make the drops' rows; the table is the same whatever the number
};

std::string ValueOf(const PDDXSection& section, std::string_view key);
std::string ValueOf(const PDDXFile& document, const SectionAndKey& name);

// Appends one field after a comma (none for the first of a row), Latin-1 text as UTF-8, in double
// quotes when it holds a comma, a quote or a line end, after an apostrophe when a spreadsheet would
// take it for a formula.
void Field(std::string& row, std::string_view text, bool latin1 = true, bool first = false);

// Appends a field that holds a number as ParseNumber reads it (an item read as one, or a computed
// number as Rounded writes it), or nothing: such text never needs quotes and never reads as a
// formula, so it is written as it stands.
inline void NumberField(std::string& row, std::string_view number)
{
    row += ',';
    row.append(number);
}

// Appends a field of `value` as Rounded writes it.
inline void RoundedField(std::string& row, double value)
{
    row += ',';
    AppendRoundedPlainText(row, value, 6);
}

// The items of a value such as a drop's "load, d1, ..., dn": split at its commas, blanks removed.
std::vector<std::string_view> Items(std::string_view value);
// The same into `items`, whose room is kept from drop to drop.
void Items(std::string_view value, std::vector<std::string_view>& items);
// Appends the items of `value` as Field writes them, then empty fields until there are `width`;
// `items` holds them as Items gives them.
void ItemFields(std::string& row, std::string_view value, std::size_t width, std::vector<std::string_view>& items);
// The same written at `to`, which has room for ItemFieldsRoom(value.size(), width) characters,
// where every item is a number or empty (nearly every drop): the end; nullptr, and `to` left to
// be written again, for a drop whose items need ItemFields.
char* PlainItemFields(std::string_view value, std::size_t width, std::vector<std::string_view>& items, char* to);
constexpr std::size_t ItemFieldsRoom(std::size_t size, std::size_t width) { return size + width + 9; }
// The same, with each item read by FiniteNumber into `numbers`: in one pass over the text where the
// items are plain decimals, as nearly all are.
void Items(std::string_view value, std::vector<std::string_view>& items, std::vector<std::optional<double>>& numbers);

// Writes the rows gathered so far once they are many, so that a table is never held twice; `last`
// writes them whatever their size.
void WriteRows(std::ostream& out, std::string& rows, bool last = false);

// A computed number in at most six significant digits, never in exponent form.
std::string Rounded(double value);

// The numbered elements of a test location whose handles start with `prefix`, with their numbers.
template <typename Each>
void ForEachNumbered(const PDDXSection& location, std::string_view prefix, Each each)
{
    for (const PDDXElement& element : location.Elements())
        if (const std::optional<int> number = NumberAfter(element.Handle(), prefix)) each(*number, element.Value());
}

// The test location sections of a document, with their numbers.
template <typename Each>
void ForEachLocation(const PDDXFile& document, Each each)
{
    for (const PDDXSection& section : document.Sections())
        if (const std::optional<int> number = NumberAfter(section.Handle(), pddx::TestLocation::kPrefix))
            each(*number, section);
}

}  // namespace vantrel
