// The document model: keyed collections, elements, sections, the template and the numbered
// sections and drops, with their change notification and failure cases.

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "document/PDDXFile.h"
#include "base/modConvert.h"

namespace vantrel {
namespace {

std::vector<std::string> Handles(const PDDXSection& section)
{
    std::vector<std::string> handles;
    for (const PDDXElement& element : section.Elements()) handles.push_back(element.Handle());
    return handles;
}

TEST(KeyedCollection, KeepsOrderFindsAnyCaseAndCountsFromOne)
{
    PDDXSection section("S");
    for (const char* handle : {"Zeta", "alpha", "Mid"}) section.AddElement(handle, "", kText, handle);
    EXPECT_EQ(Handles(section), (std::vector<std::string>{"Zeta", "alpha", "Mid"}));
    EXPECT_EQ(section.Elements().Item(1).Handle(), "Zeta");
    EXPECT_EQ(section.Elements().Item(3).Handle(), "Mid");
    EXPECT_THROW(section.Elements().Item(0), std::out_of_range);
    EXPECT_THROW(section.Elements().Item(4), std::out_of_range);
    EXPECT_EQ(section.Elements().Item("ALPHA").Value(), "alpha");
    EXPECT_EQ(section.Element("mId").Value(), "Mid");
    EXPECT_THROW(section.Element("missing"), std::out_of_range);
}

TEST(KeyedCollection, StaysConsistentThroughGrowthAndRemoval)
{
    PDDXSection section("S");
    for (int i = 0; i < 1000; ++i) section.AddElement("K" + std::to_string(i), "", kNumber, std::to_string(i));
    section.RemoveElement("k500");
    EXPECT_EQ(section.Elements().Count(), 999);
    EXPECT_FALSE(section.Elements().Contains("K500"));
    EXPECT_EQ(section.Elements().Item(501).Handle(), "K501");
    for (int i = 0; i < 1000; ++i) {
        if (i == 500) continue;
        EXPECT_EQ(section.Element("k" + std::to_string(i)).Value(), std::to_string(i));
    }
    EXPECT_THROW(section.RemoveElement("K500"), std::out_of_range);
}

TEST(PDDXSection, AddElementKeepsTheFirstOfTwoHandlesDifferingOnlyInCase)
{
    PDDXSection section("S");
    section.AddElement("Key", "first", kText, "one");
    section.AddElement("KEY", "second", kNumber, "two");
    ASSERT_EQ(section.Elements().Count(), 1);
    EXPECT_EQ(section.Element("key").Value(), "one");
    EXPECT_EQ(section.Element("key").Description(), "first");
    EXPECT_EQ(section.Element("key").Parent(), &section);
}

TEST(PDDXSection, AHandleCannotChangeOnceTheElementIsInASection)
{
    PDDXSection section("S");
    section.AddElement("Key", "", kText, "");
    EXPECT_THROW(section.Element("Key").SetHandle("Other"), std::logic_error);
    PDDXElement loose("A", "", kText);
    loose.SetHandle("B");
    EXPECT_EQ(loose.Handle(), "B");
}

TEST(PDDXSection, AddDropDataNumbersFromTheCounterOrTakesTheGivenNumber)
{
    PDDXFile document;
    PDDXSection& location = document.AddTestLocation();
    for (int i = 0; i < 3; ++i) location.AddDropData();
    EXPECT_EQ(location.Element("NumberOfDrops").Value(), "3");
    EXPECT_EQ(location.Elements().Item(10).Handle(), "DropData_1");
    EXPECT_EQ(location.Elements().Item(12).Handle(), "DropData_3");
    EXPECT_EQ(location.Element("DropData_2").DataType(), kNumber);

    PDDXSection& second = document.AddTestLocation();
    EXPECT_EQ(second.AddDropData(5).Handle(), "DropData_5");
    EXPECT_EQ(second.Element("NumberOfDrops").Value(), "0");
}

TEST(PDDXSection, AddDropDataAndHistoryReportClashesAndBadCounters)
{
    PDDXFile document;
    PDDXSection& location = document.AddTestLocation();
    location.AddDropData(1);
    EXPECT_THROW(location.AddDropData(), std::invalid_argument);  // counter 0 + 1 = 1 exists
    EXPECT_EQ(location.Element("NumberOfDrops").Value(), "0");     // and the counter did not move
    location.Element("NumberOfDrops").SetValue("");
    EXPECT_THROW(location.AddDropData(), ConversionError);
    EXPECT_THROW(location.AddDropData(32768), OverflowError);
    location.Element("NumberOfDrops").SetValue("32767");
    EXPECT_THROW(location.AddDropData(), OverflowError);

    EXPECT_EQ(location.AddHistoryData(2, 10).Handle(), "DropHistoryData_2_10");
    EXPECT_THROW(location.AddHistoryData(2, 10), std::invalid_argument);
    EXPECT_EQ(location.Element("NumberOfDrops").Value(), "32767");
}

TEST(PDDXFile, TemplateHasTheStandardSectionsElementsAndDefaults)
{
    const PDDXFile document;
    std::vector<std::string> sections;
    int elements = 0;
    for (const PDDXSection& section : document.Sections()) {
        sections.push_back(section.Handle());
        elements += section.Elements().Count();
        for (const PDDXElement& element : section.Elements()) EXPECT_FALSE(element.Flagged()) << element.Handle();
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"Pavement Deflection Data Exchange File", "Operations Information",
                                                  "Units", "Device Information", "Device Configuration",
                                                  "Device Calibration", "Location Identification",
                                                  "Deflection Data"}));
    EXPECT_EQ(elements, 67);
    EXPECT_EQ(document.Element("Pavement Deflection Data Exchange File", "VantrelVersionNumber").Value(), "1.3.2");
    EXPECT_EQ(document.Element("Operations Information", "FileName").Description(), "blah");
    EXPECT_EQ(document.Element("Operations Information", "DecimalSymbol").Description(), "desc");
    EXPECT_EQ(document.Element("Operations Information", "SoftwareVersion").Description(), "");
    EXPECT_EQ(document.Element("Device Calibration", "LoadCellDynamicCalibrationDate").DataType(), kNumber);
    EXPECT_EQ(document.Element("Device Calibration", "LoadCellCalibrationDate").DataType(), kDate);
    EXPECT_EQ(document.Element("Operations Information", "EndTime").DataType(), kTimeOfDay);
    EXPECT_EQ(document.Element("Units", "GPSUnits").DataType(), kUnitName);
    EXPECT_EQ(document.Section("Device Calibration").Elements().Item(20).Handle(), "NumberCalibrations");
    EXPECT_EQ(document.Section("Deflection Data").Elements().Item(5).Handle(), "NumberOfDropHistoryDataSamples");
}

TEST(PDDXFile, TestLocationsAreNumberedByTheCounterUnlessANumberIsGiven)
{
    PDDXFile document;
    document.AddTestLocation();
    PDDXSection& second = document.AddTestLocation();
    EXPECT_EQ(second.Handle(), "Test Location 2");
    EXPECT_EQ(Handles(second), (std::vector<std::string>{"TestLocation", "GPSLocation", "TestLane", "TestType",
                                                         "DropHistoryType", "TestTemperatures", "TestTime",
                                                         "TestComment", "NumberOfDrops"}));
    EXPECT_EQ(document.AddTestLocation(7).Handle(), "Test Location 7");
    EXPECT_EQ(document.Element("Deflection Data", "NumberOfTestLocations").Value(), "2");
    EXPECT_THROW(document.AddTestLocation(7), std::invalid_argument);

    // An empty counter counts as 0; a clash with an explicit number leaves the counter alone.
    document.Element("Deflection Data", "NumberOfTestLocations").SetValue(" ");
    EXPECT_THROW(document.AddTestLocation(), std::invalid_argument);
    EXPECT_EQ(document.Element("Deflection Data", "NumberOfTestLocations").Value(), " ");
}

TEST(PDDXFile, AddDropDataFillsTheHighestLocationAndKeepsExistingDrops)
{
    PDDXFile document;
    EXPECT_THROW(document.AddDropData(3), std::out_of_range);  // no test location yet
    document.AddTestLocation();
    document.Section("Test Location 1").AddDropData(2).SetValue("kept");
    document.AddDropData(3);
    const PDDXSection& location = document.Section("Test Location 1");
    EXPECT_EQ(location.Element("NumberOfDrops").Value(), "3");
    EXPECT_EQ(location.Element("DropData_2").Value(), "kept");
    EXPECT_EQ(location.Elements().Count(), 12);
    EXPECT_EQ(location.Elements().Item(11).Handle(), "DropData_1");
}

TEST(PDDXFile, CalibrationHistoriesFollowTheirCounter)
{
    PDDXFile document;
    PDDXSection& first = document.AddFWDCalHistory();
    EXPECT_EQ(first.Handle(), "Device Calibration_1");
    EXPECT_EQ(document.Element("Device Calibration", "NumberCalibrations").Value(), "1");
    EXPECT_EQ(first.Elements().Count(), 10);
    EXPECT_EQ(first.Elements().Item(10).Handle(), "CalCenterIDCode");
    EXPECT_EQ(document.AddFWDCalHistory(4).Handle(), "Device Calibration_4");
    EXPECT_EQ(document.Element("Device Calibration", "NumberCalibrations").Value(), "1");
}

TEST(PDDXFile, EveryAssignmentReachesTheDocumentsListeners)
{
    PDDXFile document;
    std::vector<std::string> seen;
    const int subscription = document.SubscribeElementChange([&](PDDXElement& element) {
        seen.push_back(element.Parent()->Handle() + "/" + element.Handle() + "=" + element.Value());
    });
    PDDXElement& radius = document.Element("Device Configuration", "LoadPlateRadius");
    radius.SetValue("150");
    radius.SetValue("150");  // the same text still tells
    PDDXSection& location = document.AddTestLocation();
    location.AddDropData().SetValue("1, 2");
    EXPECT_EQ(seen.front(), "Device Configuration/LoadPlateRadius=150");
    EXPECT_EQ(seen[1], "Device Configuration/LoadPlateRadius=150");
    EXPECT_EQ(seen.back(), "Test Location 1/DropData_1=1, 2");
    EXPECT_NE(std::find(seen.begin(), seen.end(), "Deflection Data/NumberOfTestLocations=1"), seen.end());

    document.UnsubscribeElementChange(subscription);
    const auto before = seen.size();
    radius.SetValue("6");
    EXPECT_EQ(seen.size(), before);
}

}  // namespace
}  // namespace vantrel
