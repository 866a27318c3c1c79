// The Carl Bro configuration text reader: lists that geophone 1 starts wherever it stands, dates
// read only where they are kept, values that are field 1 alone, what the document already holds,
// the values and lines warned of, and the malformed lines that end a reading. The examples
// (carlbro-ini/) cover the usual blocks, key spelling and the closing values.

#include <gtest/gtest.h>

#include "import/FileFormats.h"
#include "support/ReaderTest.h"

namespace vantrel::test {
namespace {

using Lines = std::vector<std::string>;

Expect Info(const char* key, const char* value) { return {"Device Information", key, value}; }
Expect Calibration(const char* key, const char* value) { return {"Device Calibration", key, value}; }

TEST(CarlBroConfigRead, TransducerBlocksTheValuesAndLinesWarnedOfAndTheMalformedLinesThatEndAReading)
{
    ExpectReads(FileType::CarlBroIni, {
        // Geophone 3 adds to an empty list; its date is not kept, so not read.
        {"geophone 3 alone", {{"Geophone nr.\t3", "ID\tG103", "Slope\t1,3", "[dd/mm/yy]\tsoon"}}, {},
         {Info("SensorSerialNumbers", ", G103"), Calibration("SensorCalibrationCenterGain", ", 1.3"),
          {"Device Configuration", "NumberOfDeflectionSensors", "3"}}},
        // Geophone 1 starts the lists again, warned of; a slope not kept is not read.
        {"geophone 1 after 3",
         {{"Geophone nr.\t3", "ID\tG103", "Geophone nr.\t1", "ID\tG101", "[dd/mm/yy]\t02/03/04", "Geophone nr.\t2",
           "ID\tG102", "[dd/mm/yy]\t??", "Air temp.", "[dd/mm/yy]\t??", "Slope\tn/a"}},
         {{3, "geophone 1 follows geophone 3 and starts the serial numbers and slopes again"}},
         {Info("SensorSerialNumbers", "G101, G102"), Calibration("SensorDynamicCalibrationDate", "02-Mar-2004")}},
        {"dates kept and not",
         {{"[dd/mm/yy]\tnever", "ID\tX", "Force", "[dd/mm/yy]\t5/3/1999", "Geophone nr.\t1", "ID\tG1"}}, {},
         {Calibration("LoadCellCalibrationDate", "05-Mar-1999"), Info("LoadCellSerialNumber", ""),
          Info("SensorSerialNumbers", "G1")}},
        // Field 1 alone, untrimmed, every comma a point (a slope kept that is not a number is warned of);
        // keys keep their case and leading blanks.
        {"field 1 alone",
         {{"Customer\t 8012 \tV", "Geophone nr.\t1\textra", "ID\tG1\tspare", "Slope\t1,234,5\t0,9", "Id\tX",
           "SLOPE\t9", "\tID\tY"}},
         {{4, "slope \"1.234.5\" is not a number"}},
         {Info("DeviceSerialNumber", " 8012 "), Info("SensorSerialNumbers", "G1"),
          Calibration("SensorDynamicCalibrationFactor", "1.234.5")}},
        // Malformed lines end the reading at their line.
        {"", {{"Force", "", "Customer"}}, {}, {}, 0, {3, "Customer"}},
        {"", {{"Geophone nr."}}, {}, {}, 0, {1, "Geophone nr."}},
        {"", {{"Geophone nr.\tfirst"}}, {}, {}, 0, {1, "first"}},
        {"", {{"ID"}}, {}, {}, 0, {1, "ID"}},  // even where an ID would not be kept
        {"", {{"Air temp.", "Slope   "}}, {}, {}, 0, {2, "Slope"}},
        {"", {{"Force", "[dd/mm/yy]"}}, {}, {}, 0, {2, "[dd/mm/yy]"}},
        {"", {{"Force", "[dd/mm/yy]\t15-03-04"}}, {}, {}, 0, {2, "15-03-04"}},
        {"", {{"Geophone nr.\t1", "[dd/mm/yy]\t15/03"}}, {}, {}, 0, {2, "15/03"}},
        {"", {{"Geophone nr.\t1", "[dd/mm/yy]\t15/03/04/05"}}, {}, {}, 0, {2, "15/03/04/05"}},
        {"", {{"Force", "[dd/mm/yy]\t15/x/04"}}, {}, {}, 0, {2, "15/x/04"}},
    });
    ReaderRun run;  // later geophones add to what the document holds
    run.Document.Element("Device Information", "SensorSerialNumbers").SetValue("A, B");
    run.Read(FileType::CarlBroIni, {"Geophone nr.\t4", "ID\tG104"}, "CFG.FWD");
    run.ExpectValues({Info("SensorSerialNumbers", "A, B, G104"), {"Operations Information", "FileName", "CFG.DDX"}});
    ExpectExamplesQuiet(FileType::CarlBroIni, "carlbro-ini", 0);
}

}  // namespace
}  // namespace vantrel::test
