#pragma once
// What a calibration centre checks before it accepts a device's data: the calibration dates and
// factors, the description of the device, and the drops themselves. Each finding names its rule
// (CheckLimits.h); the limits come from the settings.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/CheckLimits.h"
#include "document/PDDXFile.h"

namespace vantrel {

// Where (section and key), which rule, and what.
using RuleReport =
    std::function<void(std::string_view section, std::string_view key, std::string_view code, std::string message)>;

// The calibration dates and factors, the serial numbers, offsets and plate radius of a document.
void CheckCalibrationValues(const PDDXFile& document, const CheckLimits& limits, const RuleReport& report);

// The drops of one test location at a time, as they come: the drop's own faults at once, those
// of its drops together (loads of one height, repeatability) and its test time at its end.
class DropRules {
public:
    DropRules(const PDDXFile& document, const CheckLimits& limits, RuleReport report);

    void Begin(std::string_view location);
    // `items`: the load, then one deflection per sensor. Judged only when every item is a number.
    void Drop(std::string_view handle, const std::vector<std::string_view>& items);
    void End(std::string_view testTime);

private:
    struct HeldDrop {
        std::string Handle;
        double Load;
        std::vector<double> Deflections;
    };
    void Basin(std::string_view handle, const std::vector<double>& deflections);
    void Heights();
    void Repeatability(const std::vector<const HeldDrop*>& group, double load);

    CheckLimits limits_;
    RuleReport report_;
    std::vector<std::size_t> order_;              // sensors from the plate outwards
    std::vector<std::optional<double>> offsets_;  // millimetres, by sensor
    std::string location_;
    std::vector<HeldDrop> drops_;
    std::unordered_map<std::string, std::string> testTimes_;  // the first location of each
};

}  // namespace vantrel
