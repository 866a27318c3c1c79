#include "core/Export.h"

#include <algorithm>
#include <string_view>

#include "base/Latin1.h"
#include "core/Check.h"

namespace vantrel {
namespace {

std::string ValueOf(const PDDXSection& section, std::string_view key)
{
    const PDDXElement* element = section.Elements().Find(key);
    return element ? element->Value() : std::string();
}

void Field(std::ostream& out, std::string_view text, bool first = false)
{
    if (!first) out << ',';
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out << text;
        return;
    }
    out << '"';
    for (char c : text) out << (c == '"' ? "\"\"" : std::string_view(&c, 1));
    out << '"';
}

}  // namespace

void DropTable::Add(const std::string& fileName, const PDDXFile& document)
{
    const auto value = [&](std::string_view section, std::string_view key) { return ValueOf(document.Section(section), key); };
    // The date of the tests: the start date, or the only date some formats give.
    std::string date = value("Operations Information", "StartDate");
    if (TrimBlanks(date).empty()) date = value("Operations Information", "EndDate");
    files_.push_back({fileName, std::move(date), value("Units", "LoadUnits"), value("Units", "DeflectionUnits")});
    for (const PDDXSection& section : document.Sections()) {
        const std::optional<int> number = NumberAfter(section.Handle(), "Test Location ");
        if (!number) continue;
        const std::string place = ValueOf(section, "TestLocation");
        locations_.push_back({files_.size() - 1, *number, std::string(TrimBlanks(place.substr(0, place.find(',')))),
                              ValueOf(section, "TestLane"), ValueOf(section, "TestTime"), ValueOf(section, "TestTemperatures")});
        for (const PDDXElement& element : section.Elements()) {
            const std::optional<int> drop = NumberAfter(element.Handle(), "DropData_");
            if (!drop) continue;
            deflections_ = std::max<std::size_t>(deflections_, std::count(element.Value().begin(), element.Value().end(), ','));
            rows_.push_back({locations_.size() - 1, *drop, element.Value()});
        }
    }
}

void DropTable::Write(std::ostream& out) const
{
    Field(out, "file", true);
    for (std::string_view title : {"location", "drop", "station", "lane", "date", "time", "temperatures", "load"})
        Field(out, title);
    for (std::size_t d = 1; d <= deflections_; ++d) Field(out, "D" + std::to_string(d));
    Field(out, "load_units");
    Field(out, "deflection_units");
    out << "\r\n";
    for (const Row& row : rows_) {
        const Location& location = locations_[row.Location];
        const Document& file = files_[location.File];
        Field(out, file.Name, true);
        Field(out, std::to_string(location.Number));
        Field(out, std::to_string(row.Drop));
        for (const std::string* text : {&location.Station, &location.Lane, &file.Date, &location.Time, &location.Temperatures})
            Field(out, Utf8FromLatin1(*text));
        // The load, then the deflections; a drop with fewer leaves the last columns empty.
        std::string_view items = row.Text;
        for (std::size_t i = 0; i <= deflections_; ++i) {
            const std::size_t comma = items.find(',');
            Field(out, Utf8FromLatin1(TrimBlanks(items.substr(0, comma))));
            items = comma == std::string_view::npos ? std::string_view() : items.substr(comma + 1);
        }
        Field(out, Utf8FromLatin1(file.LoadUnits));
        Field(out, Utf8FromLatin1(file.DeflectionUnits));
        out << "\r\n";
    }
}

}  // namespace vantrel
