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

namespace {

// The fields of `value`'s items written at `to`, which has room for value.size() + width + 1
// characters (a comma before each item takes the place of the one after it), where each item starts with a digit or a
// point (no spreadsheet takes it for a formula) and holds only characters that Field writes as they stand: the end, or
// nullptr. Each item is copied as it is scanned, in one pass over the drop.
char* PlainItemFields(std::string_view value, std::size_t width, std::vector<std::string_view>& items, char* to)
{
    items.clear();
    const char* at = value.data();
    const char* const end = at + value.size();
    while (true) {
        while (at != end && *at == ' ') ++at;
        const char* const first = at;
        *to++ = ',';
        char* const written = to;
        for (; at != end && *at != ','; ++at) {
            // Printable ASCII but the quote: one unsigned comparison for the range.
            if (static_cast<unsigned char>(*at - ' ') > '~' - ' ' || *at == '"') return nullptr;
            *to++ = *at;
        }
        while (to != written && to[-1] == ' ') --to;
        if (to != written && (*written < '0' || *written > '9') && *written != '.') return nullptr;
        items.emplace_back(first, static_cast<std::size_t>(to - written));
        if (at == end) break;
        ++at;
    }
    for (std::size_t n = items.size(); n < width; ++n) *to++ = ',';
    return to;
}

}  // namespace

void Items(std::string_view value, std::vector<std::string_view>& items)
{
    // Plain loops: a drop's items are a few characters each, too short for a library search to gain.
    items.clear();
    const char* at = value.data();
    const char* const end = at + value.size();
    while (true) {
        while (at != end && *at == ' ') ++at;
        const char* const first = at;
        while (at != end && *at != ',') ++at;
        const char* last = at;
        while (last != first && last[-1] == ' ') --last;
        items.emplace_back(first, static_cast<std::size_t>(last - first));
        if (at == end) return;
        ++at;
    }
}

void ItemFields(std::string& row, std::string_view value, std::size_t width, std::vector<std::string_view>& items)
{
    // Nearly every drop is numbers, written as they stand: gathered in one buffer and appended at
    // once, as a row's many short appends would cost more than the rest of it.
    char buffer[1024];
    if (value.size() + width + 1 <= sizeof buffer)
        if (const char* const end = PlainItemFields(value, width, items, buffer)) {
            row.append(buffer, static_cast<std::size_t>(end - buffer));
            return;
        }
    Items(value, items);
    for (const std::string_view item : items) Field(row, item);
    if (width > items.size()) row.append(width - items.size(), ',');
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
