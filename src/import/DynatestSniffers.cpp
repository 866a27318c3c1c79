// What Dynatest F25 and F20 files look like.
#include <algorithm>
#include <string_view>

#include "base/Latin1.h"
#include "import/Sniffing.h"

namespace vantrel {
namespace {

// Columns a to b (1-based) of a line; shorter or empty where the line ends first.
std::string_view Columns(std::string_view line, std::size_t a, std::size_t b)
{
    return a > line.size() ? std::string_view() : line.substr(a - 1, b - a + 1);
}

bool AllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

// Comma-separated records, at least eight in ten with a numeric record code first; marks: the
// header records (5001 software, 5002 serial number, 5010 units, 5011 date, 5020 and 5021
// geometry, 5030 to 5032 names, 5200 and 5201 calibration), each once, and the station records
// 5301.
int SniffF25(const SniffSample& sample)
{
    static constexpr std::string_view kCodes[] = {"5001", "5002", "5010", "5011", "5020", "5021",
                                                  "5030", "5031", "5032", "5200", "5201", "5301"};
    bool seen[std::size(kCodes)] = {};
    std::size_t numbered = 0;
    for (std::string_view line : sample.Filled()) {
        if (line.find(',') == std::string_view::npos) continue;
        const std::string_view code = FirstField(line, ',');
        if (!IsNumberText(code)) continue;
        ++numbered;
        for (std::size_t k = 0; k < std::size(kCodes); ++k) seen[k] = seen[k] || code == kCodes[k];
    }
    if (numbered * 10 < sample.Filled().size() * 8) return 0;
    return Score(static_cast<int>(std::count(std::begin(seen), std::end(seen), true)));
}

// Fixed columns, told by line number. Line 1 holds the date as digits in columns 14 to 19 and
// the header length in columns 28 and 29 (a mark; a file without them is no F20 file) and the
// layout name, "R32-20" or "R80-20" (two marks); line 2 starts with the sensor count, line 22
// with the unit digits (a mark each).
int SniffF20(const SniffSample& sample)
{
    const auto& lines = sample.Lines();
    if (lines.empty()) return 0;
    const std::string_view first = lines[0];
    if (Columns(first, 14, 19).size() != 6 || !AllDigits(Columns(first, 14, 19)) ||
        !IsWholeNumberText(Columns(first, 28, 29)))
        return 0;
    const bool layout = first.starts_with('R') && AllDigits(Columns(first, 2, 3)) && Columns(first, 4, 6) == "-20";
    const bool sensors = lines.size() >= 2 && AllDigits(Columns(lines[1], 1, 1));
    const bool units = lines.size() >= 22 && Columns(lines[21], 1, 2).size() == 2 && AllDigits(Columns(lines[21], 1, 2));
    return Score(1 + 2 * layout + sensors + units);
}

}  // namespace vantrel
