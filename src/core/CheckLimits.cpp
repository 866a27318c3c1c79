#include "core/CheckLimits.h"

#include <algorithm>
#include <stdexcept>

#include "base/Latin1.h"
#include "base/NumberText.h"

namespace vantrel {
namespace {

constexpr CheckLimitKey kKeys[] = {
    {"ReferenceCalibrationDays", &CheckLimits::ReferenceCalibrationDays},
    {"RelativeCalibrationDays", &CheckLimits::RelativeCalibrationDays},
    {"MinFactor", &CheckLimits::MinFactor},
    {"MaxFactor", &CheckLimits::MaxFactor},
    {"BasinRisePercent", &CheckLimits::BasinRisePercent},
    {"LoadTolerancePercent", &CheckLimits::LoadTolerancePercent},
    {"RepeatabilityPercent", &CheckLimits::RepeatabilityPercent},
    {"MinLoadKilonewtons", &CheckLimits::MinLoadKilonewtons},
    {"MaxLoadKilonewtons", &CheckLimits::MaxLoadKilonewtons},
};

constexpr std::string_view kIntervals =
    "AASHTO R 32: a reference calibration once a year, a relative calibration once a month (LTPP's "
    "protocol: 400 and 42 days)";
constexpr std::string_view kPlausible = "plausibility: no device is built so";

constexpr CheckRule kRules[] = {
    {"V101", Severity::Warning, "a reference calibration older than the limit at the date of the data",
     "ReferenceCalibrationDays", kIntervals},
    {"V102", Severity::Warning, "a relative calibration older than the limit at the date of the data",
     "RelativeCalibrationDays", kIntervals},
    {"V103", Severity::Error, "a calibration dated after the data", "", "a calibration cannot apply to earlier data"},
    {"V104", Severity::Warning, "a calibration date or the date of the data that is no date", "",
     "dates are read as dd-mmm-yyyy, yyyy-mm-dd or dd.mm.yyyy"},
    {"V111", Severity::Warning,
     "a relative or reference calibration factor outside MinFactor to MaxFactor (a Dynatest device's relative gains)",
     "MinFactor, MaxFactor", "AASHTO R 32: a sensor whose factor falls outside 0.98 to 1.02 is to be checked"},
    {"V112", Severity::Error, "a list of sensor factors that does not hold one per sensor", "",
     "a factor belongs to each sensor"},
    {"V113", Severity::Error, "a load-cell factor that is not a number", "", "a factor is a number"},
    {"V121", Severity::Note, "sensor serial numbers missing", "", "a calibration is of named sensors"},
    {"V122", Severity::Warning, "not one sensor serial number per sensor", "", "a calibration is of named sensors"},
    {"V123", Severity::Warning, "a sensor serial number given twice", "", "each sensor has its own"},
    {"V124", Severity::Warning, "two sensors at the same offset", "", kPlausible},
    {"V125", Severity::Note, "offsets not increasing, the sensors standing on one line (no Y offsets)", "",
     "sensors are listed from the plate outwards"},
    {"V126", Severity::Warning, "an offset beyond -1 m or 3 m from the plate", "", kPlausible},
    {"V127", Severity::Warning, "a plate radius below 50 mm or above 250 mm (a diameter given as the radius?)", "",
     "plates are 300 mm or 450 mm across"},
    {"V131", Severity::Error, "a deflection that is negative or zero", "", "a load pushes the surface down"},
    {"V132", Severity::Warning, "a basin that rises away from the plate by more than the limit", "BasinRisePercent",
     "deflections shrink with the distance from the load"},
    {"V133", Severity::Warning,
     "a drop whose load differs from the median of its height by more than the limit, or one below half the others'",
     "LoadTolerancePercent", "drops from one height give one load"},
    {"V134", Severity::Warning,
     "two test locations with the same test time (a note where no time of the document gives seconds)", "",
     "one device tests one place at a time"},
    {"V135", Severity::Warning,
     "a sensor's deflections over the drops of one height varying by more than the limit (coefficient of variation)",
     "RepeatabilityPercent", "repeated drops give repeated deflections"},
    {"V136", Severity::Warning, "a load outside what an FWD applies, as a force (once a document)",
     "MinLoadKilonewtons, MaxLoadKilonewtons",
     "plausibility: FWDs apply about 7 to 120 kN, heavy-weight deflectometers up to about 250 kN"},
};

}  // namespace

std::span<const CheckLimitKey> CheckLimitKeys() { return kKeys; }

double* FindCheckLimit(CheckLimits& limits, std::string_view name)
{
    for (const CheckLimitKey& key : kKeys)
        if (EqualsIgnoreCase(key.Name, name)) return &(limits.*key.Field);
    return nullptr;
}

std::string LimitsFault(const CheckLimits& limits)
{
    for (const CheckLimitKey& key : kKeys)
        if (limits.*key.Field < 0)
            return std::string(key.Name) + " " + DoubleText(limits.*key.Field) + " is below 0: no limit is negative";
    if (limits.MinFactor > limits.MaxFactor)
        return "MinFactor " + DoubleText(limits.MinFactor) + " is above MaxFactor " + DoubleText(limits.MaxFactor) +
               ": no factor could lie between them";
    return {};
}

std::string_view SeverityName(Severity level)
{
    return level == Severity::Error ? "error" : level == Severity::Warning ? "warning" : "note";
}

std::span<const CheckRule> CheckRules() { return kRules; }

const CheckRule& RuleOf(std::string_view code)
{
    const auto* rule =
        std::find_if(std::begin(kRules), std::end(kRules), [code](const CheckRule& r) { return r.Code == code; });
    if (rule == std::end(kRules)) throw std::logic_error("no check rule " + std::string(code));
    return *rule;
}

std::string RulesListing(const CheckLimits& limits)
{
    std::string text;
    for (const CheckRule& rule : kRules) {
        text.append(rule.Code).append(" ").append(SeverityName(rule.Level)).append(": ").append(rule.What);
        if (!rule.Limit.empty()) {
            text.append(" (");
            std::string_view keys = rule.Limit;
            for (bool first = true; !keys.empty(); first = false) {
                const std::size_t comma = keys.find(", ");
                const std::string_view key = keys.substr(0, comma);
                CheckLimits copy = limits;
                text.append(first ? "" : ", ").append(key).append(" ").append(DoubleText(*FindCheckLimit(copy, key)));
                keys = comma == std::string_view::npos ? std::string_view() : keys.substr(comma + 2);
            }
            text.append(")");
        }
        text.append("; ").append(rule.Source).append("\n");
    }
    return text;
}

}  // namespace vantrel
