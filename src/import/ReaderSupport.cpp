#include "import/ReaderSupport.h"

#include "base/Latin1.h"
#include "base/NumberText.h"
#include "base/ReadError.h"

namespace vantrel {
namespace {

struct UnitAbbreviation {
    std::string_view abbreviation;  // compared with the upper-cased input
    const char* word;
};

// Tested in this order; the first equal abbreviation wins.
constexpr UnitAbbreviation kUnits[] = {
    {"MI", "mile"},
    {"FT", "foot"},
    {"IN", "inch"},
    {"(IN)", "inch"},
    {"M", "meter"},
    {"\xB5M", "micron"},
    {"CM", "centimeter"},
    {"(CM)", "centimeter"},
    {"MM", "millimeter"},
    {"UM", "micron"},
    {"LBF", "pound-force"},
    {"KN", "kilo-Newton"},
    {"KGF", "kilogram-force"},
    {"\xB0"
     "F",
     "Fahrenheit"},
    {"F", "Fahrenheit"},
    {"\xB0"
     "C",
     "Celsius"},
    {"C", "Celsius"},
    {"HZ", "Hertz"},
    {"MILS", "mil"},
};

constexpr std::size_t kMaxLineLength = 32767;

void CheckLineLength(std::string_view line)
{
    if (line.size() > kMaxLineLength)
        throw OverflowError("the line is " + std::to_string(line.size()) + " characters long, more than 32767");
}

// Adds one field, or refuses a line with more fields than any record has.
void PutField(LineFields& fields, std::string_view field)
{
    if (fields.size() == kMaxFields)
        throw InputError("the line has more than " + std::to_string(kMaxFields) + " fields");
    fields.push_back(field);
}

void SplitQuoted(std::string_view line, LineFields& fields, char separator)
{
    CheckLineLength(line);
    fields.clear();
    std::size_t start = 0;
    if (line.find('"') == std::string_view::npos) {
        // No quotes, as in nearly every data line: from separator to separator.
        const std::string_view separating = line.substr(0, line.empty() ? 0 : line.size() - 1);
        for (std::size_t at; (at = separating.find(separator, start)) != std::string_view::npos; start = at + 1)
            PutField(fields, line.substr(start, at - start));
        PutField(fields, line.substr(start));
        return;
    }
    bool quoted = false;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {  // the last character never separates
        if (line[i] == '"') quoted = !quoted;
        else if (line[i] == separator && !quoted) {
            PutField(fields, line.substr(start, i - start));
            start = i + 1;
        }
    }
    PutField(fields, line.substr(start));
}

}  // namespace

bool TextContains(std::string_view key, std::string_view text)
{
    return UpperCase(text).find(UpperCase(key)) != std::string::npos;
}

std::string NormaliseUnitName(std::string_view unit)
{
    const std::string upper = UpperCase(unit);
    for (const UnitAbbreviation& entry : kUnits)
        if (upper == entry.abbreviation) return entry.word;
    return std::string(unit);
}

std::string CommaToPoint(std::string_view number)
{
    std::string out(number);
    for (char& c : out)
        if (c == ',') c = '.';
    return out;
}

std::string CollapseSpaces(std::string_view line)
{
    line = TrimBlanks(line);
    std::string out;
    out.reserve(line.size());
    for (char c : line)
        if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c;
    return out;
}

void SplitOnTabs(std::string_view line, LineFields& fields) { SplitQuoted(line, fields, '\t'); }
void SplitOnCommas(std::string_view line, LineFields& fields) { SplitQuoted(line, fields, ','); }

void SplitOnSpaces(std::string_view line, LineFields& fields)
{
    CheckLineLength(line);
    fields.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i == line.size()) break;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        PutField(fields, line.substr(start, i - start));
    }
}

std::string BracketContents(std::string_view text)
{
    const std::size_t open = text.find('[');
    const std::size_t close = text.find(']');
    const std::size_t start = open == std::string_view::npos ? 0 : open + 1;
    if (close == std::string_view::npos)
        throw InputError(Quoted(text) + " has no \"]\" closing the unit or layout in brackets");
    if (close < start) throw InputError(Quoted(text) + " has its \"]\" before its \"[\"");
    return std::string(text.substr(start, close - start));
}

std::chrono::sys_days DateFromPattern(std::string_view pattern, std::string_view text, std::string* unread)
{
    const auto isPart = [](char c) { return c == 'Y' || c == 'M' || c == 'D'; };
    const auto isDigit = [&](std::size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
    std::string year, month, day;
    std::size_t t = 0;  // the text character under pattern character i
    for (std::size_t i = 0; i < pattern.size(); ++i, ++t) {
        if (t >= text.size()) continue;  // nothing stands under the rest of the pattern
        const char d = UpperChar(text[t]);
        const char p = UpperChar(pattern[i]);
        switch (p) {
        case 'Y':
            year += d;
            break;
        case 'M':
            month += d;
            break;
        case 'D':
            day += d;
            break;
        default:
            break;
        }
        // Writers keep a "yy" layout while writing the year whole.
        const bool yearEnds = p == 'Y' && (i + 1 == pattern.size() || !isPart(UpperChar(pattern[i + 1])));
        if (yearEnds && year.size() == 2 && isDigit(t + 1) && isDigit(t + 2) && !isDigit(t + 3)) {
            year.append(text.substr(t + 1, 2));
            t += 2;
        }
    }
    if (unread) *unread = t < text.size() ? std::string(text.substr(t)) : std::string();
    const auto part = [&](const std::string& digits, const char* what) -> int {
        try {
            return ToInt16(digits);
        } catch (const ConversionError&) {
            throw ConversionError("the date " + Quoted(text) + " does not fit its layout " + Quoted(pattern) +
                                  ": its " + what + " " + Quoted(digits) + " is not a number");
        }
    };
    const int y = part(year, "year"), m = part(month, "month"), dd = part(day, "day");
    return DateFromParts(y, m, dd);
}

}  // namespace vantrel
