#pragma once
// Factors from the unit names documents carry ("kilo-Newton", "psi", "inch", ...) to the units the
// export computes in. Letter case, blanks and hyphens do not matter, and the abbreviations the
// readers meet ("kN", "mm", "lbf") are known too; nullopt for a name that is no unit of the kind.

#include <optional>
#include <string_view>

namespace vantrel {

std::optional<double> KilonewtonsPer(std::string_view force);
std::optional<double> KilopascalsPer(std::string_view pressure);
std::optional<double> MillimetresPer(std::string_view length);

}  // namespace vantrel
