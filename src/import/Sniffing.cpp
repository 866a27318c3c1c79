#include "import/Sniffing.h"

#include "base/Latin1.h"
#include "base/modConvert.h"

namespace vantrel {

SniffSample::SniffSample(std::string_view head, bool complete) : complete_(complete)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < head.size(); ++i) {
        if (head[i] != '\r' && head[i] != '\n') continue;
        lines_.push_back(head.substr(start, i - start));
        if (head[i] == '\r' && i + 1 < head.size() && head[i + 1] == '\n') ++i;  // CR LF is one line end
        start = i + 1;
    }
    if (complete && start < head.size()) lines_.push_back(head.substr(start));
    for (std::string_view line : lines_)
        if (!TrimBlanks(line).empty()) filled_.push_back(line);
}

bool IsNumberText(std::string_view text)
{
    try {
        return ParseNumber(text).has_value();
    } catch (const OverflowError&) {
        return true;  // a number all the same, only too large to hold
    }
}

bool IsWholeNumberText(std::string_view text)
{
    text = TrimBlanks(text);
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string_view FirstField(std::string_view line, char separator)
{
    return TrimBlanks(line.substr(0, line.find(separator)));
}

WordCount CountWords(std::string_view line)
{
    WordCount count;
    for (std::size_t start; (start = line.find_first_not_of(' ')) != std::string_view::npos;) {
        line.remove_prefix(start);
        const std::size_t end = std::min(line.find(' '), line.size());
        count.Numbers += IsNumberText(line.substr(0, end));
        ++count.Words;
        line.remove_prefix(end);
    }
    return count;
}

IniShape IniShapeOf(const SniffSample& sample)
{
    IniShape shape;
    std::size_t fitting = 0;
    bool headerFirst = false;
    for (std::string_view line : sample.Filled()) {
        line = TrimBlanks(line);
        if (line.front() == '[' && line.find(']') != std::string_view::npos) {
            headerFirst = headerFirst || (shape.Sections.empty() && shape.Keys.empty());
            shape.Sections.push_back(TrimBlanks(line.substr(1, line.find(']') - 1)));
            ++fitting;
        } else if (line.front() == ';') {
            ++fitting;
        } else if (const auto equals = line.find('='); equals != std::string_view::npos && equals > 0) {
            shape.Keys.push_back(TrimBlanks(line.substr(0, equals)));
            ++fitting;
        } else if (shape.Sections.empty() && shape.Keys.empty()) {
            return shape;  // text before the first header: not INI-shaped
        }
    }
    shape.Fits = headerFirst && fitting * 10 >= sample.Filled().size() * 9;
    return shape;
}

// PDDX: a mark for each section name of the standard template ("Test Location n" counted once)
// that heads a line, whatever else the text holds (comments, notes before the first section).
// An INI text without them (a settings file) is left unrecognised rather than taken for a document.
int SniffPDDX(const SniffSample& sample)
{
    static constexpr std::string_view kSections[] = {
        "Pavement Deflection Data Exchange File", "Operations Information", "Units", "Device Information",
        "Device Configuration", "Device Calibration", "Location Identification", "Deflection Data", "Test Location "};
    bool seen[std::size(kSections)] = {};
    for (std::string_view line : sample.Filled()) {
        line = TrimBlanks(line);
        const std::size_t close = line.find(']');
        if (line.front() != '[' || close == std::string_view::npos) continue;
        const std::string section = UpperCase(TrimBlanks(line.substr(1, close - 1)));
        for (std::size_t i = 0; i < std::size(kSections); ++i) {
            const std::string name = UpperCase(kSections[i]);
            seen[i] = seen[i] || (name.ends_with(' ') ? section.starts_with(name) : section == name);
        }
    }
    return Score(static_cast<int>(std::count(std::begin(seen), std::end(seen), true)));
}

}  // namespace vantrel
