#pragma once
// Carl Bro FWD files, exported as tab-separated text, and the Carl Bro configuration exported as
// tab-separated text.
//
// The FWD text is a sequence of blocks, each opened by a line whose first field is "$" and the
// block number: 1 the general header, 2 a station header, 3 the drops of that station. The
// configuration text lists the transducers one after another, each heading followed by its
// "ID", "Slope" and date lines.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "document/PDDXFile.h"
#include "import/ReaderInput.h"
#include "import/modShared.h"

namespace vantrel {


// What the FWD reader knows between the lines of one file. The temperature columns are not here:
// they outlive the file (ReaderCarryOver::CarlBro), and so do the current location and its timed
// flag, which a file starts with as the previous one left them.
struct CarlBroFwdState {
    std::int16_t Block = 0;                  // the block the lines belong to; 0 before the first "$"
    PDDXSection* CurrentLocation = nullptr;  // where lane, remarks, times and drops go
    bool LocationTimed = false;              // CurrentLocation has its TestTime
    bool FileTimed = false;                  // the file has given StartTime
};

// Reads a Carl Bro FWD text file into `document`. The first failure ends the reading with a
// ReadError naming the file and line; what was stored before it stays.
void ReadCarlBroFwd(ReaderContext& context, ReaderInput& input, PDDXFile& document);

// Line `line` (non-empty), split with SplitOnTabs. Throws on a malformed line; a drop line too
// short to hold a drop, or values that are not the numbers or time they should be, are warnings.
void ParseCarlBroFwdLine(ReaderContext& context, CarlBroFwdState& file, const FieldArray& fields, PDDXFile& document,
                         int line);

// The characters between the first "[" and the first "]" ("Chainage [m]" gives "m"); without a
// "[" the text before the "]". std::invalid_argument when there is no "]", or it comes first.
std::string BracketContents(std::string_view text);

// The date whose year, month and day digits stand in `text` under the letters Y, M and D of
// `pattern` ("dd-mm-yy", "12-05-03" gives 12 May 2003); other pattern characters are skipped
// together with the text character under them. A year written with four digits where the pattern
// has two ("dd/mm/yy", "12/04/2023") is that year. `unread`, when given, receives what stands
// beyond the pattern. ConversionError when a part is not a number.
std::chrono::sys_days DateFromPattern(std::string_view pattern, std::string_view text, std::string* unread = nullptr);

// Reads a Carl Bro configuration text into `document`: serial numbers, calibration factors and
// dates of the geophones and the load cell. The first failure ends the reading with a ReadError
// naming the file and line; a slope that is not a number, and a geophone 1 that starts the lists
// again after other geophones, are warnings.
void ReadCarlBroConfig(ReaderContext& context, ReaderInput& input, PDDXFile& document);

}  // namespace vantrel
