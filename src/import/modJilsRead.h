#pragma once
// JILS FWD data file (.DAT): keyword lines for the header, then one blank-separated data line
// per drop, in a short layout (load, deflections) or an extended one (point, lane, station, -,
// load, deflections, surface temperature). Loads are in kips, deflections in mils. A point may
// carry its GPS position, notes and air temperature on lines of their own. The time history
// that the field program writes beside it (.THY) is refused: it holds samples, not drops.

#include <cstdint>
#include <string>
#include <string_view>

#include "document/PDDXFile.h"
#include "import/ReaderInput.h"
#include "import/modShared.h"

namespace vantrel {


// The lines a point carries besides its drops ("GPS:", "Note:", "Air Temp (F):"), met before its
// first data line: they wait for it. Each with the number of its line (0: none waits).
struct JilsStationLines {
    std::string Gps;  // "latitude, longitude"
    int GpsLine = 0;
    std::string Notes;  // joined by "; "
    int NotesLine = 0;
    std::string AirTemperature;
    int AirLine = 0;
};

// What the reader keeps from line to line. Everything starts afresh with each file: a file
// without a "Temp:" line must not inherit the air temperature of the previous file.
struct JilsDatState {
    bool ExtendedFormat = false;            // data lines are in the extended layout
    bool FirstDropSeen = false;             // a data line of this file has been handled
    PDDXSection* CurrentLocation = nullptr;  // the test location that takes the drops
    std::int32_t LocationNumber = 0;        // its point number (extended layout)
    std::string AirTemperature;             // from the last "Temp:" line
    // The current point's data lines are seen and its "Drop Sequence Completed Time:" line is
    // not: the lines a point carries belong to it.
    bool PointOpen = false;
    std::string StationAir;   // the current point's own air temperature; empty: the header's
    std::string Surface;      // the surface temperature of its last data line (extended layout)
    JilsStationLines Waiting;  // met while no point was open, for the next one
    bool GpsRead = false;     // a point took a GPS position
    int Line = 0;             // the number of the line being read, for warnings
};

void ReadJilsDat(ReaderContext& context, ReaderInput& input, PDDXFile& document);

// Handles one line, `fields` being the line split with SplitOnSpaces. May rearrange `fields`
// (the date and time of a "Date-Time:" line are mended in place).
void ParseJilsDatLine(ReaderContext& context, JilsDatState& dat, std::string_view line, FieldArray& fields,
                      PDDXFile& document);

}  // namespace vantrel
