// What a KUAB FWD data file and a KUAB FVO.INI look like.
#include <algorithm>
#include <string_view>

#include "base/Latin1.h"
#include "import/Sniffing.h"
#include "import/modShared.h"

namespace vantrel {
namespace {

// The words of a line after its record letter that read as numbers.
int NumberWords(std::string_view line)
{
    int numbers = 0;
    for (std::size_t at = 1; at < line.size();) {
        const std::size_t start = line.find_first_not_of(' ', at);
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(line.find(' ', start), line.size());
        numbers += IsNumberText(line.substr(start, end - start));
        at = end;
    }
    return numbers;
}

}  // namespace

// The first line is free text. The others start with a record letter, at least six in ten of
// them; marks: C, H or I header lines "key: value", J table lines whose column titles name
// Distance or Station, D data lines of numbers.
int SniffKuabFwd(const SniffSample& sample)
{
    const auto& lines = sample.Lines();
    int records = 0, others = 0;
    bool header = false, titles = false, data = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (TrimBlanks(line).empty()) continue;
        const char letter = line.front();
        if (std::string_view("CHIJD").find(letter) == std::string_view::npos) {
            ++others;
            continue;
        }
        ++records;
        if (letter == 'J') titles = titles || TextContains("Distance", line) || TextContains("Station", line);
        else if (letter == 'D') data = data || NumberWords(line) >= 3;
        else header = header || line.find(':', 1) != std::string_view::npos;
    }
    if (records * 10 < (records + others) * 6) return 0;
    return Score(header + titles + data);
}

// INI-shaped; a mark for each section the reader looks up: rack, loadplate1, sensors, sensor0,
// distmeter.
int SniffKuabIni(const SniffSample& sample)
{
    const IniShape shape = IniShapeOf(sample);
    if (!shape.Fits) return 0;
    int marks = 0;
    for (std::string_view name : {"rack", "loadplate1", "sensors", "sensor0", "distmeter"})
        marks += std::any_of(shape.Sections.begin(), shape.Sections.end(),
                             [&](std::string_view section) { return EqualsIgnoreCase(section, name); });
    return Score(marks);
}

}  // namespace vantrel
