// The PDDX text both ways: the exact bytes written, write -> read round trips, and what of the
// reader a case file cannot say. Its rules are cases in data/readers/pddx.cases.

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
    test::ReaderRun copy;
    EXPECT_EQ(copy.ReadText(FileType::PDDX, text).Written(), text);
    EXPECT_EQ(copy.NumSensors, 3);
}

// A missing file clears a new document and leaves an appended one alone; a line too long to read
// leaves the document as it was.
TEST(PDDXReader, AMissingFileClearsOnlyANewDocumentAndALineTooLongNone)
{
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

    test::ReaderRun untouched;
    const std::string tooLong = "[Units]\nLoadUnits = x\n" + std::string(kMaxLineLength + 1, 'v');
    EXPECT_EQ(test::ReadFailure([&] { untouched.ReadText(FileType::PDDX, tooLong); }).Line(), 3);
    EXPECT_EQ(untouched.Written(), kBlank);
}

}  // namespace
}  // namespace vantrel
