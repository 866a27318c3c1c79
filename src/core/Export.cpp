#include "core/Export.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string_view>

#include "base/ByteWords.h"
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

// A location or drop number as a field, written at `to` (room for 12 characters): the end.
char* WholeField(char* to, int n)
{
    *to++ = ',';
    return std::to_chars(to, to + 11, n).ptr;
}

char* Copied(char* to, std::string_view text)
{
    std::memcpy(to, text.data(), text.size());
    return to + text.size();
}

// The rows of a block, each written at once into room made for it: a string would check its room
// and call a copy for each of a row's many parts.
class RowText {
public:
    char* Room(std::size_t n)
    {
        if (capacity_ - size_ < n) Grow(n);
        return data_.get() + size_;
    }
    void Used(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
    void Append(std::string_view text) { Used(Copied(Room(text.size()), text)); }
    void Clear() { size_ = 0; }
    std::string_view Text() const { return {data_.get(), size_}; }

private:
    void Grow(std::size_t n)
    {
        capacity_ = std::max({2 * capacity_, size_ + n, std::size_t{1} << 16});
        std::unique_ptr<char[]> grown(new char[capacity_]);  // not cleared: every byte used is written
        if (size_ > 0) std::memcpy(grown.get(), data_.get(), size_);
        data_ = std::move(grown);
    }

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0, capacity_ = 0;
};

}  // namespace

std::unique_ptr<ExportTable> MakeExportTable(const ExportOptions& options)
{
    if (options.Histories) return std::make_unique<HistoryTable>();
    if (options.GeoJson) return std::make_unique<LocationMap>();
    return std::make_unique<DropTable>(options);
}

std::string DropTable::Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document)
{
    const std::size_t first = locations_.size();
    ForEachLocation(*document, [&](int location, const PDDXSection& section) {
        LocationDrops& drops = locations_.emplace_back(LocationDrops{files_.size(), location, &section, {}, {}});
        bool inOrder = true;
        ForEachNumbered(section, pddx::TestLocation::kDropDataPrefix, [&](int drop, std::string_view value) {
            drops.Values.push_back(value);
            drops.Numbers.push_back(drop);
            inOrder = inOrder && drop == static_cast<int>(drops.Values.size());
        });
        if (inOrder) drops.Numbers = {};
    });
    return Added(fileName, std::move(document), first);
}

std::string DropTable::Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document, PDDXDropValues drops)
{
    const std::size_t first = locations_.size();
    PDDXDropValues& apart = *apart_.emplace_back(std::make_unique<PDDXDropValues>(std::move(drops)));
    deflections_ = std::max(deflections_, apart.MostCommas);
    // The reading gave the n-th test location of the document the n-th list of drops.
    std::size_t at = 0;
    ForEachLocation(*document, [&](int location, const PDDXSection& section) {
        if (at == apart.Locations.size()) throw std::logic_error("a test location without its drops");
        locations_.push_back({files_.size(), location, &section, {}, {}, std::move(apart.Locations[at++]), &apart});
    });
    if (at != apart.Locations.size()) throw std::logic_error("drops without their test location");
    return Added(fileName, std::move(document), first);
}

std::string DropTable::Added(const std::string& fileName, std::shared_ptr<const PDDXFile> document, std::size_t first)
{
    DropMeasures measures(*document, fileName, options_);
    const std::size_t rowsBefore = rows_;
    for (std::size_t l = first; l < locations_.size(); ++l) {
        const LocationDrops& location = locations_[l];
        rows_ += location.Count();
        // Drops read apart were counted as they were read; only normalising needs them again.
        if (location.ReadApart && options_.NormalLoad == 0) continue;
        for (std::size_t d = 0; d < location.Count(); ++d) {
            const std::string_view value = location.Value(d);
            measures.CheckLoad(location.Number, location.DropNumber(d), value);
            deflections_ = std::max(deflections_, CommasIn(value));
        }
    }
    // A file without drops (a configuration) has no indices to tell of.
    std::string note = rows_ > rowsBefore ? measures.Note() : "";
    files_.push_back({fileName, std::move(document)});
    measures_.push_back(std::move(measures));
    return note;
}

namespace {

// Drops [First, Last) of a test location: a part of the table that one thread writes.
struct RowPiece {
    const DropTable::LocationDrops* Location;
    std::size_t First, Last;
};

// About this many rows make a block: many enough that handing a block to a thread costs little
// beside its rows, few enough that the blocks waiting to be written hold a few MB.
constexpr std::size_t kBlockRows = 8192;

// The drops of `locations`, in order, cut into blocks of kBlockRows rows.
std::vector<std::vector<RowPiece>> RowBlocks(const std::vector<DropTable::LocationDrops>& locations)
{
    std::vector<std::vector<RowPiece>> blocks(1);
    std::size_t inBlock = 0;
    for (const DropTable::LocationDrops& location : locations) {
        const std::size_t count = location.Count();
        for (std::size_t first = 0; first < count;) {
            const std::size_t last = std::min(count, first + kBlockRows - inBlock);
            blocks.back().push_back({&location, first, last});
            inBlock += last - first;
            first = last;
            if (inBlock == kBlockRows) {
                blocks.emplace_back();
                inBlock = 0;
            }
        }
    }
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
    for (const Document& file : files_) {
        std::string name, units;
        Field(name, ValidUtf8(file.Name), false, true);
        Field(units, options_.NormalLoad > 0 ? "kilo-Newton" : ValueOf(*file.Held, pddx::Units::LoadUnits));
        Field(units, ValueOf(*file.Held, pddx::Units::DeflectionUnits));
        ends.emplace_back(std::move(name), std::move(units) + "\r\n");
    }
    const std::vector<std::vector<RowPiece>> blocks = RowBlocks(locations_);
    // The blocks' rows are made on the jobs' threads and written in the blocks' order, so the
    // table is the same whatever the number of jobs.
    // A block's rows go where an earlier block's rows went: fresh room for each would be a
    // megabyte mapped and cleared anew each time.
    std::vector<RowText> spare;
    std::mutex spareLock;
    const std::size_t width = deflections_ + 1;
    const auto rowsOf = [&](std::size_t b) {
        RowText rows;
        {
            const std::lock_guard lock(spareLock);
            if (!spare.empty()) {
                rows = std::move(spare.back());
                spare.pop_back();
            }
        }
        rows.Clear();
        DropRoom room;
        std::string general;
        for (const RowPiece& piece : blocks[b]) {
            const LocationDrops& location = *piece.Location;
            const DropMeasures& measures = measures_[location.File];
            const auto& [name, units] = ends[location.File];
            // What the location's rows share before the drop number, and after it.
            std::string lead = name;
            char number[12];
            lead.append(number, WholeField(number, location.Number));
            const std::string fields = LocationFields(*location.Section);
            for (std::size_t d = piece.First; d < piece.Last; ++d) {
                const std::string_view value = location.Value(d);
                char* at = rows.Room(lead.size() + 12 + fields.size() + DropMeasures::FieldsRoom(value.size(), width) +
                                     units.size());
                at = Copied(WholeField(Copied(at, lead), location.DropNumber(d)), fields);
                // The load, then the deflections; a drop with fewer leaves the last columns empty.
                if (char* const end = measures.WriteFields(at, value, width, room)) {
                    rows.Used(Copied(end, units));
                    continue;
                }
                rows.Used(at);
                general.clear();
                measures.WriteFields(general, value, width, room);
                rows.Append(general);
                rows.Append(units);
            }
        }
        return rows;
    };
    RunInOrder<RowText>(blocks.size(), options_.Jobs,
                        {.Work = rowsOf,
                         .Before = [](std::size_t) {},
                         .Take =
                             [&](std::size_t, std::optional<RowText>& rows, const std::exception_ptr& error) {
                                 if (error) std::rethrow_exception(error);
                                 const std::string_view text = rows->Text();
                                 out.write(text.data(), static_cast<std::streamsize>(text.size()));
                                 const std::lock_guard lock(spareLock);
                                 spare.push_back(std::move(*rows));
                                 return true;
                             }});
}

}  // namespace vantrel
