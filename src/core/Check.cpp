#include "core/Check.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "base/Latin1.h"
#include "core/CalibrationChecks.h"
#include "core/DropMeasures.h"
#include "core/ExportFields.h"
#include "core/UnitFactors.h"
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

class Findings {
public:
    explicit Findings(const std::function<void(const Finding&)>& found) : found_(found) {}

    void Add(std::string_view section, std::string_view key, std::string message, std::string_view code = {},
             const RelatedElements& related = {}, Severity level = Severity::Error)
    {
        Finding finding{Utf8FromLatin1(section), Utf8FromLatin1(key), std::move(message), std::string(code), level, {}};
        finding.Related.reserve(related.size());
        for (const SectionAndKey& other : related)
            finding.Related.emplace_back(Utf8FromLatin1(other.Section), Utf8FromLatin1(other.Key));
        if (holding_) held_.push_back(std::move(finding));
        else found_(finding);
    }
    void Add(const SectionAndKey& name, std::string message) { Add(name.Section, name.Key, std::move(message)); }
    // What the calibration rules find goes the same way.
    RuleReport Rules()
    {
        return [this](std::string_view section, std::string_view key, std::string_view code, Severity level,
                      std::string message,
                      const RelatedElements& related) { Add(section, key, std::move(message), code, related, level); };
    }

    // Each item of a list that is not a number; `values`, where given, the items read already (a
    // number too large to read is a number all the same).
    void NonNumbers(const SectionAndKey& name, const std::vector<std::string_view>& items,
                    const std::vector<std::optional<double>>* values = nullptr)
    {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if ((values && (*values)[i]) || IsNumberText(items[i])) continue;
            const std::string item = "item " + std::to_string(i + 1);
            Add(name, items[i].empty() ? item + " is empty" : item + ", " + Quoted(items[i]) + ", is not a number");
        }
    }

    // What is found from now on waits; after StopHolding, what is found goes on at once again,
    // and Release hands on what waited.
    void Hold() { holding_ = true; }
    void StopHolding() { holding_ = false; }
    void Release()
    {
        for (const Finding& finding : held_) found_(finding);
        held_.clear();
    }

private:
    const std::function<void(const Finding&)>& found_;
    bool holding_ = false;
    std::vector<Finding> held_;
};

std::string Counted(std::size_t n, const std::string& what)
{
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// The drops of one test location at a time, checked as they come. What they show waits for the
// location's end: the finding about its counter, which needs every drop counted, comes first.
class LocationCheck {
public:
    LocationCheck(Findings& findings, std::optional<int> sensors, DropRules rules)
        : findings_(findings), sensors_(sensors), rules_(std::move(rules))
    {
    }

    void Begin(std::string_view section)
    {
        section_.assign(section);
        drops_ = 0;
        findings_.Hold();
        rules_.Begin(section);
    }
    void Drop(std::string_view handle, std::string_view value)
    {
        ++drops_;
        if (TrimBlanks(value).empty()) {
            findings_.Add(section_, handle, "empty");
            return;
        }
        // Each number is read once, for both the check of the drop and the rules.
        Items(value, items_, values_);
        if (sensors_ && static_cast<int>(items_.size()) != *sensors_ + 1)
            findings_.Add(section_, handle,
                          "a load and " + Counted(items_.size() - 1, "deflection") +
                              ", but NumberOfDeflectionSensors is " + std::to_string(*sensors_));
        if (!std::all_of(values_.begin(), values_.end(), [](const std::optional<double>& v) { return v.has_value(); }))
            findings_.NonNumbers({section_, handle}, items_, &values_);
        rules_.Drop(handle, values_);
    }
    // `counter`: the location's NumberOfDrops, empty where it has none; `testTime` its TestTime.
    void End(std::string_view counter, std::string_view testTime)
    {
        rules_.End(testTime);
        findings_.StopHolding();
        const SectionAndKey counterName{section_, pddx::TestLocation::NumberOfDrops};
        if (const std::optional<int> said = Counter(counter); !said)
            findings_.Add(counterName, Quoted(counter) + " is not a whole number");
        else if (*said != drops_)
            findings_.Add(counterName,
                          "is " + std::to_string(*said) + ", but the location holds " + Counted(drops_, "drop"));
        findings_.Release();
    }

private:
    Findings& findings_;
    std::optional<int> sensors_;
    DropRules rules_;
    std::string section_;
    int drops_ = 0;
    std::vector<std::string_view> items_;  // reused from drop to drop, as a million drops are checked
    std::vector<std::optional<double>> values_;
};

// `drops`, where given: the location's drops, read apart from the document into `apart`.
void CheckLocation(const PDDXSection& location, LocationCheck& check, const PDDXDropValues* apart,
                   const std::vector<const char*>* drops)
{
    check.Begin(location.Handle());
    if (drops) {
        std::string handle;
        for (std::size_t d = 0; d < drops->size(); ++d) {
            handle.assign(pddx::TestLocation::kDropDataPrefix).append(std::to_string(d + 1));
            check.Drop(handle, apart->Value((*drops)[d]));
        }
    } else {
        for (const PDDXElement& element : location.Elements())
            if (NumberAfter(element.Handle(), pddx::TestLocation::kDropDataPrefix))
                check.Drop(element.Handle(), element.Value());
    }
    const PDDXElement* counter = location.Elements().Find(pddx::TestLocation::NumberOfDrops);
    const PDDXElement* time = location.Elements().Find(pddx::TestLocation::TestTime);
    check.End(counter ? counter->Value() : std::string_view(), time ? time->Value() : std::string_view());
}

int CountLocations(const PDDXFile& document)
{
    int locations = 0;
    for (const PDDXSection& section : document.Sections())
        locations += NumberAfter(section.Handle(), pddx::TestLocation::kPrefix) ? 1 : 0;
    return locations;
}

// What a load of 100 in a pressure unit is as a force on the document's plate, where it gives
// the plate's radius: " (with the plate radius, 150 mm, a load of 100 is 7.07 kN)".
std::string WhatThePlateGives(const PDDXFile& document)
{
    const std::optional<double> plateMm = PlateMillimetres(document);
    const std::optional<double> knPerLoad = LoadScaleOf(document).KilonewtonsPerLoad;
    if (!plateMm || !knPerLoad) return {};
    const auto rounded = [](double value) { return DoubleText(std::round(value * 100) / 100); };
    return " (with the plate radius, " + rounded(*plateMm) + " mm, a load of 100 is " + rounded(100 * *knPerLoad) +
           " kN)";
}

// The findings about the document as a whole, its `locations` test locations counted; the sensor
// count the drops are checked against, where there is one.
std::optional<int> CheckWhole(const PDDXFile& document, int locations, const CheckLimits& limits, Findings& findings)
{
    const auto value = [&](const SectionAndKey& name) { return document.Element(name).Value(); };
    for (const SectionAndKey& flagged : kFlagged)
        if (TrimBlanks(value(flagged)).empty()) findings.Add(flagged, "empty; the calibration needs it");

    if (const std::string_view load = value(pddx::Units::LoadUnits); KilopascalsPer(load))
        findings.Add(pddx::Units::LoadUnits, Quoted(TrimBlanks(load)) +
                                                 " is a pressure; the calibration compares forces, so the loads are "
                                                 "to be multiplied by the plate area first" +
                                                 WhatThePlateGives(document));

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

    const std::string_view locationText = value(pddx::DeflectionData::NumberOfTestLocations);
    if (const std::optional<int> said = Counter(locationText); !said)
        findings.Add(pddx::DeflectionData::NumberOfTestLocations, Quoted(locationText) + " is not a whole number");
    else if (*said != locations)
        findings.Add(pddx::DeflectionData::NumberOfTestLocations,
                     "is " + std::to_string(*said) + ", but the document holds " + Counted(locations, "test location"));
    CheckCalibrationValues(document, limits, findings.Rules());
    return sensors;
}

}  // namespace

std::span<const SectionAndKey> FlaggedElements() { return kFlagged; }

std::string FindingLine(const Finding& finding)
{
    std::string line = "[" + finding.Section + "] " + finding.Key + ": ";
    if (!finding.Code.empty()) line.append(finding.Code).append(" ").append(SeverityName(finding.Level)).append(": ");
    return line + finding.Message;
}

int NumberAfterOrZero(std::string_view name, std::string_view prefix)
{
    if (name.size() <= prefix.size()) return 0;
    // The handles a document holds are in the prefix's own case but for a rare file.
    const std::string_view start = name.substr(0, prefix.size());
    if (start != prefix && !EqualsIgnoreCase(start, prefix)) return 0;
    // Digits only (no sign), within an int's range: a plain loop, as export asks this of every drop.
    std::int64_t number = 0;
    for (const char c : name.substr(prefix.size())) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
        if (number > std::numeric_limits<int>::max()) return 0;
    }
    return static_cast<int>(number);
}

struct SteppedCheck::State {
    State(const PDDXFile& checked, std::function<void(const Finding&)> tell, const CheckLimits& limits,
          const PDDXDropValues* drops)
        : document(checked),
          apart(drops),
          found(std::move(tell)),
          findings(found),
          check(findings, CheckWhole(document, CountLocations(document), limits, findings),
                DropRules(document, limits, findings.Rules()))
    {
    }
    const PDDXFile& document;
    const PDDXDropValues* apart;
    const std::function<void(const Finding&)> found;  // before `findings`, which refers to it
    Findings findings;
    LocationCheck check;
    int checked = 0;            // sections
    std::size_t locations = 0;  // test locations
};

SteppedCheck::SteppedCheck(const PDDXFile& document, std::function<void(const Finding&)> found,
                           const CheckLimits& limits, const PDDXDropValues* drops)
    : state_(std::make_unique<State>(document, std::move(found), limits, drops))
{
}

SteppedCheck::~SteppedCheck() = default;

bool SteppedCheck::Continue(std::size_t sections)
{
    const KeyedCollection<PDDXSection>& all = state_->document.Sections();
    for (; sections > 0 && state_->checked < all.Count(); --sections) {
        const PDDXSection& section = all.Item(++state_->checked);
        if (!NumberAfter(section.Handle(), pddx::TestLocation::kPrefix)) continue;
        const PDDXDropValues* apart = state_->apart;
        const std::size_t n = state_->locations++;
        CheckLocation(section, state_->check, apart,
                      apart && n < apart->Locations.size() ? &apart->Locations[n] : nullptr);
    }
    return state_->checked >= all.Count();
}

void CheckDocument(const PDDXFile& document, const std::function<void(const Finding&)>& found,
                   const CheckLimits& limits, const PDDXDropValues* drops)
{
    SteppedCheck(document, found, limits, drops).Continue(std::numeric_limits<std::size_t>::max());
}

}  // namespace vantrel
