// The PDDX text both ways: the exact bytes written, the lookup rules of the reader, new and
// append modes, counters, the sensor count, and write -> read -> write round trips.

#include <gtest/gtest.h>

#include <sstream>

#include "support/TestSupport.h"
#include "import/FileFormats.h"
#include "document/modPDDXRead.h"

namespace vantrel {
namespace {

using test::CrLf;

std::string Written(const PDDXFile& document)
{
    std::ostringstream out;
    document.PDDX_Output(out);
    return out.str();
}

const std::string kBlank = CrLf({
    "[Pavement Deflection Data Exchange File]", "PDDXVersionNumber = 1.0", "VantrelVersionNumber = 1.3.2",
    "DelimiterSymbol = ,", "DecimalSymbol = .", "",
    "[Operations Information]", "DelimiterSymbol = ,", "DecimalSymbol = .", "",
    "[Units]", "DropHistoryDataFrequencyUnits = Hertz", "",
    "[Device Information]", "DeviceLoadType = Impulse", "",
    "[Device Configuration]", "NumberOfDeflectionSensors = 0", "",
    "[Device Calibration]", "",
    "[Location Identification]", "",
    "[Deflection Data]", "NumberOfTestLocations = 0", "",
});

// A document with two test locations of three drops, a history and a calibration section.
std::unique_ptr<PDDXFile> SampleDocument()
{
    auto document = std::make_unique<PDDXFile>();
    document->Element("Operations Information", "OperatorName").SetValue("A. Tester");
    document->Element("Device Configuration", "NumberOfDeflectionSensors").SetValue("3");
    document->Element("Device Configuration", "DeflectionSensorXAxisDistances").SetValue("0, 300, 600");
    for (int l = 1; l <= 2; ++l) {
        PDDXSection& location = document->AddTestLocation();
        location.Element("TestLocation").SetValue(std::to_string(l * 25) + ", 0, 0");
        location.Element("TestTime").SetValue("09:0" + std::to_string(l) + ":00");
        for (int d = 1; d <= 3; ++d) location.AddDropData().SetValue(std::to_string(40 + d) + ", 301, 202, 1" + std::to_string(d));
    }
    document->Section("Test Location 1").AddHistoryData(1, 1).SetValue("0.5, 1");
    document->AddFWDCalHistory().Element("CalCenterIDCode").SetValue("7");
    return document;
}

TEST(PDDXWriter, ABlankDocumentWritesOnlyItsDefaultsUnderEveryHeader)
{
    EXPECT_EQ(Written(PDDXFile()), kBlank);
}

TEST(PDDXWriter, WritesValuesAsStoredAndRepeatedSectionsAfterTheTemplate)
{
    const std::string text = Written(*SampleDocument());
    EXPECT_NE(text.find("[Device Configuration]\r\nNumberOfDeflectionSensors = 3\r\n"
                        "DeflectionSensorXAxisDistances = 0, 300, 600\r\n\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("NumberOfTestLocations = 2\r\n\r\n[Test Location 1]\r\nTestLocation = 25, 0, 0\r\n"
                        "TestTime = 09:01:00\r\nNumberOfDrops = 3\r\nDropData_1 = 41, 301, 202, 11\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("DropData_3 = 43, 301, 202, 13\r\nDropHistoryData_1_1 = 0.5, 1\r\n\r\n[Test Location 2]"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("[Device Calibration_1]\r\nCalCenterIDCode = 7\r\n\r\n"));
}

TEST(PDDXReader, LooksUpKeysAndSectionsWithoutCaseAndTrimsBlanksAndQuotes)
{
    const ProfileFile profile(CrLf({
        "junk before any section = ignored",
        "[operations information]",
        "OperatorName=plain",
        "WEATHERCONDITION = \t shouting \t",
        "SoftwareVersion =   \"quoted value\"  ",
        "FileName = 'single'",
        "StartTime = \"mismatched'",
        "EndTime = \"",
        "not a key line",
        "OperatorName = second one is ignored",
        "[Operations Information]",
        "EndDate = a repeated section is ignored",
    }));
    PDDXFile document;
    std::int16_t sensors = 0;
    ReadPDDXProfile(profile, document, false, sensors);
    const auto value = [&](const char* key) { return document.Element("Operations Information", key).Value(); };
    EXPECT_EQ(value("OperatorName"), "plain");
    EXPECT_EQ(value("WeatherCondition"), "shouting");
    EXPECT_EQ(value("SoftwareVersion"), "quoted value");
    EXPECT_EQ(value("FileName"), "single");
    EXPECT_EQ(value("StartTime"), "\"mismatched'");
    EXPECT_EQ(value("EndTime"), "\"");
    EXPECT_EQ(value("EndDate"), "");
    // A new document takes every value, so template defaults missing from the file are cleared.
    EXPECT_EQ(document.Element("Device Information", "DeviceLoadType").Value(), "");
    EXPECT_EQ(document.Element("Operations Information", "DelimiterSymbol").Value(), "");
}

TEST(PDDXReader, CutsValuesAt254CharactersAndReadsLineFeedOnlyFiles)
{
    const std::string longValue(300, 'x');
    const ProfileFile profile("[Location Identification]\nSiteName = " + longValue + "\n");
    PDDXFile document;
    std::int16_t sensors = 0;
    ReadPDDXProfile(profile, document, false, sensors);
    EXPECT_EQ(document.Element("Location Identification", "SiteName").Value(), longValue.substr(0, 254));
}

TEST(PDDXReader, SetsTheSensorCountOnlyFromAPositiveNumber)
{
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"7", 7}, {"0", 5}, {"", 5}, {"many", 5}, {" 8 ", 8}, {"6.5", 6}}) {
        PDDXFile document;
        std::int16_t sensors = 5;
        ReadPDDXProfile(ProfileFile("[Device Configuration]\r\nNumberOfDeflectionSensors = " + text + "\r\n"), document,
                        false, sensors);
        EXPECT_EQ(sensors, expected) << "\"" << text << "\"";
    }
}

TEST(PDDXReader, RoundTripGivesTheSameBytesAndDropsHistoriesAndCalibrations)
{
    const auto original = SampleDocument();
    const std::string first = Written(*original);
    PDDXFile copy;
    std::int16_t sensors = 0;
    ReadPDDXProfile(ProfileFile(first), copy, false, sensors);
    EXPECT_EQ(sensors, 3);
    const std::string second = Written(copy);

    std::string expected = first;
    const auto erase = [&expected](const std::string& part) {
        const auto at = expected.find(part);
        ASSERT_NE(at, std::string::npos) << part;
        expected.erase(at, part.size());
    };
    erase("DropHistoryData_1_1 = 0.5, 1\r\n");
    erase("[Device Calibration_1]\r\nCalCenterIDCode = 7\r\n\r\n");
    EXPECT_EQ(second, expected);

    PDDXFile again;
    ReadPDDXProfile(ProfileFile(second), again, false, sensors);
    EXPECT_EQ(Written(again), second);
}

TEST(PDDXReader, ReadsOnlyTheDropsTheCounterAnnounces)
{
    const ProfileFile profile(CrLf({
        "[Deflection Data]", "NumberOfTestLocations = 2",
        "[Test Location 1]", "NumberOfDrops = 2", "DropData_1 = a", "DropData_3 = not read", "DropData_2 = b",
        "[Test Location 2]", "NumberOfDrops = lots", "DropData_1 = not read",
    }));
    PDDXFile document;
    std::int16_t sensors = 0;
    ReadPDDXProfile(profile, document, false, sensors);
    const PDDXSection& first = document.Section("Test Location 1");
    EXPECT_EQ(first.Elements().Count(), 11);
    EXPECT_EQ(first.Element("DropData_2").Value(), "b");
    EXPECT_EQ(document.Section("Test Location 2").Elements().Count(), 9);
    EXPECT_EQ(document.Element("Deflection Data", "NumberOfTestLocations").Value(), "2");
}

TEST(PDDXReader, AppendingNumbersLocationsAfterTheDocumentsAndNeverBlanksValues)
{
    PDDXFile document;
    document.Element("Operations Information", "OperatorName").SetValue("kept");
    document.Element("Location Identification", "SiteName").SetValue("old site");
    for (int i = 0; i < 3; ++i) document.AddTestLocation();

    const ProfileFile profile(CrLf({
        "[Location Identification]", "SiteName = new site",
        "[Deflection Data]", "NumberOfTestLocations = 2",
        "[Test Location 1]", "TestLane = L1", "NumberOfDrops = 1", "DropData_1 = 10, 20",
        "[Test Location 2]", "NumberOfDrops = 2", "DropData_2 = 30, 40",
    }));
    std::int16_t sensors = 4;
    ReadPDDXProfile(profile, document, true, sensors);
    EXPECT_EQ(sensors, 4);
    EXPECT_EQ(document.Element("Operations Information", "OperatorName").Value(), "kept");
    EXPECT_EQ(document.Element("Location Identification", "SiteName").Value(), "new site");
    EXPECT_EQ(document.Element("Device Information", "DeviceLoadType").Value(), "Impulse");
    EXPECT_EQ(document.Element("Deflection Data", "NumberOfTestLocations").Value(), "5");
    const PDDXSection& fourth = document.Section("Test Location 4");
    EXPECT_EQ(fourth.Element("TestLane").Value(), "L1");
    EXPECT_EQ(fourth.Element("DropData_1").Value(), "10, 20");
    const PDDXSection& fifth = document.Section("Test Location 5");
    EXPECT_EQ(fifth.Element("NumberOfDrops").Value(), "2");
    EXPECT_EQ(fifth.Element("DropData_1").Value(), "");
    EXPECT_EQ(fifth.Element("DropData_2").Value(), "30, 40");
}

TEST(PDDXReader, AMissingFileClearsANewDocumentAndLeavesAnAppendedOneAlone)
{
    test::TempDir folder;
    ProgramState state = NewProgramState(folder.Path());
    PDDXFile fresh;
    ReadWithReader(state, kPDDX, (folder / "absent.DDX").string(), fresh, false);
    EXPECT_EQ(Written(fresh), CrLf({"[Pavement Deflection Data Exchange File]", "", "[Operations Information]", "",
                                    "[Units]", "", "[Device Information]", "", "[Device Configuration]", "",
                                    "[Device Calibration]", "", "[Location Identification]", "",
                                    "[Deflection Data]", ""}));
    PDDXFile kept;
    ReadWithReader(state, kPDDX, (folder / "absent.DDX").string(), kept, true);
    EXPECT_EQ(Written(kept), kBlank);
}

}  // namespace
}  // namespace vantrel
