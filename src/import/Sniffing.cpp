#include "import/Sniffing.h"

#include "base/Latin1.h"
#include "base/NumberText.h"

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

namespace {

// Digits with at most one point and a sign before them, nothing around: nearly every field of a
// file, told without the general parse.
bool IsPlainDecimal(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    bool digit = false, point = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') digit = true;
        else if (c == '.' && !point) point = true;
        else return false;
    }
    return digit;
}

}  // namespace

bool IsNumberText(std::string_view text)
{
    if (IsPlainDecimal(text)) return true;
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

}  // namespace vantrel
