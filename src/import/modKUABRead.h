#pragma once
// KUAB FWD field data (.FWD) and the KUAB configuration FVO.INI.
//
// The data file is line oriented; the first character of a line says what it holds: "C", "H"
// and "I" are "key: value" header lines, "J" lines are the table header (column titles, units,
// dash runs giving the column widths) and "D" lines are one drop each. Titles in other languages
// are placed by the units under them (KuabColumns.h). The table layout and the
// sensor offsets carry over into the next KUAB file of the same run (context.CarryOver.Kuab).
// A file whose title line begins "IKUAB FWD FILE" writes its date day/month/year with slashes.

#include <string>
#include <string_view>

#include "document/PDDXFile.h"
#include "import/ReaderInput.h"
#include "import/modShared.h"

namespace vantrel {


// What the data reader keeps between the lines of one file; a new file starts with a new one.
struct KuabFwdFileState {
    bool LocationOpen = false;               // a data line of this file has opened a test location
    bool SlashDate = false;                  // "Date Created" is d/m/y, written out as dd-mmm-yyyy
    int Line = 0;                            // the number of the line being read, for warnings
    PDDXSection* CurrentLocation = nullptr;  // the test location that takes the drops
    std::string LastStation;                 // station text of the last data line
    FieldArray Fields;                       // the current line's words, reused line to line
    std::string Drop;                        // the current drop's value, reused likewise
    // Column titles the English rules do not know, waiting for the units line under them.
    std::string PendingTitles;
    int PendingTitlesLine = 0;

    // The elements every data line sets, looked up once rather than per drop.
    PDDXElement* StartTime = nullptr;
    PDDXElement* EndTime = nullptr;
    PDDXElement* TestTime = nullptr;
    PDDXElement* TestLocation = nullptr;
    PDDXElement* TestTemperatures = nullptr;
    PDDXElement* GpsLocation = nullptr;
};

void ReadKuabFwd(ReaderContext& context, ReaderInput& input, PDDXFile& document);

// One non-empty line after the first, line `number` of the file (for warnings). Throws on a line
// beyond the reader's limits.
void ParseKuabFwdLine(ReaderContext& context, KuabFwdFileState& file, std::string_view line, int number,
                      PDDXFile& document);

// FVO.INI: model, load-cell and sensor calibration factors and the distance-meter factor. A
// missing or non-numeric value where a number belongs is a ReadError naming section and key.
void ReadKuabFvoIni(ReaderContext& context, ReaderInput& input, PDDXFile& document);

}  // namespace vantrel
