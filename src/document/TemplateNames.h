#pragma once
// The names of the standard template's sections and elements as constants, made from the
// template's own list (PDDXTemplate.def), so that a misspelt name does not compile and no name can
// be missing from either:
//   pddx::Units::kSection             "Units"
//   pddx::Units::LoadUnits            {"Units", "LoadUnits"}: an element carries its section
//   pddx::TestLocation::kPrefix       "Test Location ", and pddx::TestLocation::TestLane "TestLane"
//   pddx::CalibrationHistory::kPrefix "Device Calibration_", with its handles likewise
// Names read from files or typed by the user are data and stay text.

#include <string_view>

namespace vantrel {

// A template element: the section it belongs to and its handle there.
struct SectionAndKey {
    std::string_view Section;
    std::string_view Key;
};

namespace pddx {

#define PDDX_SECTION(id, name)                         \
    namespace id {                                     \
    inline constexpr std::string_view kSection = name; \
    }
#define PDDX_ELEMENT(section, handle, dataType, value, description) \
    namespace section {                                             \
    inline constexpr SectionAndKey handle{kSection, #handle};       \
    }
#define PDDX_NUMBERED_SECTION(id, prefix)               \
    namespace id {                                      \
    inline constexpr std::string_view kPrefix = prefix; \
    }
#define PDDX_LOCATION_ELEMENT(handle, dataType, value)  \
    namespace TestLocation {                            \
    inline constexpr std::string_view handle = #handle; \
    }
#define PDDX_CALIBRATION_ELEMENT(handle, dataType, value) \
    namespace CalibrationHistory {                        \
    inline constexpr std::string_view handle = #handle;   \
    }
#include "document/PDDXTemplate.def"

// The numbered elements a test location gains: DropData_n, and DropHistoryData_n_m.
namespace TestLocation {
inline constexpr std::string_view kDropDataPrefix = "DropData_";
inline constexpr std::string_view kDropHistoryDataPrefix = "DropHistoryData_";
}  // namespace TestLocation

}  // namespace pddx
}  // namespace vantrel
