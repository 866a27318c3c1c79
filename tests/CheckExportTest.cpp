// check and export end to end, on documents written here with known defects and known drops
// (tests/data/check-export: the inputs, and what check and export must print for them).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <random>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/CalibrationChecks.h"
#include "core/Check.h"
#include "core/Export.h"
#include "core/ExportFields.h"
#include "base/ByteWords.h"
#include "base/Latin1.h"
#include "base/ReadWarnings.h"
#include "import/PddxDrops.h"
#include "support/ReaderTest.h"
#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

class CheckExport : public ProgramTest {
protected:
    void SetUp() override
    {
        for (const auto& entry : fs::directory_iterator(fs::path(VANTREL_TEST_DATA) / "check-export"))
            fs::copy_file(entry.path(), dir / entry.path().filename());
    }
    std::string Expected(const std::string& name) const { return ReadBytes(dir / name); }
};

TEST_F(CheckExport, CheckSaysWhatEachDocumentLacks)
{
    // a.DDX's counters disagree with what it holds, and it numbers a location and a drop from 0:
    // check reads it as convert does, every location and drop, and warns of the counters as the
    // reading does.
    const RunResult run = Run({"check", "a.DDX", "b.txt"});
    EXPECT_EQ(run.status, 4) << run.err;
    EXPECT_EQ(run.out, Expected("check.txt"));
    EXPECT_NE(run.err.find("a.DDX:10: warning: NumberOfDrops says 2, the location holds 4 drops"), std::string::npos) << run.err;
    const RunResult json = Run({"check", "--format", "json", "b.txt"});
    EXPECT_EQ(json.status, 4);
    EXPECT_EQ(json.out, Expected("check.json"));

    // A native file, told by its content and read by its reader, that lacks nothing but its
    // sensors' serial numbers, a note: --fail-on decides whether a note fails the check.
    WriteBytes(dir / "k.FWD", ReadBytes(kExamples / "kuab" / "small.FWD"));
    const std::string note = "-: [Device Information] SensorSerialNumbers: V121 note: none given for the 3 sensors\n";
    for (const auto& [level, status] : std::vector<std::pair<std::string, int>>{{"note", 4}, {"warning", 0}, {"error", 0}}) {
        const RunResult clean = Run({"check", "--fail-on", level, "-"}, "", "k.FWD");
        EXPECT_EQ(clean.status, status) << level << clean.err;
        EXPECT_EQ(clean.out, note);
    }
    EXPECT_EQ(Run({"check", "--format", "json", "k.FWD", "gone.DDX"}).status, 1);
    EXPECT_EQ(Run({"check", "--format", "xml", "k.FWD"}).status, 2);
}

// As the review window checks a document, a section at a time between its other events: what
// check finds, in the same order.
TEST_F(CheckExport, TheSteppedCheckFindsWhatCheckFinds)
{
    test::ReaderRun run;
    run.ReadText(FileType::PDDX, ReadBytes(dir / "a.DDX"));
    std::string held, stepped;
    const auto into = [](std::string& text) {
        return [&text](const Finding& found) { text += "a.DDX: " + FindingLine(found) + "\n"; };
    };
    CheckDocument(run.Document, into(held));
    EXPECT_EQ(held, Run({"check", "a.DDX"}).out);
    SteppedCheck check(run.Document, into(stepped));
    int steps = 1;
    while (!check.Continue(1)) ++steps;
    EXPECT_EQ(stepped, held);
    EXPECT_EQ(steps, run.Document.Sections().Count());
}

// rules.DDX breaks each calibration rule once, its expected findings worked out by hand: e.g. V101
// 01-Jan-2003 to 07-Apr-2004 is 365 + 31 + 29 + 31 + 6 = 462 days; V133 the loads 49, 50, 51, 54
// have the median 50.5, and 54 is 3.5 / 50.5 = 6.93 % from it; V135 D1 400, 440, 360, 400 has the
// mean 400, the standard deviation sqrt((0 + 1600 + 1600 + 0) / 3) = 32.66, 8.16 % of the mean; V136
// 400 kN, which as kPa on a plate of 150 mm radius is 400 * pi * 0.15^2 = 28.27 kN.
TEST_F(CheckExport, TheCalibrationRulesFindWhatTheyAreForWithTheLimitsOfTheSettings)
{
    for (const bool piped : {false, true}) {
        const RunResult run = piped ? Run({"check", "-"}, "", "rules.DDX") : Run({"check", "rules.DDX"});
        EXPECT_EQ(run.status, 4);
        EXPECT_EQ(run.out, piped ? ReplaceAll(Expected("rules-check.txt"), "rules.DDX:", "-:") : Expected("rules-check.txt"));
    }
    // A sensor behind the plate belongs to the basin on its own side: 450 at -300 mm is 12.5 %
    // more than 400 at the plate, whatever the sensors in front read.
    EXPECT_EQ(Run({"check", "basin.DDX"}).out, "basin.DDX: [Test Location 1] DropData_2: V132 warning: D1 (-300 mm) is "
                                                 "12.5 % more than D2 (0 mm), nearer the plate\n");
    // Limits changed for one run: the factor 1.021 and a relative calibration 66 days old pass.
    const RunResult wider = Run({"--set", "MaxFactor=1.03", "--set", "relativecalibrationdays=70", "check", "rules.DDX"});
    EXPECT_EQ(Count(wider.out, "V111"), 1u);
    EXPECT_EQ(Count(wider.out, "V102"), 0u);
    const RunResult json = Run({"check", "--format", "json", "rules.DDX"});
    EXPECT_NE(json.out.find("\"code\": \"V131\",\n    \"severity\": \"error\""), std::string::npos) << json.out;
    const RunResult rules = Run({"--set", "MaxFactor=1.03", "check", "--rules"});
    EXPECT_EQ(rules.status, 0);
    EXPECT_NE(rules.out.find("V111 warning: a relative or reference calibration factor outside MinFactor to MaxFactor "
                             "(a Dynatest device's relative gains) (MinFactor 0.98, MaxFactor 1.03); AASHTO R 32"),
              std::string::npos)
        << rules.out;
    EXPECT_EQ(Count(rules.out, "\n"), CheckRules().size());
    EXPECT_EQ(Run({"--set", "MaxFactor=x", "check", "rules.DDX"}).status, 2);
    EXPECT_EQ(Run({"check"}).status, 2);
}

// Loads given as a pressure: the finding says what a load of 100 would be on the document's plate,
// worked by hand: 100 kPa * pi * 0.15^2 m^2 = 7.06858 kN; a radius of 5.91 in is 150.114 mm and
// 100 psi 689.476 kPa, * pi * 0.150114^2 m^2 = 48.810 kN.
TEST(CheckPressure, APressureLoadSaysWhatARadiusItCanReadWouldGive)
{
    const std::string start = " is a pressure; the calibration compares forces, so the loads are to be multiplied by the plate area first";
    const std::tuple<const char*, const char*, const char*, std::string> cases[] = {
        {"kPa", "150", "mm", "\"kPa\"" + start + " (with the plate radius, 150 mm, a load of 100 is 7.07 kN)"},
        {"psi", "5.91", "inch", "\"psi\"" + start + " (with the plate radius, 150.11 mm, a load of 100 is 48.81 kN)"},
        {"kPa", "150", "", "\"kPa\"" + start},
        {"kPa", "", "mm", "\"kPa\"" + start},
        {"kPa", "-150", "mm", "\"kPa\"" + start},
        {"kN", "150", "mm", ""}};
    for (const auto& [load, radius, units, said] : cases) {
        PDDXFile document;
        document.Element("Units", "LoadUnits").SetValue(load);
        document.Element("Units", "LoadPlateRadiusUnits").SetValue(units);
        document.Element("Device Configuration", "LoadPlateRadius").SetValue(radius);
        std::string found;
        CheckDocument(document, [&](const Finding& finding) {
            if (finding.Key == "LoadUnits") found = finding.Message;
        });
        EXPECT_EQ(found, said) << load << " " << radius << " " << units;
    }
}

// Each rule's finding names the other elements it is about, which the review window selects with
// its own: loads 49.5, 50, 50.5 and 54 are one height (none 10 % above the one before), median
// 50.25, 54 is 7.5 % from it; D1 400, 440, 360, 400 varies by 8.16 %.
TEST(CheckRelated, EachRuleFindingNamesTheOtherElementsItIsAbout)
{
    PDDXFile document;
    const auto set = [&](const char* section, const char* key, const char* value) { document.Element(section, key).SetValue(value); };
    set("Device Configuration", "NumberOfDeflectionSensors", "4");
    set("Device Configuration", "DeflectionSensorXAxisDistances", "0, 300, 300, 4000");
    set("Device Configuration", "DeflectionSensorYAxisDistances", "0, 0, 0, 0");
    set("Units", "SensorsLocationUnits", "mm");
    set("Device Calibration", "SensorDynamicCalibrationFactor", "1, 1");
    set("Device Information", "SensorSerialNumbers", "A, B");
    set("Device Configuration", "LoadPlateRadius", "300");
    set("Units", "LoadPlateRadiusUnits", "mm");
    set("Operations Information", "StartDate", "07-Apr-2004");
    set("Device Calibration", "LoadCellCalibrationDate", "01-Jan-2003");
    PDDXSection& first = document.AddTestLocation();
    for (const char* drop : {"50, 400, 300, 300, 10", "50.5, 440, 300, 300, 10", "49.5, 360, 300, 300, 10", "54, 400, 300, 300, 10"})
        first.AddDropData().SetValue(drop);
    document.AddTestLocation().AddDropData().SetValue("50, 400, 300, 300, 10");
    set("Test Location 1", "TestTime", "10:00:00");
    set("Test Location 2", "TestTime", "10:00:00");
    std::vector<std::string> found;
    CheckDocument(document, [&](const Finding& finding) {
        if (finding.Code.empty()) return;
        std::string line = finding.Code + " [" + finding.Section + "] " + finding.Key + " ->";
        for (const auto& [section, key] : finding.Related) line += " [" + section + "] " + key;
        found.push_back(line);
    });
    const std::vector<std::string> expected = {
        "V101 [Device Calibration] LoadCellCalibrationDate -> [Operations Information] StartDate",
        "V112 [Device Calibration] SensorDynamicCalibrationFactor -> [Device Configuration] NumberOfDeflectionSensors",
        "V122 [Device Information] SensorSerialNumbers -> [Device Configuration] NumberOfDeflectionSensors",
        "V124 [Device Configuration] DeflectionSensorXAxisDistances -> [Device Configuration] DeflectionSensorYAxisDistances",
        "V126 [Device Configuration] DeflectionSensorXAxisDistances -> [Units] SensorsLocationUnits",
        "V127 [Device Configuration] LoadPlateRadius -> [Units] LoadPlateRadiusUnits",
        "V133 [Test Location 1] DropData_4 -> [Test Location 1] DropData_3 [Test Location 1] DropData_1 [Test Location 1] DropData_2",
        "V135 [Test Location 1] DropData_3 -> [Test Location 1] DropData_1 [Test Location 1] DropData_2 [Test Location 1] DropData_4",
        "V134 [Test Location 2] TestTime -> [Test Location 1] TestTime"};
    EXPECT_EQ(found, expected);
}

// What one rule finds in a document: "level [section] key: message" each.
std::vector<std::string> FoundBy(const PDDXFile& document, const std::string& code)
{
    std::vector<std::string> found;
    CheckDocument(document, [&](const Finding& finding) {
        if (finding.Code == code)
            found.push_back(std::string(SeverityName(finding.Level)) + " [" + finding.Section + "] " + finding.Key + ": " +
                            finding.Message);
    });
    return found;
}

// The factor band reads a Dynatest device's relative gains (its centre gains), never its absolute
// gains (its reference factors), and the reference factors of any other device.
TEST(CheckFactors, TheBandReadsTheRelativeGainsOfADynatestDevice)
{
    const std::string reference = "warning [Device Calibration] SensorReferenceCalibrationFactor: sensor 1's factor 0.968 is outside 0.98 to 1.02";
    const std::tuple<const char*, std::vector<std::string>> cases[] = {
        {"Dynatest FWD", {"warning [Device Calibration] SensorCalibrationCenterGain: sensor 2's relative gain 1.03 is outside 0.98 to 1.02"}},
        {" dynatest fwd ", {"warning [Device Calibration] SensorCalibrationCenterGain: sensor 2's relative gain 1.03 is outside 0.98 to 1.02"}},
        {"", {reference}}, {"KUAB FWD", {reference}}};
    for (const auto& [device, expected] : cases) {
        PDDXFile document;
        document.Element("Device Information", "DeviceDesignationName").SetValue(device);
        document.Element("Device Calibration", "SensorReferenceCalibrationFactor").SetValue("0.968, 0.993");
        document.Element("Device Calibration", "SensorCalibrationCenterGain").SetValue("0.995, 1.03");
        EXPECT_EQ(FoundBy(document, "V111"), expected) << device;
    }
}

// Equal test times are a warning where the document gives seconds, a note where no time does.
TEST(CheckTimes, TimesKeptToTheMinuteCannotTellTwoPlacesApart)
{
    const std::string note = "note [Test Location 2] TestTime: 09:05:00, as [Test Location 1]; the document gives no "
                             "seconds, so whether both were tested at once cannot be told";
    const std::tuple<std::vector<const char*>, std::vector<std::string>> cases[] = {
        {{"09:05:00", "09:05:00"}, {note}},
        {{"09:05", "09:05"}, {ReplaceAll(note, "09:05:00", "09:05")}},
        {{"09:05:00", "09:05:00", "09:06:30"}, {"warning [Test Location 2] TestTime: 09:05:00, as [Test Location 1]"}},
        {{"09:05:12", "09:05:12"}, {"warning [Test Location 2] TestTime: 09:05:12, as [Test Location 1]"}},
        {{"09:05:00", "09:06:00"}, {}}};
    for (const auto& [times, expected] : cases) {
        PDDXFile document;
        for (const char* time : times) document.AddTestLocation().Element("TestTime").SetValue(time);
        EXPECT_EQ(FoundBy(document, "V134"), expected) << times.size() << " " << times[0];
    }
}

// A load an FWD cannot apply, once a document. By hand: 856.87 kPa * pi * 0.15^2 m^2 = 60.5686 kN;
// 50 kPa on it 3.5343 kN; 4 kPa on either usual plate (150, 225 mm radius) under 1 kN; 90000 lbf
// * 4.44822 N = 400.34 kN, and no plausible pressure; 9000 psi * 6.89476 kPa * pi * 0.15^2 m^2 =
// 4386.26 kN, where 9000 lbf would be 40.03 kN.
TEST(CheckLoads, ALoadNoFwdAppliesIsToldOnceWithItsLikelyCause)
{
    using Loads = std::vector<std::vector<const char*>>;  // of each test location
    const std::string outside = " outside 5 to 300 kN, what an FWD applies (the document's first such drop)";
    const std::string asKpa = ": 856.87 kPa on a plate of 150 mm radius is 60.57 kN";
    const std::tuple<const char*, const char*, Loads, std::vector<std::string>> cases[] = {
        {"kN", "150", {{"50", "856.87"}, {"900"}},
         {"warning [Test Location 1] DropData_2: load 856.87 kN is" + outside + "; the loads may be kPa labelled as kN" + asKpa}},
        // A plate no FWD has: the usual plates are tried.
        {"kilo-Newton", "0.30000001", {{"856.87"}},
         {"warning [Test Location 1] DropData_1: load 856.87 kilo-Newton is" + outside +
          "; the loads may be kPa labelled as kilo-Newton" + asKpa}},
        {"kN", "150", {{"60"}, {"4", "50"}}, {"warning [Test Location 2] DropData_1: load 4 kN is" + outside}},
        {"kPa", "150", {{"50"}},
         {"warning [Test Location 1] DropData_1: load 50 kPa on the plate, 150 mm radius, is 3.53 kN," + outside +
          "; the loads may be kN labelled as kPa"}},
        {"lbf", "150", {{"90000"}}, {"warning [Test Location 1] DropData_1: load 90000 lbf is 400.34 kN," + outside}},
        {"psi", "150", {{"9000"}},
         {"warning [Test Location 1] DropData_1: load 9000 psi on the plate, 150 mm radius, is 4386.26 kN," + outside +
          "; the loads may be lbf labelled as psi: 9000 lbf is 40.03 kN"}},
        {"kPa", "", {{"50"}}, {}},
        {"kPa", "0.3", {{"50"}}, {}},
        {"kN", "150", {{"5", "300", "60"}}, {}},
        {"", "150", {{"856.87"}}, {}}};
    for (const auto& [unit, radius, loads, expected] : cases) {
        PDDXFile document;
        document.Element("Units", "LoadUnits").SetValue(unit);
        document.Element("Units", "LoadPlateRadiusUnits").SetValue("millimeter");
        document.Element("Device Configuration", "LoadPlateRadius").SetValue(radius);
        for (const std::vector<const char*>& location : loads) {
            PDDXSection& section = document.AddTestLocation();
            for (const char* load : location) section.AddDropData().SetValue(std::string(load) + ", 300, 200");
        }
        EXPECT_EQ(FoundBy(document, "V136"), expected) << unit << " " << radius;
    }
}

// A sensor count no counter can hold is no count: the lists are not measured against it.
TEST(CheckRelated, ASensorCountBeyondEveryCounterIsNone)
{
    for (const char* count : {"1e134", "2147483648", "2.5", "-2"}) {
        PDDXFile document;
        document.Element("Device Configuration", "NumberOfDeflectionSensors").SetValue(count);
        document.Element("Device Calibration", "SensorDynamicCalibrationFactor").SetValue("1, 1");
        std::vector<std::string> codes;
        CheckDocument(document, [&](const Finding& finding) { codes.push_back(finding.Code); });
        EXPECT_EQ(std::count(codes.begin(), codes.end(), "V112"), 0) << count;
    }
    PDDXFile document;
    document.Element("Device Configuration", "NumberOfDeflectionSensors").SetValue("3");
    document.Element("Device Calibration", "SensorDynamicCalibrationFactor").SetValue("1, 1");
    std::vector<std::string> codes;
    CheckDocument(document, [&](const Finding& finding) { codes.push_back(finding.Code); });
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "V112"), 1);
}

TEST_F(CheckExport, ExportWritesEveryDropAsOneCsvRow)
{
    // The documents' start and end dates date no drop: no element of a location holds its date.
    const RunResult out = Run({"export", "e1.DDX", "-"}, "", "e2.DDX");
    EXPECT_EQ(out.status, 0) << out.err;
    EXPECT_EQ(out.out, Expected("export.csv"));

    const RunResult file = Run({"export", "-o", "drops.csv", "-t", "pddx", "e1.DDX", "e2.DDX"});
    EXPECT_EQ(file.out, "exported 3 drops of 2 files -> drops.csv\n");
    EXPECT_EQ(ReadBytes(dir / "drops.csv"), ReplaceAll(Expected("export.csv"), "-,2", "e2.DDX,2"));
    // All or nothing: a file that cannot be read leaves no table.
    EXPECT_EQ(Run({"export", "-o", "none.csv", "e1.DDX", "gone.DDX"}).status, 1);
    EXPECT_EQ(Run({"export", "-o", "e1.DDX", "e1.DDX"}).status, 2);
    EXPECT_FALSE(fs::exists(dir / "none.csv"));

    // Text a spreadsheet would run as a formula is written after an apostrophe; numbers are not.
    EXPECT_EQ(Run({"export", "f.DDX"}).out, Expected("formulas.csv"));
}

// The n of a numbered name, the prefix in any letter case, 1 to 2147483647.
TEST(NumberedNames, NumberAfterItsPrefix)
{
    const std::vector<std::tuple<std::string, std::string, std::optional<int>>> cases = {
        {"DropData_3", "DropData_", 3},
        {"dropdata_12", "DropData_", 12},
        {"DROPDATA_7", "DropData_", 7},
        {"Test Location 2147483647", "Test Location ", 2147483647},
        {"test LOCATION 5", "Test Location ", 5},
        {"DropData_0", "DropData_", std::nullopt},
        {"DropData_", "DropData_", std::nullopt},
        {"DropData_-1", "DropData_", std::nullopt},
        {"DropData_+1", "DropData_", std::nullopt},
        {"DropData_ 1", "DropData_", std::nullopt},
        {"DropData_3x", "DropData_", std::nullopt},
        {"DropDatb_3", "DropData_", std::nullopt},
        {"DropHistoryData_1_1", "DropData_", std::nullopt},
        {"Test Location 2147483648", "Test Location ", std::nullopt}};
    for (const auto& [name, prefix, expected] : cases) EXPECT_EQ(NumberAfter(name, prefix), expected) << name;
}

// A drop's items, each with the number it reads as: the plain decimals read on the way, the rest
// (exponents, numbers too large, words, blanks) as FiniteNumber reads them.
TEST(DropItems, SplitAtCommasAndReadOnce)
{
    using Numbers = std::vector<std::optional<double>>;
    const std::vector<std::tuple<std::string, std::vector<std::string_view>, Numbers>> cases = {
        {"49.6, 901 ,  456", {"49.6", "901", "456"}, {49.6, 901, 456}},
        {"-1.5,+.5,5.,007", {"-1.5", "+.5", "5.", "007"}, {-1.5, 0.5, 5, 7}},
        {"", {""}, {std::nullopt}},
        {"  ", {""}, {std::nullopt}},
        {" , 5,", {"", "5", ""}, {std::nullopt, 5, std::nullopt}},
        {"1.5e3, 2E-1 ,1e999", {"1.5e3", "2E-1", "1e999"}, {1500, 0.2, std::nullopt}},
        {"1 2, 12.5.3, x9, 9x, -, ., +-5", {"1 2", "12.5.3", "x9", "9x", "-", ".", "+-5"}, Numbers(7)},
        {"123456789012345, 1234567890123456789", {"123456789012345", "1234567890123456789"},
         {123456789012345.0, 1234567890123456789.0}},
        {"\t5, 5\t", {"\t5", "5\t"}, Numbers(2)}};
    std::vector<std::string_view> items;
    Numbers numbers;
    for (const auto& [value, expectedItems, expectedNumbers] : cases) {
        Items(value, items, numbers);
        EXPECT_EQ(items, expectedItems) << value;
        EXPECT_EQ(numbers, expectedNumbers) << value;
        EXPECT_EQ(Items(value), expectedItems) << value;
    }
}

// Loads in order, equal loads in the drops' order, as a stable sort gives them: few loads, and the
// hundreds of a calibration's location (sorted another way), with repeats, near neighbours and
// values whose bits differ in one byte only.
TEST(LoadOrder, ByValueThenByPlace)
{
    std::mt19937 random(11);
    std::vector<std::vector<double>> cases = {{5},
                                              {2, 1},
                                              {50.1, 40, 50.1, 60, 40},
                                              {1.0, std::nextafter(1.0, 2.0), 0.5, std::nextafter(1.0, 0.0), 1.0}};
    for (const std::size_t size : {63u, 64u, 65u, 500u, 3000u}) {
        std::vector<double> loads;
        for (std::size_t i = 0; i < size; ++i)
            loads.push_back(i % 5 == 0 ? 1e-3 * (1 + random() % 7) : 40 + 10.0 * (i % 3) + (random() % 31) / 10.0);
        cases.push_back(loads);
    }
    std::vector<std::size_t> order;
    for (const std::vector<double>& loads : cases) {
        std::vector<std::size_t> expected(loads.size());
        std::iota(expected.begin(), expected.end(), 0);
        std::stable_sort(expected.begin(), expected.end(),
                         [&loads](std::size_t a, std::size_t b) { return loads[a] < loads[b]; });
        OrderByValue(loads, order);
        EXPECT_EQ(order, expected) << loads.size() << " loads";
    }
}

// A drop's items as export writes them, padded to the table's width: numbers as they stand, the
// rest as a spreadsheet must read them (formulas after an apostrophe, quotes doubled, Latin-1 as
// UTF-8), however long the drop.
TEST(DropItems, WrittenAsFieldsOfTheTablesWidth)
{
    const std::string ones = "1" + ReplaceAll(std::string(599, 'x'), "x", ", 1");  // 600 items
    const std::string tight = "1" + ReplaceAll(std::string(510, 'x'), "x", ",1");   // 1,021 characters
    const std::vector<std::tuple<std::string, std::size_t, std::string>> cases = {
        {"49.6, 901 ,  456", 5, ",49.6,901,456,,"},
        {"", 1, ","},
        {" , 5,", 3, ",,5,"},
        {".5, 12 34, 007", 3, ",.5,12 34,007"},
        {"=1+2, 5", 2, ",'=1+2,5"},
        {"-12.5, -x, +3", 3, ",-12.5,'-x,+3"},
        {"@a, 	5, 5	", 3, ",'@a,'	5,5	"},
        {"1.5e3, 2E-1", 2, ",1.5e3,2E-1"},
        {"5\"x, 7", 2, ",\"5\"\"x\",7"},
        {"5\xB5, \xB5m", 2, ",5\xC2\xB5,\xC2\xB5m"},
        {ones, 601, ReplaceAll(std::string(600, 'x'), "x", ",1") + ","},
        // As long as the row's room allows, and as wide.
        {tight, 2, ReplaceAll(std::string(511, 'x'), "x", ",1")},
        {"1,1", 1020, ",1,1" + std::string(1018, ',')},
        // Items and commas on either side of each eighth character, and of the last sixteen.
        {"1234567,1234567 , 123456789.125,12345678", 4, ",1234567,1234567,123456789.125,12345678"},
        {"12345678", 1, ",12345678"},
        {"1234567,", 2, ",1234567,"},
        {"123456789012345,1", 2, ",123456789012345,1"},
        {"1234567890123456, 7 ", 2, ",1234567890123456,7"},
        {"12345678, 9\"", 2, ",12345678,\"9\"\"\""},
        {"12345678,12345678, =1", 3, ",12345678,12345678,'=1"},
        {"12345678,12345678, 9\xB5", 3, ",12345678,12345678,9\xC2\xB5"},
        {"12345678,12345678,\r9", 3, ",12345678,12345678,\"'\r9\""}};
    std::vector<std::string_view> items;
    for (const auto& [value, width, expected] : cases) {
        std::string row = "x";
        ItemFields(row, value, width, items);
        EXPECT_EQ(row, "x" + expected) << value;
        EXPECT_EQ(items, Items(value)) << value;
        EXPECT_EQ(CommasIn(value), static_cast<std::size_t>(std::count(value.begin(), value.end(), ','))) << value;
    }
}

// The table of a PDDX file whose drops were read apart from its document is the table of the
// document read whole, and the reading warns of the same: drops renumbered or repeated, histories
// and other keys among them, a value too long for the document's short text, a location repeated,
// one without drops. The document itself holds no drop.
TEST(DropsReadApart, GiveTheTableOfTheDocumentReadWhole)
{
    const std::string header = "[Units]\r\nLoadUnits = kN\r\nDeflectionUnits = micron\r\nSensorsLocationUnits = mm\r\n"
                               "[Device Configuration]\r\nDeflectionSensorXAxisDistances = 0, 300, 600, 900\r\n";
    const std::string longDrop = "50" + ReplaceAll(std::string(100, 'x'), "x", ", 400");
    std::vector<std::pair<std::string, std::string>> texts = {
        {"inline.DDX", header + "[Test Location 5]\r\nTestLocation = 1.5, 0, 0\r\nDropData_3 = 40, 400, 300, 250, 225\r\n"
                                "Note = x\r\nDropHistoryData_3_1 = 1, 2\r\nDropData_3 = 41, 1\r\nDropData_9 = " +
                                    longDrop + "\r\nDropData_10 =\r\nDropData_11 = 50, " + std::string(252, '1') +
                                    "\r\nDropData_12 = 50, " + std::string(251, '1') +
                                    "\r\n[Test Location 5]\r\nDropData_1 = 1\r\n"
                                               "[Other]\r\nx = 1\r\n[Test Location 2]\r\nTestLane = 3\r\n"
                                               "[Test Location 7]\r\nNumberOfDrops = 9\r\nDropData_1 = 52, 1, 2\r\n"}};
    for (const auto& entry : fs::recursive_directory_iterator(VANTREL_TEST_DATA))
        if (UpperCase(entry.path().extension().string()) == ".DDX")
            texts.emplace_back(entry.path().filename().string(), ReadBytes(entry.path()));
    ExportOptions options;
    options.Indices = true;
    for (const auto& [name, text] : texts) {
        std::string tables[2];
        std::vector<std::string> warnings[2];
        for (const bool apart : {false, true}) {
            ReaderRun run;
            auto document = std::make_shared<PDDXFile>();
            DropTable table(options);
            PDDXDropValues drops;
            if (apart) {
                run.ReadInto(FileType::PDDX, *document, text, name, false,
                             [&drops](ReaderContext& context, ReaderInput& input, PDDXFile& read, bool) {
                                 ReadPDDXDropsApart(context, input, read, drops);
                             });
                for (const PDDXSection& section : document->Sections())
                    for (const PDDXElement& element : section.Elements())
                        EXPECT_FALSE(NumberAfter(element.Handle(), "DropData_")) << name << ": " << element.Handle();
                table.Add(name, document, std::move(drops));
            } else {
                run.ReadInto(FileType::PDDX, *document, text, name);
                table.Add(name, document);
            }
            std::ostringstream out;
            table.Write(out);
            tables[apart ? 1 : 0] = out.str();
            warnings[apart ? 1 : 0] = WarningLines(name, run.Warnings);
        }
        EXPECT_EQ(tables[1], tables[0]) << name;
        // Values of 256 and 255 characters, either side of what the document's short text holds.
        if (name == "inline.DDX") {
            for (const std::size_t ones : {252, 251})
                EXPECT_NE(tables[0].find(",50," + std::string(ones, '1') + ","), std::string::npos) << ones;
        }
        EXPECT_EQ(warnings[1], warnings[0]) << name;
    }
}

// Indices beyond the range where rounded digits are written as they come are written in full all
// the same. Plate 150 mm, kN, micron; drop "50, 2e305, 1e305, 0.5, 0.25" at 0, 300, 600, 900 mm:
//   SCI = 2e305 - 1e305 = 1e305, BDI = 1e305 - 0.5 = 1e305 (to six digits), BCI = 0.5 - 0.25 = 0.25,
//   AREA = 6 (2e305 + 2e305 + 1 + 0.25) / 2e305 = 12,
//   E0 = 2 (1 - 0.1225) 707.355 kPa * 150 / 2e305 = 186214.3 / 2e305 = 9.31056e-301.
TEST(DropRows, IndicesBeyondTheUsualRangeInFull)
{
    auto document = std::make_shared<PDDXFile>();
    document->Element("Units", "LoadUnits").SetValue("kN");
    document->Element("Units", "DeflectionUnits").SetValue("micron");
    document->Element("Units", "SensorsLocationUnits").SetValue("mm");
    document->Element("Units", "LoadPlateRadiusUnits").SetValue("mm");
    document->Element("Device Configuration", "LoadPlateRadius").SetValue("150");
    document->Element("Device Configuration", "DeflectionSensorXAxisDistances").SetValue("0, 300, 600, 900");
    document->AddTestLocation().AddDropData().SetValue("50, 2e305, 1e305, 0.5, 0.25");
    ExportOptions options;
    options.Indices = true;
    DropTable table(options);
    table.Add("far.DDX", document);
    std::ostringstream out;
    table.Write(out);
    const std::string huge = "1" + std::string(305, '0');
    EXPECT_EQ(out.str().substr(out.str().find("\r\n") + 2),
              "far.DDX,1,1,,,,,,50,2e305,1e305,0.5,0.25," + huge + "," + huge + ",0.25,12,0." + std::string(300, '0') +
                  "931056,kN,micron\r\n");
}

// The rows of a large document come out in document order and the same on one thread or three:
// 20,000 drops make three blocks of rows, and the middle location reaches into each of them.
TEST(DropRows, TheSameOnEveryNumberOfThreads)
{
    auto document = std::make_shared<PDDXFile>();
    document->Element("Units", "LoadUnits").SetValue("kN");
    document->Element("Units", "SensorsLocationUnits").SetValue("mm");
    document->Element("Device Configuration", "DeflectionSensorXAxisDistances").SetValue("0, 300, 600, 900");
    std::string expected;
    for (const int drops : {5000, 12000, 3000}) {
        PDDXSection& location = document->AddTestLocation();
        for (int d = 1; d <= drops; ++d) {
            // SCI = D0 - D300 = 100, BDI = 50, BCI = 25; AREA = 6 (400 + 600 + 500 + 225) / 400 = 25.875.
            location.AddDropData().SetValue(std::to_string(d % 7 + 40) + ", 400, 300, 250, 225");
        }
    }
    int location = 0;
    for (const int drops : {5000, 12000, 3000}) {
        ++location;
        for (int d = 1; d <= drops; ++d)
            expected += "big.DDX," + std::to_string(location) + "," + std::to_string(d) + ",,,,,," +
                        std::to_string(d % 7 + 40) + ",400,300,250,225,100,50,25,25.875,,kN,\r\n";
    }
    std::string tables[2];
    for (const unsigned jobs : {1u, 3u}) {
        ExportOptions options;
        options.Indices = true;
        options.Jobs = jobs;
        DropTable table(options);
        table.Add("big.DDX", document);
        std::ostringstream out;
        table.Write(out);
        tables[jobs == 1 ? 0 : 1] = out.str();
        EXPECT_EQ(table.Rows(), 20000u);
    }
    const std::size_t header = tables[0].find("\r\n") + 2;
    EXPECT_EQ(tables[0].substr(header), expected);
    EXPECT_EQ(tables[1], tables[0]);
}

}  // namespace
}  // namespace vantrel::test
