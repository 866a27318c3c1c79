#pragma once
// A small JILS time history of our own making, in the field program's style: the device line,
// the keyword lines, then for each drop a header line and one line per sample: the time in
// seconds (5 kHz), the load in kips and three deflections in mils.

#include <cstdio>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace vantrel::test {

inline std::vector<std::string> JilsTimeHistoryLines(int drops, int samples)
{
    std::vector<std::string> lines = {"JILS FWD Unit 12", "Date-Time: 6/14/2019 10:02:11", "Sensors: D1 D2 D3",
                                      "Location: SR-9"};
    for (int drop = 1; drop <= drops; ++drop) {
        lines.push_back("Point: 1  Drop: " + std::to_string(drop));
        for (int i = 0; i < samples; ++i) {
            const double rise = i < samples / 2 ? i : samples - i;  // the pulse up and down again
            char line[96];
            std::snprintf(line, sizeof line, "%.4f %.3f %.2f %.2f %.2f", i * 0.0002, rise * 0.6, rise * 0.9,
                          rise * 0.55, rise * 0.2);
            lines.push_back(line);
        }
    }
    return lines;
}

inline std::string JilsTimeHistory(int drops, int samples) { return CrLf(JilsTimeHistoryLines(drops, samples)); }

}  // namespace vantrel::test
