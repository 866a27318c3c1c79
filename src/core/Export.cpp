#include "core/Export.h"

#include <algorithm>
#include <string_view>

#include "base/Latin1.h"
#include "base/TextEncoding.h"
#include "core/Check.h"
#include "import/Sniffing.h"

namespace vantrel {
namespace {

std::string ValueOf(const PDDXSection& section, std::string_view key)
{
    const PDDXElement* element = section.Elements().Find(key);
    return std::string(element ? element->Value() : std::string_view());
}

// A spreadsheet takes a cell that starts with one of these for a formula and runs it; a station or
// lane typed as "=HYPERLINK(...)" must stay text. Numbers ("-12.5") stay numbers, and so does the
// name of standard input, "-".
bool ReadAsFormula(std::string_view text)
{
    return !text.empty() && text != "-" && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos &&
           !IsNumberText(text);
}

// Appends one field after a comma (none for the first of a row), Latin-1 text as UTF-8, in double
// quotes when it holds a comma, a quote or a line end, after an apostrophe when a spreadsheet would
// take it for a formula.
void Field(std::string& row, std::string_view text, bool latin1 = true, bool first = false)
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

// The drop elements of a test location, with their numbers.
template <typename Each>
void ForEachDrop(const PDDXSection& location, Each each)
{
    for (const PDDXElement& element : location.Elements())
        if (const std::optional<int> drop = NumberAfter(element.Handle(), pddx::TestLocation::kDropDataPrefix))
            each(*drop, element.Value());
}

// The fields of a test location's rows after the drop number: station to temperatures.
std::string LocationFields(const PDDXSection& section)
{
    namespace location = pddx::TestLocation;
    const std::string place = ValueOf(section, location::TestLocation);
    std::string fields;
    Field(fields, TrimBlanks(std::string_view(place).substr(0, place.find(','))));
    Field(fields, ValueOf(section, location::TestLane));
    Field(fields, "");  // location_date: see Export.h
    Field(fields, ValueOf(section, location::TestTime));
    Field(fields, ValueOf(section, location::TestTemperatures));
    return fields;
}

}  // namespace

void DropTable::Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document)
{
    for (const PDDXSection& section : document->Sections()) {
        if (!NumberAfter(section.Handle(), pddx::TestLocation::kPrefix)) continue;
        ForEachDrop(section, [&](int, std::string_view value) {
            ++rows_;
            deflections_ = std::max<std::size_t>(deflections_, std::count(value.begin(), value.end(), ','));
        });
    }
    files_.push_back({fileName, std::move(document)});
}

void DropTable::Write(std::ostream& out) const
{
    std::string rows;
    Field(rows, "file", false, true);
    for (std::string_view title :
         {"location", "drop", "station", "lane", "location_date", "time", "temperatures", "load"})
        Field(rows, title);
    for (std::size_t d = 1; d <= deflections_; ++d) Field(rows, "D" + std::to_string(d));
    Field(rows, "load_units");
    Field(rows, "deflection_units");
    rows += "\r\n";
    for (const Document& file : files_) {
        const PDDXFile& document = *file.Held;
        const auto value = [&](const SectionAndKey& name) { return ValueOf(document.Section(name.Section), name.Key); };
        std::string name, units;
        Field(name, ValidUtf8(file.Name), false, true);
        Field(units, value(pddx::Units::LoadUnits));
        Field(units, value(pddx::Units::DeflectionUnits));
        units += "\r\n";
        for (const PDDXSection& section : document.Sections()) {
            const std::optional<int> number = NumberAfter(section.Handle(), pddx::TestLocation::kPrefix);
            if (!number) continue;
            const std::string location = LocationFields(section);
            ForEachDrop(section, [&](int drop, std::string_view items) {
                rows += name;
                Field(rows, std::to_string(*number));
                Field(rows, std::to_string(drop));
                rows += location;
                // The load, then the deflections; a drop with fewer leaves the last columns empty.
                for (std::size_t i = 0; i <= deflections_; ++i) {
                    const std::size_t comma = items.find(',');
                    Field(rows, TrimBlanks(items.substr(0, comma)));
                    items = comma == std::string_view::npos ? std::string_view() : items.substr(comma + 1);
                }
                rows += units;
                // Written a piece at a time, so that the table is never held twice.
                if (rows.size() >= 1 << 16) {
                    out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
                    rows.clear();
                }
            });
        }
    }
    out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
}

}  // namespace vantrel
