#pragma once
// What the Carl Bro FWD reader carries from one file to the next within one run: the temperature
// columns named by the last column-title line, used by the drop lines of later files until a new
// column-title line names others; and the test location the last "Chainage" line opened, with
// whether it has its time, which station lines of a later file go on with until their own
// "Chainage" line.

#include <array>
#include <cstdint>
#include <string>

namespace vantrel {

class PDDXFile;

struct CarlBroCarryOver {
    // Entry 0: the number of temperature columns t; entries 1 to t: the column of each reading.
    std::array<std::int16_t, 11> TemperatureColumns{};

    // The document holding the last test location (compared, never used: it may be gone) and
    // that location's section name. A later file continues it only when read into the same
    // document; in another one it has no test location until its first "Chainage" line.
    const PDDXFile* LocationDocument = nullptr;
    std::string LocationName;
    // The last test location has received its TestTime.
    bool LocationTimed = false;
};

}  // namespace vantrel
