// What the JILS files look like: the DAT data file, Setup.Par and the load-cell CFG file.
#include <algorithm>
#include <string_view>

#include "base/Latin1.h"
#include "import/Sniffing.h"

namespace vantrel {

// Keyword lines ("Date-Time:", "Sensors:", ...) over data lines of blank-separated numbers.
int SniffJilsDat(const SniffSample& sample)
{
    static constexpr struct {
        std::string_view word;
        int weight;
    } kKeywords[] = {{"Date-Time:", 30}, {"Sensors:", 25}, {"Drop", 20},    {"Location:", 10},
                     {"Temp:", 10},      {"Operator:", 10}, {"Comments:", 5}, {"Note:", 5}};
    bool seen[std::size(kKeywords)] = {};
    bool data = false;
    for (std::string_view line : sample.Filled()) {
        line = TrimBlanks(line);
        const std::string_view first = line.substr(0, line.find(' '));
        for (std::size_t k = 0; k < std::size(kKeywords); ++k)
            seen[k] = seen[k] || (first == kKeywords[k].word &&
                                  (first != "Drop" || line.find("Drop Sequence Completed Time:") == 0));
        if (line.find(' ') == std::string_view::npos) continue;
        bool numbers = true;
        for (std::size_t at = 0; numbers && at < line.size();) {
            const std::size_t end = std::min(line.find(' ', at), line.size());
            numbers = end == at || IsNumberText(line.substr(at, end - at));
            at = end + 1;
        }
        data = data || numbers;
    }
    int score = data ? 10 : 0;
    for (std::size_t k = 0; k < std::size(kKeywords); ++k) score += seen[k] ? kKeywords[k].weight : 0;
    return std::min(score, 95);
}

// Comment lines ("#") above the values; the two the reader looks for name the file.
int SniffJilsPar(const SniffSample& sample)
{
    bool sensors = false, factors = false, comments = false;
    for (std::string_view line : sample.Filled()) {
        if (line.find('#') == std::string_view::npos) continue;
        comments = true;
        sensors = sensors || line.find("# number of sensor channel") != std::string_view::npos;
        factors = factors || line.find("# Sensor channels EU conversion factor") != std::string_view::npos;
    }
    return (sensors ? 45 : 0) + (factors ? 45 : 0) + (comments ? 5 : 0);
}

// Numbers by line position: line 1 the sensor count N, line N + 3 a row count k, line
// N + k + 4 the load-cell gain; every line starts with a number.
int SniffJilsCfg(const SniffSample& sample)
{
    const auto& lines = sample.Lines();
    // The first field of line n as a small whole number; -1 where it is none or not there.
    const auto count = [&](std::size_t n) {
        const std::string_view field = n <= lines.size() ? FirstField(lines[n - 1], ',') : "";
        return IsWholeNumberText(field) && field.size() <= 4 ? std::stoi(std::string(field)) : -1;
    };
    for (std::string_view line : sample.Filled())
        if (!IsNumberText(FirstField(line, ','))) return 0;
    const int sensors = count(1);
    if (sensors < 1 || sensors > 40) return 0;
    const auto beyond = [&](std::size_t n) { return n > lines.size(); };
    const std::size_t rows = static_cast<std::size_t>(sensors) + 3;
    if (beyond(rows)) return sample.Complete() ? 0 : kRecognised;
    if (count(rows) < 0) return 0;
    const std::size_t gain = rows + static_cast<std::size_t>(count(rows)) + 1;
    if (beyond(gain)) return sample.Complete() ? 0 : kRecognised;
    return IsNumberText(FirstField(lines[gain - 1], ',')) ? 85 : 0;
}

}  // namespace vantrel
