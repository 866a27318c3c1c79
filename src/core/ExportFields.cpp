#include "core/ExportFields.h"

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
    return !text.empty() && text != "-" && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos &&
           !IsNumberText(text);
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
    bool quoted = false, plain = true;
    for (const char c : text) {
        quoted = quoted || c == ',' || c == '"' || c == '\r' || c == '\n';
        plain = plain && (!latin1 || static_cast<unsigned char>(c) < 0x80);
    }
    if (!quoted && plain) {
        row.append(text);
        return;
    }
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
    for (std::size_t comma; (comma = value.find(',')) != std::string_view::npos; value = value.substr(comma + 1))
        items.push_back(TrimBlanks(value.substr(0, comma)));
    items.push_back(TrimBlanks(value));
    return items;
}

void WriteRows(std::ostream& out, std::string& rows, bool last)
{
    if (!last && rows.size() < 1 << 16) return;
    out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
    rows.clear();
}

std::string Rounded(double value) { return RoundedPlainText(value, 6); }

}  // namespace vantrel
