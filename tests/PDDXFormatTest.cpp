// The PDDX text both ways: the exact bytes written, the lookup rules of the reader, new and
// append modes, counters, the sensor count, and write -> read round trips.

#include <gtest/gtest.h>

#include <sstream>

#include "core/Conversion.h"
#include "import/FileFormats.h"
#include "support/ReaderTest.h"

namespace vantrel {
namespace {

using test::CrLf;

std::string Written(const PDDXFile& document)
{
    std::ostringstream out;
    document.WriteText(out);
    return out.str();
}

PDDXFile& Read(PDDXFile& document, const std::string& text, bool append = false, int* sensors = nullptr)
{
    test::ReaderRun run;
    run.NumSensors = sensors ? *sensors : 0;
    run.ReadInto(FileType::PDDX, document, text, "t.DDX", append);
    if (sensors) *sensors = run.NumSensors;
    return document;
}

const std::vector<std::string> kHeaders = {"[Pavement Deflection Data Exchange File]", "[Operations Information]",
                                           "[Units]", "[Device Information]", "[Device Configuration]",
                                           "[Device Calibration]", "[Location Identification]", "[Deflection Data]"};
const std::string kBlank = CrLf({
    kHeaders[0], "PDDXVersionNumber = 1.0", "VantrelVersionNumber = " + test::kVersion, "DelimiterSymbol = ,", "DecimalSymbol = .",
    "", kHeaders[1], "DelimiterSymbol = ,", "DecimalSymbol = .", "", kHeaders[2], "DropHistoryDataFrequencyUnits = Hertz",
    "", kHeaders[3], "DeviceLoadType = Impulse", "", kHeaders[4], "NumberOfDeflectionSensors = 0", "", kHeaders[5], "",
    kHeaders[6], "", kHeaders[7], "NumberOfTestLocations = 0", "",
});

// Two test locations of three drops, a drop history and a calibration history.
std::unique_ptr<PDDXFile> SampleDocument()
{
    auto document = std::make_unique<PDDXFile>();
    document->Element("Device Configuration", "NumberOfDeflectionSensors").SetValue("3");
    document->Element("Device Configuration", "DeflectionSensorXAxisDistances").SetValue("0, 300, 600");
    for (int l = 1; l <= 2; ++l) {
        PDDXSection& location = document->AddTestLocation();
        location.Element("TestLocation").SetValue(std::to_string(l * 25) + ", 0, 0");
        for (int d = 1; d <= 3; ++d) location.AddDropData().SetValue(std::to_string(40 + d) + ", 301, 1" + std::to_string(d));
    }
    document->Section("Test Location 1").AddHistoryData(1, 1).SetValue("0.5, 1");
    document->AddFWDCalHistory().Element("CalCenterIDCode").SetValue("7");
    return document;
}

// Read back, the sample gives the same bytes and its sensor count.
TEST(PDDXWriter, WritesDefaultsUnderEveryHeaderAndRepeatedSectionsAfterTheTemplateAndReadsBackTheSame)
{
    EXPECT_EQ(Written(PDDXFile()), kBlank);
    const std::string text = Written(*SampleDocument());
    EXPECT_NE(text.find("NumberOfDeflectionSensors = 3\r\nDeflectionSensorXAxisDistances = 0, 300, 600\r\n\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("NumberOfTestLocations = 2\r\n\r\n[Test Location 1]\r\nTestLocation = 25, 0, 0\r\n"
                        "NumberOfDrops = 3\r\nDropData_1 = 41, 301, 11\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("DropData_3 = 43, 301, 13\r\nDropHistoryData_1_1 = 0.5, 1\r\n\r\n[Test Location 2]"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("[Device Calibration_1]\r\nCalCenterIDCode = 7\r\n\r\n"));
    PDDXFile copy;
    int sensors = 0;
    EXPECT_EQ(Written(Read(copy, text, false, &sensors)), text);
    EXPECT_EQ(sensors, 3);
}

TEST(PDDXReader, LooksUpKeysAndSectionsWithoutCaseAndTrimsBlanksAndQuotes)
{
    PDDXFile document;
    Read(document, CrLf({"[operations information]", "OperatorName=plain", "WEATHERCONDITION = \t shouting \t",
                         "SoftwareVersion =   \"quoted value\"  ", "FileName = 'single'", "StartTime = \"mismatched'",
                         "EndTime = \""}));
    for (const auto& [key, value] : std::vector<std::pair<const char*, std::string>>{
             {"OperatorName", "plain"}, {"WeatherCondition", "shouting"}, {"SoftwareVersion", "quoted value"},
             {"FileName", "single"}, {"StartTime", "\"mismatched'"}, {"EndTime", "\""},
             {"DelimiterSymbol", ""}})  // a new document takes every value: defaults not in the file are cleared
        EXPECT_EQ(document.Element("Operations Information", key).Value(), value) << key;

    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"7", 7}, {"0", 5}, {"", 5}, {"many", 5}, {" 8 ", 8}, {"6.5", 6}}) {
        PDDXFile counted;
        int sensors = 5;
        Read(counted, "[Device Configuration]\r\nNumberOfDeflectionSensors = " + text + "\r\n", false, &sensors);
        EXPECT_EQ(sensors, expected) << "\"" << text << "\"";
    }
}

// Appending takes the file's values but blanks none of the document's, and keeps its sensor count
// where the file gives none.
TEST(PDDXReader, AppendingKeepsTheDocumentsValuesTheFileOrAMissingFileLeavesEmpty)
{
    PDDXFile document;
    document.Element("Operations Information", "OperatorName").SetValue("kept");
    document.Element("Location Identification", "SiteName").SetValue("old site");
    int sensors = 4;
    Read(document, CrLf({"[Operations Information]", "OperatorName =", "[Location Identification]", "SiteName = new"}),
         true, &sensors);
    EXPECT_EQ(sensors, 4);
    EXPECT_EQ(document.Element("Operations Information", "OperatorName").Value(), "kept");
    EXPECT_EQ(document.Element("Location Identification", "SiteName").Value(), "new");
    EXPECT_EQ(document.Element("Device Information", "DeviceLoadType").Value(), "Impulse");

    // A missing file clears a new document and leaves an appended one alone.
    test::TempDir folder;
    ProgramState state = NewProgramState(folder.Path());
    PDDXFile fresh, kept;
    InputFile absent = InputFile::Named((folder / "absent.DDX").string());
    ReadWithReader(state, FileType::PDDX, absent, fresh, false);
    std::vector<std::string> headersOnly;
    for (const std::string& header : kHeaders) headersOnly.insert(headersOnly.end(), {header, ""});
    EXPECT_EQ(Written(fresh), CrLf(headersOnly));
    ReadWithReader(state, FileType::PDDX, absent, kept, true);
    EXPECT_EQ(Written(kept), kBlank);
}

// Sections and keys may stand in any order and case; they are taken in file order, the first of a
// name or number counts, and a line too long to read leaves the document as it was.
TEST(PDDXReader, FindsValuesWhereverTheyStandAndKeepsTheFirstOfEachName)
{
    std::vector<std::string> lines = {"[Test Location 2]",        "NumberOfDrops = 1", "DropData_1 = second",
                                      "[test location 1]",        "NUMBEROFDROPS = 200", "DropData_200 = first",
                                      "DropData_01 = also 1", "\tTestComment\t= a = b"};
    for (int j = 1; j <= 200; ++j) lines.push_back("dropdata_" + std::to_string(j) + " = " + std::to_string(j));
    lines.insert(lines.end(), {"[Test Location 01]", "TestLane = not location 1", "[TEST LOCATION 1]",
                               "TestLane = a repeated section", "[Deflection Data]", "NumberOfTestLocations = 2"});
    PDDXFile document;
    Read(document, CrLf(lines));
    EXPECT_EQ(document.Element("Test Location 1", "DropData_1").Value(), "second");
    const PDDXSection& second = document.Section("Test Location 2");
    EXPECT_EQ(second.Elements().Count(), 209);
    for (const auto& [key, value] : std::vector<std::pair<const char*, const char*>>{
             {"DropData_1", "first"}, {"DropData_2", "also 1"}, {"DropData_3", "2"}, {"DropData_200", "199"},
             {"TestComment", "a = b"}, {"TestLane", ""}})
        EXPECT_EQ(second.Element(key).Value(), value) << key;
    PDDXFile untouched;
    const std::string tooLong = "[Units]\nLoadUnits = x\n" + std::string(kMaxLineLength + 1, 'v');
    EXPECT_EQ(test::ReadFailure([&] { Read(untouched, tooLong); }).Line(), 3);
    EXPECT_EQ(Written(untouched), kBlank);
}

}  // namespace
}  // namespace vantrel
