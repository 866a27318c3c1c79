#pragma once
// Dynatest F20 files (the SHRP-compatible R32-20 and R80-20 layouts): header lines known by their
// line number, then fixed-column record lines known by their first character.

#include <cstdint>
#include <string>
#include <string_view>

#include "document/PDDXFile.h"
#include "import/ReaderInput.h"

namespace vantrel {


// Where the reader stands between the lines of one file; every file starts from a fresh one.
struct F20State {
    std::int16_t HeaderLength = 0;  // lines up to this number hold no records
    std::string Line3;              // plate and sensor geometry, needed when line 22 gives the units
    bool Metric = false;
    bool DropMode = false;          // drop lines belong to the current test location
    PDDXSection* CurrentTestLocation = nullptr;
};

// Reads the whole file into `document`, after the test locations it already holds. The first
// line that cannot be handled ends the reading with a ReadError naming file and line; the
// closing values are then not written. Values that are not the numbers, time or unit code they
// should be are kept as they stand, with a warning for their line.
void ReadF20File(ReaderContext& context, ReaderInput& input, PDDXFile& document);

// Handles line `lineNumber` (counted from 1, empty lines included); throws on a malformed line.
// Text fields lose the blanks that fill them to their columns' width.
void ParseF20Line(ReaderContext& context, F20State& f20, std::string_view line, int lineNumber, PDDXFile& document);

}  // namespace vantrel
