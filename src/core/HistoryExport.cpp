#include "core/HistoryExport.h"

#include <algorithm>

#include "base/Latin1.h"
#include "base/NumberText.h"
#include "base/TextEncoding.h"
#include "core/ExportFields.h"

namespace vantrel {
namespace {

constexpr std::string_view kFrequency = "DropHistoryDataFrequency";

struct Sample {
    int Drop;
    int Number;
};

// The d and s of "DropHistoryData_d_s"; nullopt for any other name.
std::optional<Sample> SampleOf(std::string_view handle)
{
    const std::string_view prefix = pddx::TestLocation::kDropHistoryDataPrefix;
    if (handle.size() <= prefix.size() || !EqualsIgnoreCase(handle.substr(0, prefix.size()), prefix)) return {};
    const std::string_view numbers = handle.substr(prefix.size());
    const std::size_t under = numbers.find('_');
    if (under == std::string_view::npos) return {};
    const std::optional<int> drop = NumberAfter(numbers.substr(0, under), "");
    const std::optional<int> sample = NumberAfter(numbers.substr(under + 1), "");
    if (!drop || !sample) return {};
    return Sample{*drop, *sample};
}

template <typename Each>
void ForEachSample(const PDDXSection& location, Each each)
{
    for (const PDDXElement& element : location.Elements())
        if (const std::optional<Sample> sample = SampleOf(element.Handle())) each(*sample, element.Value());
}

// The sampling frequency in Hertz that applies to a test location; nullopt where none is given.
std::optional<double> FrequencyOf(const PDDXFile& document, const PDDXSection& location)
{
    for (const std::string& text :
         {ValueOf(location, kFrequency), ValueOf(document.Section(pddx::DeflectionData::kSection), kFrequency),
          ValueOf(document.Section(pddx::DeviceConfiguration::kSection), kFrequency)}) {
        if (TrimBlanks(text).empty()) continue;
        const std::optional<double> hertz = FiniteNumber(text);
        return hertz && *hertz > 0 ? hertz : std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

std::string HistoryTable::Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document)
{
    bool timed = true;
    std::size_t samples = 0;
    ForEachLocation(*document, [&](int, const PDDXSection& section) {
        const bool located = FrequencyOf(*document, section).has_value();
        ForEachSample(section, [&](Sample, std::string_view value) {
            ++samples;
            timed = timed && located;
            deflections_ = std::max<std::size_t>(deflections_, std::count(value.begin(), value.end(), ','));
        });
    });
    rows_ += samples;
    files_.push_back({fileName, std::move(document)});
    if (samples == 0) return "it holds no time history";
    return timed ? "" : "no DropHistoryDataFrequency gives the sampling rate, so some times are empty";
}

void HistoryTable::Write(std::ostream& out) const
{
    std::string rows;
    Field(rows, "file", false, true);
    for (std::string_view title : {"location", "drop", "sample", "time (s)", "load"}) Field(rows, title);
    for (std::size_t d = 1; d <= deflections_; ++d) Field(rows, "D" + std::to_string(d));
    rows += "\r\n";
    std::vector<std::string_view> items;
    for (const Document& file : files_) {
        std::string name;
        Field(name, ValidUtf8(file.Name), false, true);
        ForEachLocation(*file.Held, [&](int number, const PDDXSection& section) {
            const std::optional<double> hertz = FrequencyOf(*file.Held, section);
            ForEachSample(section, [&](Sample sample, std::string_view value) {
                rows += name;
                Field(rows, std::to_string(number));
                Field(rows, std::to_string(sample.Drop));
                Field(rows, std::to_string(sample.Number));
                Field(rows, hertz ? PlainDecimalText((sample.Number - 1) / *hertz) : "");
                items = Items(value);
                items.resize(deflections_ + 1);
                for (const std::string_view item : items) Field(rows, item);
                rows += "\r\n";
                WriteRows(out, rows);
            });
        });
    }
    WriteRows(out, rows, true);
}

}  // namespace vantrel
