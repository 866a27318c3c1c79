#include "core/UnitFactors.h"

#include <string>

#include "base/Latin1.h"

namespace vantrel {
namespace {

struct Unit {
    std::string_view Name;  // upper case, without blanks or hyphens
    double Factor;
};

constexpr double kPoundForceKn = 0.0044482216152605;

constexpr Unit kForces[] = {
    {"KILONEWTON", 1},
    {"KN", 1},
    {"NEWTON", 0.001},
    {"N", 0.001},
    {"POUNDFORCE", kPoundForceKn},
    {"LBF", kPoundForceKn},
    {"LB", kPoundForceKn},
    {"KIP", 1000 * kPoundForceKn},
    {"KILOGRAMFORCE", 0.00980665},
    {"KGF", 0.00980665},
};

constexpr double kPsiKpa = 6.894757293168361;

constexpr Unit kPressures[] = {
    {"KILOPASCAL", 1},    {"KPA", 1},    {"PASCAL", 0.001}, {"PA", 0.001},
    {"MEGAPASCAL", 1000}, {"MPA", 1000}, {"PSI", kPsiKpa},  {"POUNDFORCEPERSQUAREINCH", kPsiKpa},
    {"BAR", 100},
};

constexpr Unit kLengths[] = {
    {"MILLIMETER", 1}, {"MILLIMETRE", 1}, {"MM", 1},    {"CENTIMETER", 10}, {"CENTIMETRE", 10},    {"CM", 10},
    {"METER", 1000},   {"METRE", 1000},   {"M", 1000},  {"MICRON", 0.001},  {"MICROMETER", 0.001}, {"UM", 0.001},
    {"\xB5M", 0.001},  {"INCH", 25.4},    {"IN", 25.4}, {"MIL", 0.0254},    {"MILS", 0.0254},      {"FOOT", 304.8},
    {"FEET", 304.8},   {"FT", 304.8},
};

template <std::size_t N>
std::optional<double> FactorOf(const Unit (&units)[N], std::string_view name)
{
    std::string key;
    for (const char c : name)
        if (c != ' ' && c != '-') key += UpperChar(c);
    for (const Unit& unit : units)
        if (unit.Name == key) return unit.Factor;
    return std::nullopt;
}

}  // namespace

std::optional<double> KilonewtonsPer(std::string_view force) { return FactorOf(kForces, force); }
std::optional<double> KilopascalsPer(std::string_view pressure) { return FactorOf(kPressures, pressure); }
std::optional<double> MillimetresPer(std::string_view length) { return FactorOf(kLengths, length); }

}  // namespace vantrel
