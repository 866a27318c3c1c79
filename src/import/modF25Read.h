#pragma once
// Dynatest F25 files: comma-separated records, each named by the numeric code in its first
// field (header records, then per station its temperatures, drops and time history).

#include <cstdint>
#include <string>

#include "document/PDDXFile.h"
#include "import/ReaderInput.h"
#include "import/modShared.h"

namespace vantrel {


// Where the reader stands between the lines of one file; every file starts from a fresh one.
struct F25State {
    bool DropMode = false;         // data lines are drops of the current test location
    bool HistoryMode = false;      // data lines are time-history samples of its last drop
    bool SkipNextStation = true;   // the first station record of a file opens no test location
    int SampleCounter = 0;
    int HistoryDrop = -1;          // the drop the samples belong to, once a sample has read it
    bool Metric = false;           // left by the last unit code of record 5010
    int XSensors = -1;             // sensors of this file's X offsets (5020); -1 before them
    int YSensors = -1;             // and of its Y offsets (5021)
    // A GPS fix stands above the station record it belongs to, so it waits for that record.
    std::string PendingGps;
    int PendingGpsLine = 0;        // the line of the waiting fix; 0 when none waits
    std::string PendingComments;   // comment records met before the file's first test location
    PDDXSection* CurrentTestLocation = nullptr;
    std::string Value;             // the line's value, built in one reused buffer
};

// Reads the whole file into `document`, after the test locations it already holds. A line that
// cannot be handled is skipped, and a value that is not what its field holds is kept as it
// stands, each with a warning; only an unreadable file or a line with more than 40 fields ends
// the reading (ReadError naming file and line), and then the closing values are not written.
void ReadF25File(ReaderContext& context, ReaderInput& input, PDDXFile& document);

// Handles line `line` split with SplitOnCommas. Never throws: a failure ends the handling of the
// line where it happens, keeping what the line set before it, with a warning saying why.
void ParseF25Line(ReaderContext& context, F25State& f25, const FieldArray& fields, PDDXFile& document, int line);

}  // namespace vantrel
