#pragma once
// JILS FWD data file (.DAT): keyword lines for the header, then one blank-separated data line
// per drop, in a short layout (load, deflections) or an extended one (point, lane, station, -,
// load, deflections, surface temperature). Loads are in kips, deflections in mils.

#include <cstdint>
#include <string>
#include <string_view>

#include "document/PDDXFile.h"
#include "import/ReaderInput.h"
#include "import/modShared.h"

namespace vantrel {


// What the reader keeps from line to line. Everything starts afresh with each file: a file
// without a "Temp:" line must not inherit the air temperature of the previous file.
struct JilsDatState {
    bool ExtendedFormat = false;            // data lines are in the extended layout
    bool FirstDropSeen = false;             // a data line of this file has been handled
    PDDXSection* CurrentLocation = nullptr;  // the test location that takes the drops
    std::int32_t LocationNumber = 0;        // its point number (extended layout)
    std::string AirTemperature;             // from the last "Temp:" line
    int Line = 0;                           // the number of the line being read, for warnings
};

void ReadJilsDat(ReaderContext& context, ReaderInput& input, PDDXFile& document);

// Handles one line split with SplitOnSpaces. May rearrange `fields` (the date and time of a
// "Date-Time:" line are mended in place).
void ParseJilsDatLine(ReaderContext& context, JilsDatState& dat, FieldArray& fields, PDDXFile& document);

}  // namespace vantrel
