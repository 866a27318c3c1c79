#pragma once
// A PDDX file's drops read apart from its document, for a table of them: a file of a million
// drops then costs a pointer to each drop's text rather than an element of the document each.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/DocumentText.h"
#include "document/PDDXFile.h"
#include "import/ReaderInput.h"

namespace vantrel {

// Values too long for a document's text, by the empty kept value that stands for each.
using LongValues = std::unordered_map<const char*, std::string>;

// A kept value's text (see KeptValue), or the long value it stands for; empty for none.
inline std::string_view KeptOrLongValue(const char* kept, const LongValues& longValues)
{
    if (kept && kept[0] == 0 && !longValues.empty())
        if (const auto found = longValues.find(kept); found != longValues.end()) return found->second;
    return KeptValue(kept);
}

struct PDDXDropValues {
    // The values of DropData_1, DropData_2, ... of each test location of the document, in order,
    // as the document's text keeps them (see KeptValue).
    std::vector<std::vector<const char*>> Locations;
    vantrel::LongValues LongValues;
    // The most commas of any drop's value, counted as it was read: a table's width.
    std::size_t MostCommas = 0;

    std::string_view Value(const char* kept) const { return KeptOrLongValue(kept, LongValues); }
};

// Reads a PDDX file into a new document as ReadPDDX does, warnings and counters alike, but for
// the drops of its test locations, which go to `drops`. Their values are in the document's text:
// they last as long as the document.
void ReadPDDXDropsApart(ReaderContext& context, ReaderInput& input, PDDXFile& document, PDDXDropValues& drops);

}  // namespace vantrel
