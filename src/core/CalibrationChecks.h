#pragma once
// What a calibration centre checks before it accepts a device's data: the calibration dates and
// factors, the description of the device, and the drops themselves. Each finding names its rule
// (CheckLimits.h); the limits come from the settings.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/CheckLimits.h"
#include "document/PDDXFile.h"

namespace vantrel {

// Other elements a finding is about, by section and key.
using RelatedElements = std::vector<SectionAndKey>;
// Where (section and key), which rule at which level (its own, or lower where the document cannot
// tell), what, and what else it concerns.
using RuleReport = std::function<void(std::string_view section, std::string_view key, std::string_view code,
                                      Severity level, std::string message, const RelatedElements& related)>;

// The calibration dates and factors, the serial numbers, offsets and plate radius of a document.
void CheckCalibrationValues(const PDDXFile& document, const CheckLimits& limits, const RuleReport& report);

// The places of `values` (positive and finite) in the order of their values, places of equal
// values in their own order; `order` keeps its room from call to call.
void OrderByValue(std::span<const double> values, std::vector<std::size_t>& order);

// The drops of one test location at a time, as they come: the drop's own faults at once, those
// of its drops together (loads of one height, repeatability) and its test time at its end. A load
// an FWD cannot apply is told once a document, at the first drop that has one.
class DropRules {
public:
    DropRules(const PDDXFile& document, const CheckLimits& limits, RuleReport report);

    void Begin(std::string_view location);
    // `items`: the load, then one deflection per sensor, as read (nullopt: not a number). Judged
    // only when every item is a number.
    void Drop(std::string_view handle, std::span<const std::optional<double>> items);
    void End(std::string_view testTime);

private:
    // A drop of the location at hand; its handle and deflections in the buffers below, which
    // keep their room from location to location.
    struct HeldDrop {
        std::size_t HandleAt, HandleSize;
        double Load;
        std::size_t DeflectionsAt, DeflectionCount;
    };
    using DropGroup = std::span<const HeldDrop* const>;  // drops of one height, by load
    void Report(std::string_view key, std::string_view code, std::string message, const RelatedElements& related = {},
                std::optional<Severity> level = std::nullopt);
    void Load(std::string_view handle, double load);
    void Basin(std::string_view handle, std::span<const double> deflections);
    void Heights();
    void Repeatability(DropGroup group, double load);
    // The drops of a height but `except`, as related elements.
    RelatedElements Others(DropGroup group, const HeldDrop* except) const;

    CheckLimits limits_;
    RuleReport report_;
    std::vector<std::vector<std::size_t>> sides_;  // sensors from the plate outwards, in front and behind
    std::vector<std::optional<double>> offsets_;   // millimetres, by sensor
    std::string location_;
    std::vector<HeldDrop> drops_;
    std::string handles_;
    std::vector<double> deflections_;
    std::vector<double> loads_;  // Heights': the positive loads, their drops and their order
    std::vector<std::size_t> places_, order_;
    std::vector<double> sums_, squares_;  // Repeatability's, by sensor
    std::vector<std::size_t> counts_;
    std::string_view HandleOf(const HeldDrop& drop) const { return {handles_.data() + drop.HandleAt, drop.HandleSize}; }
    double Deflection(const HeldDrop& drop, std::size_t k) const { return deflections_[drop.DeflectionsAt + k]; }
    std::unordered_map<std::string, std::string> testTimes_;  // the first location of each
    bool toTheMinute_ = false;                                // no test time of the document gives seconds
    // A load as kN, where the document's unit (and, for a pressure, its plate) allow.
    std::optional<double> knPerLoad_;
    std::string loadUnit_;  // UTF-8
    bool unitIsForce_ = false;
    std::optional<double> plateMm_;  // the plate radius, where a plate has it
    bool loadTold_ = false;          // a load outside the range was told
};

}  // namespace vantrel
