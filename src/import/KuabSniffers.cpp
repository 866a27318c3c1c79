// What a KUAB FWD data file and a KUAB FVO.INI look like.
#include <algorithm>
#include <string_view>

#include "base/Latin1.h"
#include "import/Sniffing.h"
#include "import/modShared.h"

namespace vantrel {

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
        else if (letter == 'D') data = data || CountWords(line.substr(1)).Numbers >= 3;
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
