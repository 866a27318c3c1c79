#pragma once
// The limits the calibration checks hold a document to, kept in the settings' [Check] group and
// changed for one run with --set; and the rules, each with its code, its level and where its
// limit comes from, as `vantrel check --rules` lists them.

#include <span>
#include <string>
#include <string_view>

namespace vantrel {

struct CheckLimits {
    double ReferenceCalibrationDays = 365;  // twelve months
    double RelativeCalibrationDays = 31;    // one month
    double MinFactor = 0.98;
    double MaxFactor = 1.02;
    double BasinRisePercent = 5;
    double LoadTolerancePercent = 5;
    double RepeatabilityPercent = 5;
    double MinLoadKilonewtons = 5;
    double MaxLoadKilonewtons = 300;
    bool operator==(const CheckLimits&) const = default;
};

// A limit by its key in the settings and on --set.
struct CheckLimitKey {
    std::string_view Name;
    double CheckLimits::*Field;
};
std::span<const CheckLimitKey> CheckLimitKeys();
// The key's field, by its name in any letter case; nullptr for no such key.
double* FindCheckLimit(CheckLimits& limits, std::string_view name);

// What makes the limits impossible (a negative limit, MinFactor above MaxFactor); empty when
// nothing does.
std::string LimitsFault(const CheckLimits& limits);

enum class Severity { Error, Warning, Note };
std::string_view SeverityName(Severity level);  // "error", "warning", "note"

struct CheckRule {
    std::string_view Code;
    Severity Level;
    std::string_view What;
    std::string_view Limit;  // the key of its limit, or empty
    std::string_view Source;
};
std::span<const CheckRule> CheckRules();
const CheckRule& RuleOf(std::string_view code);

// One line per rule: code, level, what it finds, its limit's key and value, where it comes from.
std::string RulesListing(const CheckLimits& limits);

}  // namespace vantrel
