// What the JILS files look like: the DAT data file, Setup.Par and the load-cell CFG file.
#include <algorithm>
#include <string_view>

#include "base/Latin1.h"
#include "import/Sniffing.h"

namespace vantrel {

// Marks: each keyword line ("Date-Time:", "Sensors:", "Drop Sequence Completed Time:",
// "Location:", "Temp:", "Operator:", "Comments:", "Note:"), and data lines of blank-separated
// numbers.
int SniffJilsDat(const SniffSample& sample)
{
    static constexpr std::string_view kKeywords[] = {"Date-Time:", "Sensors:", "Drop Sequence Completed Time:",
                                                     "Location:",  "Temp:",    "Operator:",
                                                     "Comments:",  "Note:"};
    bool seen[std::size(kKeywords)] = {};
    bool data = false;
    for (std::string_view line : sample.Filled()) {
        line = TrimBlanks(line);
        for (std::size_t k = 0; k < std::size(kKeywords); ++k)
            seen[k] = seen[k] || (line.starts_with(kKeywords[k]) &&
                                  (line.size() == kKeywords[k].size() || line[kKeywords[k].size()] == ' '));
        const WordCount words = CountWords(line);
        data = data || (words.Words >= 2 && words.Numbers == words.Words);
    }
    return Score(static_cast<int>(std::count(std::begin(seen), std::end(seen), true)) + data);
}

// Comment lines ("#") above the values; marks: the two comments the reader looks for, and any
// other comment.
int SniffJilsPar(const SniffSample& sample)
{
    bool sensors = false, factors = false, comments = false;
    for (std::string_view line : sample.Filled()) {
        if (line.find('#') == std::string_view::npos) continue;
        comments = true;
        sensors = sensors || line.find("# number of sensor channel") != std::string_view::npos;
        factors = factors || line.find("# Sensor channels EU conversion factor") != std::string_view::npos;
    }
    return sensors || factors ? Score(sensors + factors + comments) : 0;
}

// Known by its structure alone, whatever the lines between hold (numbers, names): line 1 the
// sensor count N, line N + 3 a row count k, line N + k + 4 the load-cell gain (three marks; two
// while the gain may lie beyond the head).
int SniffJilsCfg(const SniffSample& sample)
{
    const auto& lines = sample.Lines();
    // The first field of line n as a small whole number; -1 where it is none or not there.
    const auto count = [&](std::size_t n) {
        const std::string_view field = n <= lines.size() ? FirstField(lines[n - 1], ',') : "";
        return IsWholeNumberText(field) && field.size() <= 4 ? std::stoi(std::string(field)) : -1;
    };
    const int sensors = count(1);
    if (sensors < 1 || sensors > 40) return 0;
    const auto beyond = [&](std::size_t n) { return n > lines.size(); };
    const std::size_t rows = static_cast<std::size_t>(sensors) + 3;
    if (beyond(rows)) return sample.Complete() ? 0 : Score(2);
    if (count(rows) < 0) return 0;
    const std::size_t gain = rows + static_cast<std::size_t>(count(rows)) + 1;
    if (beyond(gain)) return sample.Complete() ? 0 : Score(2);
    return IsNumberText(FirstField(lines[gain - 1], ',')) ? Score(3) : 0;
}

}  // namespace vantrel
