#pragma once
// KUAB tables titled in words the English rules do not know (another language, no "Distance" or
// "Station"): each column is placed by the unit under it and the shape of its title, and the
// words of the position columns are read as degrees.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/ReaderSupport.h"

namespace vantrel {

// A table whose titles the English rules do not know, laid out by the units under them. While
// Placed is false the table is as the English titles lay it out: the load in the third column and
// the deflections after it. Columns are numbered from 0, as the fields of a data line less its
// record letter.
struct KuabPlacedColumns {
    bool Placed = false;
    std::optional<std::size_t> Load;                 // none: no column has a load unit
    std::vector<std::size_t> Deflections;            // in order
    std::optional<std::size_t> Latitude, Longitude;  // none: no position columns
    bool PositionsInDegrees = false;                 // otherwise NMEA, degrees and minutes (ddmm.mmmm)
};

// A table line less its record letter, as words with their places in it.
struct KuabWord {
    std::string_view Text;
    std::size_t Begin = 0, End = 0;  // End is one past the last character
};
std::vector<KuabWord> KuabWords(std::string_view line);

// Column titles the English rules do not know: a sensor title (D0, D1, ...) among them, or at least
// three words with none a number or a unit word. A note such as "Table 1" is none.
bool NamesKuabSensor(const std::vector<KuabWord>& words);
bool LooksLikeKuabTitles(const std::vector<KuabWord>& words);
// A line of dash runs and nothing else.
bool IsKuabDashLine(const std::vector<KuabWord>& words);
// A line with a word that is a number: a note, never titles or units.
bool IsKuabNote(const std::vector<KuabWord>& words);

// The sensor a deflection title names: the number after its first character, plus 1. Throws
// InputError when that is no whole number or is beyond 24.
std::size_t KuabSensorNumber(std::string_view title);
// The sensor a title D<n> names, n + 1; 0 for any other title. Throws InputError beyond D24.
std::size_t KuabSensorOfTitle(std::string_view title);

// What the titles and the units under them say of each column (numbered from 0, as in data lines).
struct KuabColumnPlan {
    KuabPlacedColumns Columns;
    std::vector<std::size_t> Sensors;          // per deflection column: its sensor, 1 for the first offset
    std::vector<std::size_t> Temperatures;     // the temperature columns in order
    std::vector<std::string> TemperatureUses;  // "Air", "Pavement", "Ground" or the title as written
    std::optional<std::size_t> Time;           // none: no time column
    std::string LonePosition;                  // "latitude" or "longitude" when the other is missing
    std::string StationUnit, LoadUnit, DeflectionUnit, TemperatureUnit;  // as written
    bool Customary = false;                                              // the load is in lbf
    std::vector<std::string> UnitsUnderNoTitle;                          // unit words no title stands over alone
};

// Equal word counts pair titles and units in order; otherwise each unit belongs to the title it
// stands under. Throws InputError for more than 10 temperature columns.
KuabColumnPlan PlanKuabColumns(std::string_view titles, std::string_view units);

// One drop's position as "latitude, longitude" in degrees rounded to 7 decimals, or what is wrong;
// `columns` has both position columns.
struct KuabPosition {
    std::string Text;
    std::string Fault;  // empty when both coordinates were read
};
KuabPosition ReadKuabPosition(const LineFields& fields, const KuabPlacedColumns& columns);

}  // namespace vantrel
