// The names' constants and the documents built agree: every constant names an element that a new
// document (or its numbered sections) holds, and no element goes unnamed, in the same order.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "document/PDDXFile.h"

namespace vantrel {
namespace {

using Names = std::vector<std::pair<std::string, std::string>>;

Names Held(const PDDXSection& section)
{
    Names held;
    for (const PDDXElement& element : section.Elements()) held.emplace_back(section.Handle(), element.Handle());
    return held;
}

TEST(TemplateNames, NameEveryElementOfTheTemplateAndOfItsNumberedSections)
{
    PDDXFile document;
    Names held, named;
    for (const PDDXSection& section : document.Sections())
        for (auto& name : Held(section)) held.push_back(std::move(name));
    for (const SectionAndKey& name : {
#define PDDX_ELEMENT(section, handle, dataType, value, description) pddx::section::handle,
#include "document/PDDXTemplate.def"
         })
        named.emplace_back(name.Section, name.Key);
    EXPECT_EQ(held, named);

    const std::string location = std::string(pddx::TestLocation::kPrefix) + "1";
    const Names locationNames = {
#define PDDX_LOCATION_ELEMENT(handle, dataType, value) {location, std::string(pddx::TestLocation::handle)},
#include "document/PDDXTemplate.def"
    };
    EXPECT_EQ(Held(document.AddTestLocation()), locationNames);
    const std::string calibration = std::string(pddx::CalibrationHistory::kPrefix) + "1";
    const Names calibrationNames = {
#define PDDX_CALIBRATION_ELEMENT(handle, dataType, value) {calibration, std::string(pddx::CalibrationHistory::handle)},
#include "document/PDDXTemplate.def"
    };
    EXPECT_EQ(Held(document.AddFWDCalHistory()), calibrationNames);
}

}  // namespace
}  // namespace vantrel
