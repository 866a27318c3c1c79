#pragma once
// What the KUAB FWD reader carries from one file to the next within one run: the table layout
// (column widths, the time column, the temperature columns, the columns placed by their units)
// and the sensor offsets. A later file that lacks its own column-title, dash or sensor-distance
// lines is read with the last ones seen.

#include <array>
#include <cstdint>
#include <string>

namespace vantrel {

// A table whose titles the English rules do not know, laid out by the units under them. While
// Placed is false the table is as the English titles lay it out: the load in column 3 and the
// deflections after it.
struct KuabPlacedColumns {
    bool Placed = false;
    std::int16_t Load = 0;                       // 0: no column has a load unit
    std::array<std::int16_t, 26> Deflections{};  // entry 0 their count, then their columns in order
    std::int16_t Latitude = 0, Longitude = 0;    // 0: no position columns
    bool PositionsInDegrees = false;             // otherwise NMEA, degrees and minutes (ddmm.mmmm)
};

struct KuabCarryOver {
    // Table column holding the time of a drop; 0 while no column title has named one.
    std::int16_t TimeColumn = 0;

    // Entry 0: the number of dash runs on the last dash line; entry i: the width of column i.
    std::array<std::int32_t, 26> ColumnWidths{};

    // Entry 0: the number of temperature columns t; entries 1 to t: the column of each reading.
    std::array<std::int16_t, 11> TemperatureColumns{};

    // The sensor-distance words as SplitOnSpaces gives them (entry 0 the count, then the offsets,
    // then the unit word), with the offsets of sensors in front of the plate made negative.
    std::array<std::string, 26> SensorOffsets;

    // The same words as the sensor-distance line wrote them, before any position line signed
    // them: a repeated position line starts again from these.
    std::array<std::string, 26> SensorDistances;

    KuabPlacedColumns Placed;
};

}  // namespace vantrel
