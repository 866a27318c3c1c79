#include "core/Export.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string_view>

#include "base/Latin1.h"
#include "base/TextEncoding.h"
#include "core/ExportFields.h"
#include "core/HistoryExport.h"
#include "core/InOrder.h"
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

// The commas of a drop's value, counted for every drop of a table: eight characters at a time.
std::size_t CommasIn(std::string_view value)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHigh = 0x8080808080808080, kLow = 0x7F7F7F7F7F7F7F7F;
    std::size_t count = 0, at = 0;
    for (; at + 8 <= value.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, value.data() + at, 8);
        const std::uint64_t x = word ^ (kOnes * ',');  // a zero byte for each comma
        // Each byte's high bit set where the byte is not zero; no carry crosses a byte.
        const std::uint64_t nonzero = ((x & kLow) + kLow) | x;
        count += static_cast<std::size_t>(std::popcount(~nonzero & kHigh));
    }
    for (; at < value.size(); ++at) count += value[at] == ',' ? 1 : 0;
    return count;
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
            measures.CheckLoad(location, drop, value);
            ++rows_;
            deflections_ = std::max(deflections_, CommasIn(value));
        });
    });
    // A file without drops (a configuration) has no indices to tell of.
    std::string note = rows_ > rowsBefore ? measures.Note() : "";
    files_.push_back({fileName, std::move(document)});
    measures_.push_back(std::move(measures));
    return note;
}

namespace {

// Elements [First, Last) of a test location: a part of the table that one thread writes.
struct RowPiece {
    std::size_t File;
    int Location;
    const PDDXSection* Section;
    int First, Last;
};

// About this many elements make a block of rows: many enough that handing a block to a thread
// costs little beside its rows, few enough that the blocks waiting to be written hold a few MB.
constexpr int kBlockElements = 8192;

// The test locations of `documents`, in order, cut into blocks of kBlockElements elements.
std::vector<std::vector<RowPiece>> RowBlocks(const std::vector<const PDDXFile*>& documents)
{
    std::vector<std::vector<RowPiece>> blocks(1);
    int inBlock = 0;
    for (std::size_t f = 0; f < documents.size(); ++f)
        ForEachLocation(*documents[f], [&](int number, const PDDXSection& section) {
            const int count = section.Elements().Count();
            for (int first = 0; first < count;) {
                const int last = std::min(count, first + kBlockElements - inBlock);
                blocks.back().push_back({f, number, &section, first, last});
                inBlock += last - first;
                first = last;
                if (inBlock == kBlockElements) {
                    blocks.emplace_back();
                    inBlock = 0;
                }
            }
        });
    return blocks;
}

std::string HeaderRow(const ExportOptions& options, std::size_t deflections)
{
    const std::string normalised = options.NormalLoad > 0 ? " (normalised to " + Rounded(options.NormalLoad) + " kN)"
                                                          : "";
    std::string header;
    Field(header, "file", false, true);
    for (std::string_view title : {"location", "drop", "station", "lane", "location_date", "time", "temperatures"})
        Field(header, title);
    Field(header, "load" + normalised);
    for (std::size_t d = 1; d <= deflections; ++d) Field(header, "D" + std::to_string(d) + normalised);
    if (options.Indices)
        for (std::string_view title : DropMeasures::kIndexTitles) Field(header, title);
    Field(header, "load_units");
    Field(header, "deflection_units");
    return header + "\r\n";
}

}  // namespace

void DropTable::Write(std::ostream& out) const
{
    const std::string header = HeaderRow(options_, deflections_);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    // What starts and ends each row of a file: its name, and its units.
    std::vector<std::pair<std::string, std::string>> ends;
    std::vector<const PDDXFile*> documents;
    for (const Document& file : files_) {
        std::string name, units;
        Field(name, ValidUtf8(file.Name), false, true);
        Field(units, options_.NormalLoad > 0 ? "kilo-Newton" : ValueOf(*file.Held, pddx::Units::LoadUnits));
        Field(units, ValueOf(*file.Held, pddx::Units::DeflectionUnits));
        ends.emplace_back(std::move(name), std::move(units) + "\r\n");
        documents.push_back(file.Held.get());
    }
    const std::vector<std::vector<RowPiece>> blocks = RowBlocks(documents);
    // The blocks' rows are made on the jobs' threads and written in the blocks' order, so the
    // table is the same whatever the number of jobs.
    // A block's rows go into a string that an earlier block's rows used: a fresh one for each
    // would be a megabyte mapped and cleared anew each time.
    std::vector<std::string> spare;
    std::mutex spareLock;
    const auto rowsOf = [&](std::size_t b) {
        std::string rows;
        {
            const std::lock_guard lock(spareLock);
            if (!spare.empty()) {
                rows = std::move(spare.back());
                spare.pop_back();
            }
        }
        rows.clear();
        DropRoom room;
        for (const RowPiece& piece : blocks[b]) {
            const auto& [name, units] = ends[piece.File];
            const std::string location = LocationFields(*piece.Section);
            for (int position = piece.First; position < piece.Last; ++position) {
                const PDDXElement& element = piece.Section->Elements().Item(position + 1);
                const std::optional<int> drop = NumberAfter(element.Handle(), pddx::TestLocation::kDropDataPrefix);
                if (!drop) continue;
                rows += name;
                WholeField(rows, piece.Location);
                WholeField(rows, *drop);
                rows += location;
                // The load, then the deflections; a drop with fewer leaves the last columns empty.
                measures_[piece.File].WriteFields(rows, element.Value(), deflections_ + 1, room);
                rows += units;
            }
        }
        return rows;
    };
    RunInOrder<std::string>(blocks.size(), options_.Jobs,
                            {.Work = rowsOf,
                             .Before = [](std::size_t) {},
                             .Take =
                                 [&](std::size_t, std::optional<std::string>& rows, const std::exception_ptr& error) {
                                     if (error) std::rethrow_exception(error);
                                     out.write(rows->data(), static_cast<std::streamsize>(rows->size()));
                                     const std::lock_guard lock(spareLock);
                                     spare.push_back(std::move(*rows));
                                     return true;
                                 }});
}

}  // namespace vantrel
