#include "core/Export.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "base/Latin1.h"
#include "base/TextEncoding.h"
#include "core/ExportFields.h"
#include "core/HistoryExport.h"
#include "core/LocationMap.h"

namespace vantrel {
namespace {

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

// A location or drop number as a field, without a string of its own.
void WholeField(std::string& row, int n)
{
    char digits[16];
    const char* const end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    NumberField(row, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

}  // namespace

std::unique_ptr<ExportTable> MakeExportTable(const ExportOptions& options)
{
    if (options.Histories) return std::make_unique<HistoryTable>();
    if (options.GeoJson) return std::make_unique<LocationMap>();
    return std::make_unique<DropTable>(options);
}

std::string DropTable::Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document)
{
    DropMeasures measures(*document, fileName, options_);
    const std::size_t rowsBefore = rows_;
    ForEachLocation(*document, [&](int location, const PDDXSection& section) {
        ForEachNumbered(section, pddx::TestLocation::kDropDataPrefix, [&](int drop, std::string_view value) {
            measures.CheckLoad(location, drop, TrimBlanks(value.substr(0, value.find(','))));
            ++rows_;
            // A plain count: a drop's commas lie a few bytes apart, too near for a search to gain.
            const auto commas = static_cast<std::size_t>(std::count(value.begin(), value.end(), ','));
            deflections_ = std::max(deflections_, commas);
        });
    });
    // A file without drops (a configuration) has no indices to tell of.
    std::string note = rows_ > rowsBefore ? measures.Note() : "";
    files_.push_back({fileName, std::move(document)});
    measures_.push_back(std::move(measures));
    return note;
}

void DropTable::Write(std::ostream& out) const
{
    const std::string normalised = options_.NormalLoad > 0 ? " (normalised to " + Rounded(options_.NormalLoad) + " kN)"
                                                           : "";
    std::string rows;
    Field(rows, "file", false, true);
    for (std::string_view title : {"location", "drop", "station", "lane", "location_date", "time", "temperatures"})
        Field(rows, title);
    Field(rows, "load" + normalised);
    for (std::size_t d = 1; d <= deflections_; ++d) Field(rows, "D" + std::to_string(d) + normalised);
    if (options_.Indices)
        for (std::string_view title : DropMeasures::kIndexTitles) Field(rows, title);
    Field(rows, "load_units");
    Field(rows, "deflection_units");
    rows += "\r\n";
    std::vector<std::string_view> items;
    std::vector<std::optional<double>> numbers;
    const bool computed = options_.NormalLoad > 0 || options_.Indices;
    for (std::size_t f = 0; f < files_.size(); ++f) {
        const Document& file = files_[f];
        const PDDXFile& document = *file.Held;
        std::string name, units;
        Field(name, ValidUtf8(file.Name), false, true);
        Field(units, options_.NormalLoad > 0 ? "kilo-Newton" : ValueOf(document, pddx::Units::LoadUnits));
        Field(units, ValueOf(document, pddx::Units::DeflectionUnits));
        units += "\r\n";
        ForEachLocation(document, [&](int number, const PDDXSection& section) {
            const std::string location = LocationFields(section);
            ForEachNumbered(section, pddx::TestLocation::kDropDataPrefix, [&](int drop, std::string_view value) {
                rows += name;
                WholeField(rows, number);
                WholeField(rows, drop);
                rows += location;
                // The load, then the deflections; a drop with fewer leaves the last columns empty.
                if (computed) Items(value, items, numbers);
                else Items(value, items);
                items.resize(deflections_ + 1);
                numbers.resize(items.size());
                measures_[f].WriteFields(rows, items, numbers);
                rows += units;
                WriteRows(out, rows);
            });
        });
    }
    WriteRows(out, rows, true);
}

}  // namespace vantrel
