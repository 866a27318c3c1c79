// The document model: keyed collections, elements, sections, the template and the numbered
// sections and drops, with their change notification and failure cases.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

#include "base/NumberText.h"
#include "document/PDDXFile.h"

namespace vantrel {
namespace {

std::vector<std::string> Handles(const PDDXSection& section)
{
    std::vector<std::string> handles;
    for (const PDDXElement& element : section.Elements()) handles.emplace_back(element.Handle());
    return handles;
}

TEST(KeyedCollection, KeepsOrderFindsAnyCaseCountsFromOneAndSurvivesGrowthAndRemoval)
{
    PDDXSection section("S");
    for (const char* handle : {"Zeta", "alpha", "Mid"}) section.AddElement(handle, "", kText, handle);
    section.AddElement("ALPHA", "second", kNumber, "ignored");  // the first of a handle stays
    EXPECT_EQ(Handles(section), (std::vector<std::string>{"Zeta", "alpha", "Mid"}));
    EXPECT_EQ(section.Elements().Item(3).Handle(), "Mid");
    EXPECT_THROW(section.Elements().Item(0), std::out_of_range);
    EXPECT_THROW(section.Elements().Item(4), std::out_of_range);
    EXPECT_EQ(section.Elements().Item("ALPHA").Value(), "alpha");
    EXPECT_EQ(section.Element("mId").Parent(), &section);
    EXPECT_THROW(section.Element("missing"), std::out_of_range);
    EXPECT_THROW(section.Element("Zeta").SetHandle("Other"), std::logic_error);  // it is the key

    for (int i = 0; i < 1000; ++i) section.AddElement("K" + std::to_string(i), "", kNumber, std::to_string(i));
    section.RemoveElement("k500");
    EXPECT_EQ(section.Elements().Count(), 1002);
    EXPECT_EQ(section.Elements().Item(504).Handle(), "K501");
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(section.Elements().Contains("k" + std::to_string(i)), i != 500) << i;
    EXPECT_EQ(section.Element("K999").Value(), "999");
    EXPECT_THROW(section.RemoveElement("K500"), std::out_of_range);
    for (int i = 0; i < 2000; ++i) section.AddElement("L" + std::to_string(i), "", kNumber, "");
    EXPECT_EQ(section.Elements().Item(3002).Handle(), "L1999");
    EXPECT_TRUE(section.Elements().Contains("l1000") && section.Elements().Contains("k999"));
}

// Values live in the document's blocks: a value may be shorter or longer than the one before or
// a piece of it, and a removed element keeps its value but tells nobody of changes.
TEST(PDDXElement, ValuesMayShrinkGrowOrBePiecesOfThemselves)
{
    PDDXFile document;
    PDDXElement& name = document.Element("Operations Information", "OperatorName");
    name.SetValue("a long operator name");
    name.SetValue(name.Value().substr(2, 4));
    EXPECT_EQ(name.Value(), "long");
    name.SetValue(std::string(name.Value()) + " and longer than it ever was");
    EXPECT_EQ(name.Value(), "long and longer than it ever was");
    name.SetValue(std::string(300000, 'z'));
    EXPECT_EQ(name.Value(), std::string(300000, 'z'));
    name.SetDescription("who");
    EXPECT_EQ(name.Description(), "who");
    EXPECT_EQ(name.Handle(), "OperatorName");

    PDDXSection& location = document.AddTestLocation();
    PDDXElement& lane = location.Element("TestLane");
    EXPECT_THROW(lane.SetParent(&document.Section("Units")), std::logic_error);
    int changes = 0;
    document.SubscribeElementChange([&](PDDXElement&) { ++changes; });
    location.RemoveElement("TestLane");
    lane.SetValue("x");
    lane.SetHandle("Renamed");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(lane.Parent(), nullptr);
    EXPECT_EQ(lane.Handle(), "Renamed");
    EXPECT_EQ(lane.Value(), "x");
}

// The store's texts against plain strings: lengths around its block sizes (the first block, a
// quarter of the largest, just over each), in a shuffled order, each filled and checked whole, so
// that room shorter than asked for shows as an overwritten neighbour (or under the sanitizer build
// as an overflow).
TEST(DocumentText, EveryTextGetsTheRoomItAskedFor)
{
    std::vector<std::size_t> lengths;
    for (const std::size_t around : {std::size_t{1}, std::size_t{255}, std::size_t{1024}, std::size_t{4096},
                                     std::size_t{6000}, std::size_t{65536}, std::size_t{262144}})
        for (const std::size_t length : {around - 1, around, around + 1}) lengths.push_back(length);
    std::mt19937 random(21);  // fixed: the same orders every run
    for (int i = 0; i < 300; ++i) lengths.push_back(random() % 70000);
    for (int round = 0; round < 4; ++round) {
        std::shuffle(lengths.begin(), lengths.end(), random);
        DocumentText store;
        std::vector<std::pair<char*, std::string>> kept;
        for (const std::size_t length : lengths) {
            // Each text its own letter, so that one written over another shows.
            std::string model(length, static_cast<char>('a' + kept.size() % 26));
            char* room = store.Allocate(length);
            if (length > 0) std::memcpy(room, model.data(), length);
            kept.emplace_back(room, std::move(model));
        }
        for (const auto& [room, model] : kept)
            ASSERT_EQ(std::string_view(room, model.size()), model) << "a text of " << model.size() << " bytes";
    }
}

// The sections, their order and the defaults show in the text a new document writes (see
// PDDXWriter); not in it: the empty elements, none of them flagged.
TEST(PDDXFile, TemplateHasSixtySevenElementsNoneFlagged)
{
    const PDDXFile document;
    int elements = 0;
    for (const PDDXSection& section : document.Sections()) {
        elements += section.Elements().Count();
        for (const PDDXElement& element : section.Elements()) EXPECT_FALSE(element.Flagged()) << element.Handle();
    }
    EXPECT_EQ(elements, 67);
}

TEST(PDDXFile, NumberedSectionsFollowTheirCountersUnlessANumberIsGiven)
{
    PDDXFile document;
    EXPECT_THROW(document.AddDropData(3), std::out_of_range);  // no test location yet
    document.AddTestLocation();
    PDDXSection& second = document.AddTestLocation();
    EXPECT_EQ(second.Handle(), "Test Location 2");
    EXPECT_EQ(document.AddTestLocation(7).Handle(), "Test Location 7");
    EXPECT_EQ(document.Element("Deflection Data", "NumberOfTestLocations").Value(), "2");
    EXPECT_THROW(document.AddTestLocation(7), std::invalid_argument);
    // An empty counter counts as 0; a clash leaves the counter alone.
    document.Element("Deflection Data", "NumberOfTestLocations").SetValue(" ");
    EXPECT_THROW(document.AddTestLocation(), std::invalid_argument);
    EXPECT_EQ(document.Element("Deflection Data", "NumberOfTestLocations").Value(), " ");
    EXPECT_EQ(document.AddTestLocation(32768).Handle(), "Test Location 32768");  // no 16-bit limit
    document.Element("Deflection Data", "NumberOfTestLocations").SetValue("2147483647");
    EXPECT_THROW(document.AddTestLocation(), OverflowError);

    PDDXSection& first = document.AddFWDCalHistory();
    EXPECT_EQ(first.Handle(), "Device Calibration_1");
    EXPECT_EQ(document.AddFWDCalHistory(4).Handle(), "Device Calibration_4");
    EXPECT_EQ(document.Element("Device Calibration", "NumberCalibrations").Value(), "1");
}

TEST(PDDXFile, DropsAreNumberedByTheCounterAndClashesChangeNothing)
{
    PDDXFile document;
    PDDXSection& location = document.AddTestLocation();
    for (int i = 0; i < 3; ++i) location.AddDropData();
    EXPECT_EQ(location.Element("NumberOfDrops").Value(), "3");
    EXPECT_EQ(location.Elements().Item(12).Handle(), "DropData_3");
    EXPECT_EQ(location.Element("DropData_2").DataType(), kNumber);
    EXPECT_EQ(document.AddTestLocation().AddDropData(5).Handle(), "DropData_5");
    EXPECT_EQ(document.Element("Test Location 2", "NumberOfDrops").Value(), "0");  // a given number leaves it

    location.Element("NumberOfDrops").SetValue("2");
    EXPECT_THROW(location.AddDropData(), std::invalid_argument);  // DropData_3 exists
    EXPECT_EQ(location.Element("NumberOfDrops").Value(), "2");
    location.Element("NumberOfDrops").SetValue("");
    EXPECT_THROW(location.AddDropData(), ConversionError);
    EXPECT_EQ(location.AddDropData(40000).Handle(), "DropData_40000");
    location.Element("NumberOfDrops").SetValue("32767");
    EXPECT_EQ(location.AddDropData().Handle(), "DropData_32768");
    location.Element("NumberOfDrops").SetValue("2147483647");
    EXPECT_THROW(location.AddDropData(), OverflowError);
    EXPECT_EQ(location.AddHistoryData(2, 10).Handle(), "DropHistoryData_2_10");
    EXPECT_THROW(location.AddHistoryData(2, 10), std::invalid_argument);

    // The document's AddDropData fills the highest location and keeps the drops it has.
    document.AddTestLocation(3).AddDropData(2).SetValue("kept");
    document.Element("Deflection Data", "NumberOfTestLocations").SetValue("3");
    document.AddDropData(3);
    const PDDXSection& third = document.Section("Test Location 3");
    EXPECT_EQ(third.Element("NumberOfDrops").Value(), "3");
    EXPECT_EQ(third.Element("DropData_2").Value(), "kept");
    EXPECT_EQ(Handles(third).back(), "DropData_3");
    EXPECT_EQ(third.Elements().Count(), 12);
}

TEST(PDDXFile, EveryAssignmentReachesTheDocumentsListenersUntilTheyLeave)
{
    PDDXFile document;
    std::vector<std::string> seen;
    const int subscription = document.SubscribeElementChange([&](PDDXElement& element) {
        seen.push_back(element.Parent()->Handle() + "/" + std::string(element.Handle()) + "=" + std::string(element.Value()));
    });
    int others = 0;
    document.SubscribeElementChange([&](PDDXElement&) { ++others; });
    PDDXElement& radius = document.Element("Device Configuration", "LoadPlateRadius");
    radius.SetValue("150");
    radius.SetValue("150");  // the same text still tells
    document.AddTestLocation().AddDropData().SetValue("1, 2");
    EXPECT_EQ(seen.front(), "Device Configuration/LoadPlateRadius=150");
    EXPECT_EQ(seen[1], seen.front());
    EXPECT_EQ(seen.back(), "Test Location 1/DropData_1=1, 2");
    EXPECT_NE(std::find(seen.begin(), seen.end(), "Deflection Data/NumberOfTestLocations=1"), seen.end());
    document.UnsubscribeElementChange(subscription);
    const auto before = seen.size();
    radius.SetValue("6");
    EXPECT_EQ(seen.size(), before);
    EXPECT_EQ(others, static_cast<int>(before) + 1);
}

}  // namespace
}  // namespace vantrel
