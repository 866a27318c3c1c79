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

constexpr SectionAndKey kFlagged[] = {pddx::DeviceConfiguration::LoadPlateRadius,
                                      pddx::DeviceConfiguration::DeflectionSensorXAxisDistances,
                                      pddx::DeviceConfiguration::DeflectionSensorYAxisDistances};

// A counter's value: empty counts as 0; otherwise a whole number from 0 to 2147483647.
std::optional<int> Counter(std::string_view text)
{
    if (TrimBlanks(text).empty()) return 0;
    try {
        const std::optional<double> value = ParseNumber(text);
        if (value && *value >= 0 && *value <= std::numeric_limits<int>::max() && std::floor(*value) == *value)
            return static_cast<int>(*value);
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
        items.push_back(TrimBlanks(list.substr(at,
                                               comma == std::string_view::npos ? std::string_view::npos : comma - at)));
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
    void Add(const SectionAndKey& name, std::string message) { Add(name.Section, name.Key, std::move(message)); }

    // Each item of a list that is not a number.
    void NonNumbers(const SectionAndKey& name, const std::vector<std::string_view>& items)
    {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (IsNumberText(items[i])) continue;
            const std::string item = "item " + std::to_string(i + 1);
            Add(name, items[i].empty() ? item + " is empty" : item + ", " + Quoted(items[i]) + ", is not a number");
        }
    }

private:
    const std::function<void(const Finding&)>& found_;
};

// Load units that are a pressure on the plate rather than a force; field programs may give either.
bool IsPressureUnit(std::string_view unit)
{
    static constexpr std::string_view kPressures[] = {
        "kilo-Pascal", "pound-force per square inch", "Pascal", "kPa", "MPa", "Pa", "psi", "bar"};
    unit = TrimBlanks(unit);
    return std::any_of(std::begin(kPressures), std::end(kPressures),
                       [unit](std::string_view pressure) { return EqualsIgnoreCase(unit, pressure); });
}

std::string Counted(std::size_t n, const std::string& what)
{
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

void CheckLocation(const PDDXSection& location, std::optional<int> sensors, Findings& findings)
{
    const std::string_view section = location.Handle();
    int drops = 0;
    for (const PDDXElement& element : location.Elements())
        drops += NumberAfter(element.Handle(), pddx::TestLocation::kDropDataPrefix) ? 1 : 0;
    const SectionAndKey counterName{section, pddx::TestLocation::NumberOfDrops};
    const PDDXElement* counter = location.Elements().Find(counterName.Key);
    const std::string_view text = counter ? counter->Value() : std::string_view();
    if (const std::optional<int> said = Counter(text); !said)
        findings.Add(counterName, Quoted(text) + " is not a whole number");
    else if (*said != drops)
        findings.Add(counterName, "is " + std::to_string(*said) + ", but the location holds " + Counted(drops, "drop"));

    std::vector<std::string_view> items;
    for (const PDDXElement& element : location.Elements()) {
        if (!NumberAfter(element.Handle(), pddx::TestLocation::kDropDataPrefix)) continue;
        const std::string_view value = element.Value();
        if (TrimBlanks(value).empty()) {
            findings.Add(section, element.Handle(), "empty");
            continue;
        }
        Items(value, items);
        if (sensors && static_cast<int>(items.size()) != *sensors + 1)
            findings.Add(section, element.Handle(),
                         "a load and " + Counted(items.size() - 1, "deflection") +
                             ", but NumberOfDeflectionSensors is " + std::to_string(*sensors));
        findings.NonNumbers({section, element.Handle()}, items);
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
    const auto value = [&](const SectionAndKey& name) { return document.Element(name).Value(); };
    for (const SectionAndKey& flagged : kFlagged)
        if (TrimBlanks(value(flagged)).empty()) findings.Add(flagged, "empty; the calibration needs it");

    if (const std::string_view load = value(pddx::Units::LoadUnits); IsPressureUnit(load))
        findings.Add(pddx::Units::LoadUnits,
                     Quoted(TrimBlanks(load)) +
                         " is a pressure; the calibration compares forces, so the loads are to be "
                         "multiplied by the plate area first");

    namespace configuration = pddx::DeviceConfiguration;
    const std::string_view radius = value(configuration::LoadPlateRadius);
    if (!TrimBlanks(radius).empty() && !IsNumberText(radius))
        findings.Add(configuration::LoadPlateRadius, Quoted(radius) + " is not a number");
    const std::string_view sensorText = value(configuration::NumberOfDeflectionSensors);
    const std::optional<int> sensors = Counter(sensorText);
    if (!sensors) findings.Add(configuration::NumberOfDeflectionSensors, Quoted(sensorText) + " is not a whole number");
    for (const SectionAndKey& key :
         {configuration::DeflectionSensorXAxisDistances, configuration::DeflectionSensorYAxisDistances}) {
        if (TrimBlanks(value(key)).empty()) continue;
        std::vector<std::string_view> items;
        Items(value(key), items);
        if (sensors && static_cast<int>(items.size()) != *sensors)
            findings.Add(key, Counted(items.size(), "distance") + ", but NumberOfDeflectionSensors is " +
                                  std::to_string(*sensors));
        findings.NonNumbers(key, items);
    }

    int locations = 0;
    for (const PDDXSection& section : document.Sections())
        locations += NumberAfter(section.Handle(), pddx::TestLocation::kPrefix) ? 1 : 0;
    const std::string_view locationText = value(pddx::DeflectionData::NumberOfTestLocations);
    if (const std::optional<int> said = Counter(locationText); !said)
        findings.Add(pddx::DeflectionData::NumberOfTestLocations, Quoted(locationText) + " is not a whole number");
    else if (*said != locations)
        findings.Add(pddx::DeflectionData::NumberOfTestLocations,
                     "is " + std::to_string(*said) + ", but the document holds " + Counted(locations, "test location"));
    for (const PDDXSection& section : document.Sections())
        if (NumberAfter(section.Handle(), pddx::TestLocation::kPrefix)) CheckLocation(section, sensors, findings);
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
        const std::optional<int> n = NumberAfter(names[i], pddx::TestLocation::kPrefix);
        if (!n || document.Sections().Contains(std::string(pddx::TestLocation::kPrefix) + std::to_string(*n))) continue;
        PDDXSection& location = document.AddTestLocation(*n);
        const int number = static_cast<int>(i);
        for (PDDXElement& element : location.Elements()) element.SetValue(profile.Value(number, element.Handle()));
        taken.assign(taken.size(), false);
        for (std::string_view key : profile.Keys(number)) {
            const std::optional<int> drop = NumberAfter(key, pddx::TestLocation::kDropDataPrefix);
            if (!drop) continue;
            if (taken.size() <= static_cast<std::size_t>(*drop)) taken.resize(*drop + 1, false);
            if (taken[*drop]) continue;
            taken[*drop] = true;
            location.AddDropData(*drop).SetValue(profile.Value(number, key));
        }
    }
}

}  // namespace vantrel
