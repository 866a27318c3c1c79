#include "core/ExportFields.h"

#include <algorithm>

#include "base/Latin1.h"
#include "base/NumberText.h"
#include "import/Sniffing.h"

namespace vantrel {
namespace {

// A spreadsheet takes a cell that starts with one of these for a formula and runs it; a station or
// lane typed as "=HYPERLINK(...)" must stay text. Numbers ("-12.5") stay numbers, and so does the
// name of standard input, "-".
bool ReadAsFormula(std::string_view text)
{
    if (text.empty() || text == "-") return false;
    const char c = text.front();
    return (c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r') && !IsNumberText(text);
}

}  // namespace

std::string ValueOf(const PDDXSection& section, std::string_view key)
{
    const PDDXElement* element = section.Elements().Find(key);
    return std::string(element ? element->Value() : std::string_view());
}

std::string ValueOf(const PDDXFile& document, const SectionAndKey& name)
{
    return ValueOf(document.Section(name.Section), name.Key);
}

void Field(std::string& row, std::string_view text, bool latin1, bool first)
{
    if (!first) row += ',';
    if (ReadAsFormula(text)) {
        Field(row, "'" + std::string(text), latin1, true);
        return;
    }
    // Nearly every field (numbers) is written as it stands: one look at each character says so.
    const unsigned char highest = latin1 ? 0x7F : 0xFF;
    const auto special = [highest](char c) {
        return c == ',' || c == '"' || c == '\r' || c == '\n' || static_cast<unsigned char>(c) > highest;
    };
    if (std::none_of(text.begin(), text.end(), special)) {
        row.append(text);
        return;
    }
    bool quoted = false;
    for (const char c : text) quoted = quoted || c == ',' || c == '"' || c == '\r' || c == '\n';
    if (quoted) row += '"';
    for (const char c : text) {
        if (c == '"') row += '"';
        if (latin1 && static_cast<unsigned char>(c) >= 0x80) row += Utf8FromLatin1(std::string_view(&c, 1));
        else row += c;
    }
    if (quoted) row += '"';
}

std::vector<std::string_view> Items(std::string_view value)
{
    std::vector<std::string_view> items;
    Items(value, items);
    return items;
}

void Items(std::string_view value, std::vector<std::string_view>& items)
{
    items.clear();
    for (std::size_t comma; (comma = value.find(',')) != std::string_view::npos; value = value.substr(comma + 1))
        items.push_back(TrimBlanks(value.substr(0, comma)));
    items.push_back(TrimBlanks(value));
}

void Items(std::string_view value, std::vector<std::string_view>& items, std::vector<std::optional<double>>& numbers)
{
    items.clear();
    numbers.clear();
    const auto blanks = [&value](std::size_t at) {
        while (at < value.size() && value[at] == ' ') ++at;
        return at;
    };
    for (std::size_t at = 0;; ++at) {
        const std::size_t first = blanks(at);
        const std::optional<PlainNumber> plain = PlainDecimalAt(value.substr(first));
        const std::size_t next = plain ? blanks(first + plain->Length) : first;
        if (plain && (next == value.size() || value[next] == ',')) {
            items.push_back(value.substr(first, plain->Length));
            numbers.push_back(plain->Value);
            at = next;
        } else {
            at = std::min(value.find(',', at), value.size());
            items.push_back(TrimBlanks(value.substr(first, at - first)));
            numbers.push_back(FiniteNumber(items.back()));
        }
        if (at == value.size()) return;
    }
}

void WriteRows(std::ostream& out, std::string& rows, bool last)
{
    if (!last && rows.size() < 1 << 16) return;
    out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
    rows.clear();
}

std::string Rounded(double value) { return RoundedPlainText(value, 6); }

}  // namespace vantrel
