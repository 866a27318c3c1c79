// KUAB FVO.INI: the model codes, the modification date, the sensor count and the lists it sizes,
// the lines and values taken only in part (warned of), and the missing or non-numeric numbers
// that end a reading with what was read kept. The bundled examples cover letter case in names,
// quoting, single-precision numbers and the file name.

#include <gtest/gtest.h>

#include <algorithm>

#include "import/FileFormats.h"
#include "support/ReaderTest.h"

namespace vantrel {
namespace {

using namespace std::chrono;

const std::string DI = "Device Information", DC = "Device Calibration", DConf = "Device Configuration";
const std::string kCount = "NumberOfDeflectionSensors", kSerials = "SensorSerialNumbers", kModel = "DeviceModelNumber";
const std::string kStatic = "SensorStaticCalibrationFactor", kOps = "Operations Information";

// A complete file of four sensors, one of them counted; each change replaces a whole line.
using Changes = std::vector<std::pair<std::string, std::string>>;
std::vector<std::string> Ini(const Changes& changes)
{
    std::vector<std::string> lines = {"[rack]", "fwdtype=1", "[loadplate1]", "calfac=11", "caladd=12", "sharpcalfac=13",
        "[sensors]", "numberofsensors=1", "[distmeter]", "calfac=14",
        "[sensor0]", "seismoid=S1", "calfac=1", "dyncalfac=1.5", "sharpcalfac=1.25",
        "[sensor1]", "seismoid=S 2", "calfac=2", "dyncalfac=2.5", "sharpcalfac=2.25",
        "[sensor2]", "seismoid=S3", "calfac=3", "dyncalfac=3.5", "sharpcalfac=3.25",
        "[sensor3]", "seismoid=S4", "calfac=4", "dyncalfac=4.5", "sharpcalfac=4.25"};
    for (const auto& [from, to] : changes) std::replace(lines.begin(), lines.end(), from, to);
    return lines;
}
Changes Count(const std::string& count) { return {{"numberofsensors=1", "numberofsensors=" + count}}; }

// Read as FVO.INI into a document whose model and serial numbers hold "kept".
void Check(const std::vector<test::ReadCase>& cases, bool warnings = false, year_month_day modified = 2004y / April / 7d)
{
    test::ExpectReads(FileType::KuabIni, cases, {.warnings = warnings, .name = "FVO.INI", .setup = [=](test::ReaderRun& run) {
        run.Modified = modified;
        run.Document.Element(DI, kModel).SetValue("kept");
        run.Document.Element(DI, kSerials).SetValue("kept");
    }});
}

TEST(KuabIniRead, CodesOneToThreeAndNewYorkNameAModelAndTheEndDateIsTheDayOfTheLastWrite)
{
    Check({{"end date", {Ini({})}, {}, {{kOps, "EndDate", "05-Jan-1999"}}}}, false, 1999y / 1 / 5);
    std::vector<test::ReadCase> cases = {{"code 1; LF line ends", {Ini({{"[rack]", std::string(40000, '\n') + "[rack]"}})}, {},
                                          {{DI, kModel, "model 50 type endswitches"}}}};
    for (const auto& [code, model] : Changes{{"3.0", "model NAVY"}, {"\"New York\"", "New York -01 (heightsensor)"},
             {"0", "kept"}, {"new york", "kept"}, {"2a", "kept"}, {"1e400", "kept"}, {"", "kept"}})
        cases.push_back({"fwdtype " + code, {Ini({{"fwdtype=1", "fwdtype=" + code}})}, {}, {{DI, kModel, model}}});
    Check(cases);
}

TEST(KuabIniRead, AMissingOrNonNumericNumberEndsTheReadingNamingSectionAndKey)
{
    Check({
        {"a missing key", {Ini({{"caladd=12", ""}})}, {}, {{DC, "LoadCellCalibrationFactor", "11"}}, 0, {0, "[loadplate1] has no key"}},
        {"an empty count", {Ini(Count(""))}, {}, {}, 0, {0, "[sensors] numberofsensors: \"\" is not a number"}},
        {"a count beyond 16 bits", {Ini(Count("40000"))}, {}, {{DConf, kCount, "40000"}, {DI, kSerials, "kept"}}, 0, {0, "[sensors] numberofsensors: "}},
        {"a word", {Ini({{"dyncalfac=1.5", "dyncalfac=high"}})}, {}, {}, 0, {0, "[sensor0] dyncalfac: "}},
        {"beyond single precision", {Ini({{"calfac=14", "calfac=1e40"}})}, {}, {}, 0, {0, "[distmeter] calfac: "}},
        {"a missing sensor: the ones before it stay", {Ini(Count("5"))}, {},
         {{DI, kSerials, "S1, S 2, S3, S4, "}, {DC, kStatic, "1, 2, 3, 4"}, {DC, "DMIDeviceCalibrationFactor", ""}}, 0, {0, "there is no section [sensor4]"}},
    });
    Check({{"a day beyond the year 9999", {Ini({})}, {}, {}, 0, {0, "its modification date: "}}}, false, year{12000} / 1 / 1);
}

// The rounded count sizes the four sensor lists, whose first sensor replaces what they held; a
// count taken only in part is warned of, as are the lines the lookups never see.
TEST(KuabIniRead, TheRoundedCountSizesTheSensorListsAndLinesTheLookupsNeverSeeAreWarnedOf)
{
    const std::string serial(300, 'S');
    Check({
        {"three sensors", {Ini(Count("3"))}, {},
         {{DI, kSerials, "S1, S 2, S3"}, {DC, kStatic, "1, 2, 3"}, {DConf, kCount, "3"}}},
        {"2.50 rounds to two", {Ini(Count("2.50"))},
         {{8, "\"2.5\" is not a whole number of at least 1; the first 2 sensors were read"}},
         {{DConf, kCount, "2.5"}, {DI, kSerials, "S1, S 2"}}},
        {"3.5 rounds to four", {Ini(Count("3.5"))}, {{8, "the first 4 sensors were read"}},
         {{DC, kStatic, "1, 2, 3, 4"}}},
        {"a count below 1", {Ini(Count("-2"))}, {{8, "[sensor0] alone was read"}},
         {{DI, kSerials, "S1"}, {DC, kStatic, "1"}}},
        {"text and a key before the first section, a line of text in one", {Ini({{"[rack]", "x=1\r\nnotes\r\n[rack]"}, {"caladd=12", "caladd=12\r\nplate two"}})},
         {{1, "\"x=1\" stands before the first [section]; it was skipped"},
          {2, "\"notes\" is no [section], key = value or ; comment; it was skipped"}, {8, "\"plate two\" is no"}},
         {{DC, "LoadCellCalibrationIntercept", "12"}}},
        {"a section met again", {Ini({{"[sensor3]", "[Sensor1]"}, {"seismoid=S4", "seismoid=late"}})},
         {{26, "\"[Sensor1]\" stands here a second time (first at line 16); the keys under it are not read"}},
         {{DI, kSerials, "S1"}}},
        {"a value cut at 254 characters", {Ini({{"seismoid=S1", "seismoid=" + serial}})},
         {{12, "[sensor0] seismoid is 300 characters long; only the first 254 were read"}},
         {{DI, kSerials, serial.substr(0, 254)}}},
        {"comments and a quoted model: nothing to say", {Ini({{"[rack]", "; note\r\n# note\r\n[rack]"}})}, {}},
    }, true);
}

}  // namespace
}  // namespace vantrel
