#include "core/Check.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "base/Latin1.h"
#include "base/ProfileFile.h"
#include "base/NumberText.h"
#include "import/Sniffing.h"

namespace vantrel {
namespace {

constexpr SectionAndKey kFlagged[] = {{"Device Configuration", "LoadPlateRadius"},
                                    {"Device Configuration", "DeflectionSensorXAxisDistances"},
                                    {"Device Configuration", "DeflectionSensorYAxisDistances"}};

// A counter's value: empty counts as 0; otherwise a whole number from 0 to 2147483647.
std::optional<int> Counter(std::string_view text)
{
    if (TrimBlanks(text).empty()) return 0;
    try {
        const std::optional<double> value = ParseNumber(text);
        if (value && *value >= 0 && *value <= std::numeric_limits<int>::max() && std::floor(*value) == *value) return static_cast<int>(*value);
    } catch (const OverflowError&) {
    }
    return std::nullopt;
}

// The items of a list value ("0, 200, 300"), blanks around each removed, into `items` (reused
// from drop to drop, as a million drops are checked).
void Items(std::string_view list, std::vector<std::string_view>& items)
{
    items.clear();
    for (std::size_t at = 0;;) {
        const std::size_t comma = list.find(',', at);
        items.push_back(TrimBlanks(list.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at)));
        if (comma == std::string_view::npos) return;
        at = comma + 1;
    }
}

class Findings {
public:
    explicit Findings(const std::function<void(const Finding&)>& found) : found_(found) {}

    void Add(std::string_view section, std::string_view key, std::string message)
    {
        found_({Utf8FromLatin1(section), Utf8FromLatin1(key), std::move(message)});
    }

    // Each item of a list that is not a number.
    void NonNumbers(std::string_view section, std::string_view key, const std::vector<std::string_view>& items)
    {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (IsNumberText(items[i])) continue;
            const std::string item = "item " + std::to_string(i + 1);
            Add(section, key, items[i].empty() ? item + " is empty" : item + ", " + Quoted(items[i]) + ", is not a number");
        }
    }

private:
    const std::function<void(const Finding&)>& found_;
};

// Load units that are a pressure on the plate rather than a force; field programs may give either.
bool IsPressureUnit(std::string_view unit)
{
    static constexpr std::string_view kPressures[] = {"kilo-Pascal", "pound-force per square inch", "Pascal",
                                                      "kPa", "MPa", "Pa", "psi", "bar"};
    unit = TrimBlanks(unit);
    return std::any_of(std::begin(kPressures), std::end(kPressures),
                       [unit](std::string_view pressure) { return EqualsIgnoreCase(unit, pressure); });
}

std::string Counted(std::size_t n, const std::string& what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

void CheckLocation(const PDDXSection& location, std::optional<int> sensors, Findings& findings)
{
    const std::string_view section = location.Handle();
    int drops = 0;
    for (const PDDXElement& element : location.Elements()) drops += NumberAfter(element.Handle(), "DropData_") ? 1 : 0;
    const PDDXElement* counter = location.Elements().Find("NumberOfDrops");
    const std::string_view text = counter ? counter->Value() : std::string_view();
    if (const std::optional<int> said = Counter(text); !said)
        findings.Add(section, "NumberOfDrops", Quoted(text) + " is not a whole number");
    else if (*said != drops)
        findings.Add(section, "NumberOfDrops", "is " + std::to_string(*said) + ", but the location holds " + Counted(drops, "drop"));

    std::vector<std::string_view> items;
    for (const PDDXElement& element : location.Elements()) {
        if (!NumberAfter(element.Handle(), "DropData_")) continue;
        const std::string_view value = element.Value();
        if (TrimBlanks(value).empty()) {
            findings.Add(section, element.Handle(), "empty");
            continue;
        }
        Items(value, items);
        if (sensors && static_cast<int>(items.size()) != *sensors + 1)
            findings.Add(section, element.Handle(),
                         "a load and " + Counted(items.size() - 1, "deflection") + ", but NumberOfDeflectionSensors is " +
                             std::to_string(*sensors));
        findings.NonNumbers(section, element.Handle(), items);
    }
}

}  // namespace

std::span<const SectionAndKey> FlaggedElements() { return kFlagged; }

std::optional<int> NumberAfter(std::string_view name, std::string_view prefix)
{
    if (name.size() <= prefix.size() || !EqualsIgnoreCase(name.substr(0, prefix.size()), prefix)) return std::nullopt;
    const std::string_view digits = name.substr(prefix.size());
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    const bool whole = error == std::errc() && end == digits.data() + digits.size() && digits.front() != '-';
    return whole && number >= 1 ? std::optional<int>(number) : std::nullopt;
}

void CheckDocument(const PDDXFile& document, const std::function<void(const Finding&)>& found)
{
    Findings findings(found);
    const auto value = [&](std::string_view section, std::string_view key) -> std::string_view {
        return document.Element(section, key).Value();
    };
    for (const SectionAndKey& flagged : kFlagged)
        if (TrimBlanks(value(flagged.Section, flagged.Key)).empty())
            findings.Add(flagged.Section, flagged.Key, "empty; the calibration needs it");

    if (const std::string_view load = value("Units", "LoadUnits"); IsPressureUnit(load))
        findings.Add("Units", "LoadUnits",
                     Quoted(TrimBlanks(load)) + " is a pressure; the calibration compares forces, so the loads are to be "
                                                "multiplied by the plate area first");

    constexpr std::string_view kConfiguration = "Device Configuration";
    const std::string_view radius = value(kConfiguration, "LoadPlateRadius");
    if (!TrimBlanks(radius).empty() && !IsNumberText(radius))
        findings.Add(kConfiguration, "LoadPlateRadius", Quoted(radius) + " is not a number");
    const std::string_view sensorText = value(kConfiguration, "NumberOfDeflectionSensors");
    const std::optional<int> sensors = Counter(sensorText);
    if (!sensors) findings.Add(kConfiguration, "NumberOfDeflectionSensors", Quoted(sensorText) + " is not a whole number");
    for (std::string_view key : {"DeflectionSensorXAxisDistances", "DeflectionSensorYAxisDistances"}) {
        if (TrimBlanks(value(kConfiguration, key)).empty()) continue;
        std::vector<std::string_view> items;
        Items(value(kConfiguration, key), items);
        if (sensors && static_cast<int>(items.size()) != *sensors)
            findings.Add(kConfiguration, key,
                         Counted(items.size(), "distance") + ", but NumberOfDeflectionSensors is " + std::to_string(*sensors));
        findings.NonNumbers(kConfiguration, key, items);
    }

    int locations = 0;
    for (const PDDXSection& section : document.Sections()) locations += NumberAfter(section.Handle(), "Test Location ") ? 1 : 0;
    const std::string_view locationText = value("Deflection Data", "NumberOfTestLocations");
    if (const std::optional<int> said = Counter(locationText); !said)
        findings.Add("Deflection Data", "NumberOfTestLocations", Quoted(locationText) + " is not a whole number");
    else if (*said != locations)
        findings.Add("Deflection Data", "NumberOfTestLocations",
                     "is " + std::to_string(*said) + ", but the document holds " + Counted(locations, "test location"));
    for (const PDDXSection& section : document.Sections())
        if (NumberAfter(section.Handle(), "Test Location ")) CheckLocation(section, sensors, findings);
}

void ReadPDDXAsWritten(ReaderContext& /*context*/, ReaderInput& input, PDDXFile& document, bool /*append*/)
{
    const ProfileFile profile(ReadAllText(input.Bytes));
    for (PDDXSection& section : document.Sections()) {
        const int number = profile.FindSection(section.Handle());
        for (PDDXElement& element : section.Elements()) element.SetValue(profile.Value(number, element.Handle()));
    }
    const std::vector<std::string_view> names = profile.SectionNames();
    std::vector<bool> taken;  // the drops of the location at hand: the first of a number counts
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::optional<int> n = NumberAfter(names[i], "Test Location ");
        if (!n || document.Sections().Contains("Test Location " + std::to_string(*n))) continue;
        PDDXSection& location = document.AddTestLocation(*n);
        const int number = static_cast<int>(i);
        for (PDDXElement& element : location.Elements()) element.SetValue(profile.Value(number, element.Handle()));
        taken.assign(taken.size(), false);
        for (std::string_view key : profile.Keys(number)) {
            const std::optional<int> drop = NumberAfter(key, "DropData_");
            if (!drop) continue;
            if (taken.size() <= static_cast<std::size_t>(*drop)) taken.resize(*drop + 1, false);
            if (taken[*drop]) continue;
            taken[*drop] = true;
            location.AddDropData(*drop).SetValue(profile.Value(number, key));
        }
    }
}

}  // namespace vantrel
