// check and export end to end, on documents written here with known defects and known drops.

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

using CheckExport = ProgramTest;

TEST_F(CheckExport, CheckSaysWhatEachDocumentLacks)
{
    // The counters disagree with what the file holds: check reads it as it stands.
    WriteBytes(dir / "a.DDX", CrLf({"[Units]", "LoadUnits = Pound-force per square inch ",
                                    "[Device Configuration]", "NumberOfDeflectionSensors = 3",
                                    "DeflectionSensorXAxisDistances = 0, 200", "DeflectionSensorYAxisDistances = 0, x, 0",
                                    "[Deflection Data]", "NumberOfTestLocations = 3", "[Test Location 1]",
                                    "NumberOfDrops = 2", "DropData_1 = 50.1, 210, 180, 150", "DropData_2 = 50.3, 212, 181",
                                    "DropData_3 = 49, 1, 2, 3", "DropData_0 = no drop", "[Test Location 0]",
                                    "[Test Location 2]", "NumberOfDrops = many",
                                    "DropData_1 = 50, 1, , 3", "DropData_2 ="}));
    WriteBytes(dir / "b.txt", CrLf({"[Device Configuration]", "LoadPlateRadius = 15O", "NumberOfDeflectionSensors = 2.5",
                                    "DeflectionSensorXAxisDistances = 0, 8", "DeflectionSensorYAxisDistances = 0, 0",
                                    "[Deflection Data]"}));
    const RunResult run = Run({"check", "a.DDX", "b.txt"});
    EXPECT_EQ(run.status, 4) << run.err;
    EXPECT_EQ(run.out, "a.DDX: [Device Configuration] LoadPlateRadius: empty; the calibration needs it\n"
                       "a.DDX: [Units] LoadUnits: \"Pound-force per square inch\" is a pressure; the calibration "
                       "compares forces, so the loads are to be multiplied by the plate area first\n"
                       "a.DDX: [Device Configuration] DeflectionSensorXAxisDistances: 2 distances, but "
                       "NumberOfDeflectionSensors is 3\n"
                       "a.DDX: [Device Configuration] DeflectionSensorYAxisDistances: item 2, \"x\", is not a number\n"
                       "a.DDX: [Deflection Data] NumberOfTestLocations: is 3, but the document holds 2 test locations\n"
                       "a.DDX: [Test Location 1] NumberOfDrops: is 2, but the location holds 3 drops\n"
                       "a.DDX: [Test Location 1] DropData_2: a load and 2 deflections, but NumberOfDeflectionSensors is 3\n"
                       "a.DDX: [Test Location 2] NumberOfDrops: \"many\" is not a whole number\n"
                       "a.DDX: [Test Location 2] DropData_1: item 3 is empty\n"
                       "a.DDX: [Test Location 2] DropData_2: empty\n"
                       "b.txt: [Device Configuration] LoadPlateRadius: \"15O\" is not a number\n"
                       "b.txt: [Device Configuration] NumberOfDeflectionSensors: \"2.5\" is not a whole number\n");

    const RunResult json = Run({"check", "--format", "json", "b.txt"});
    EXPECT_EQ(json.status, 4);
    EXPECT_EQ(json.out, "[\n  {\n    \"file\": \"b.txt\",\n    \"section\": \"Device Configuration\",\n"
                        "    \"key\": \"LoadPlateRadius\",\n    \"message\": \"\\\"15O\\\" is not a number\"\n  },\n"
                        "  {\n    \"file\": \"b.txt\",\n    \"section\": \"Device Configuration\",\n"
                        "    \"key\": \"NumberOfDeflectionSensors\",\n"
                        "    \"message\": \"\\\"2.5\\\" is not a whole number\"\n  }\n]\n");

    // A native file, told by its content and read by its reader, that lacks nothing.
    WriteBytes(dir / "k.FWD", ReadBytes(fs::path(VANTREL_EXAMPLES) / "kuab" / "small.FWD"));
    const RunResult clean = Run({"check", "-"}, "", "k.FWD");
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "");
    EXPECT_EQ(Run({"check", "--format", "json", "k.FWD", "gone.DDX"}).status, 1);
    EXPECT_EQ(Run({"check", "--format", "xml", "k.FWD"}).status, 2);
}

TEST_F(CheckExport, ExportWritesEveryDropAsOneCsvRow)
{
    WriteBytes(dir / "e1.DDX", CrLf({"[Operations Information]", "StartDate = 07-Apr-2004", "[Units]",
                                     "LoadUnits = kilo-Newton", "DeflectionUnits = micron", "[Deflection Data]",
                                     "NumberOfTestLocations = 1", "[Test Location 1]", "TestLocation = 100, 0, 0",
                                     "TestLane = V\xE4gkant \"A\"", "TestTemperatures = 17.5, 21", "TestTime = 09:15:02",
                                     "NumberOfDrops = 2", "DropData_1 = 49.9, 612, 450", "DropData_2 = 50.2,615,452"}));
    WriteBytes(dir / "e2.DDX", CrLf({"[Operations Information]", "EndDate = 12-May-2003", "[Deflection Data]",
                                     "NumberOfTestLocations = 2", "[Test Location 1]", "NumberOfDrops = 0",
                                     "[Test Location 2]", "TestLocation = 7", "NumberOfDrops = 1",
                                     "DropData_1 = 40, 1, 2, 3.50, 4"}));
    // The documents' start and end dates date no drop: no element of a location holds its date.
    const std::string table =
        "file,location,drop,station,lane,location_date,time,temperatures,load,D1,D2,D3,D4,load_units,deflection_units\r\n"
        "e1.DDX,1,1,100,\"V\xC3\xA4gkant \"\"A\"\"\",,09:15:02,\"17.5, 21\",49.9,612,450,,,kilo-Newton,micron\r\n"
        "e1.DDX,1,2,100,\"V\xC3\xA4gkant \"\"A\"\"\",,09:15:02,\"17.5, 21\",50.2,615,452,,,kilo-Newton,micron\r\n"
        "-,2,1,7,,,,,40,1,2,3.50,4,,\r\n";
    const RunResult out = Run({"export", "e1.DDX", "-"}, "", "e2.DDX");
    EXPECT_EQ(out.status, 0) << out.err;
    EXPECT_EQ(out.out, table);

    const RunResult file = Run({"export", "-o", "drops.csv", "-t", "pddx", "e1.DDX", "e2.DDX"});
    EXPECT_EQ(file.out, "exported 3 drops of 2 files -> drops.csv\n");
    EXPECT_EQ(ReadBytes(dir / "drops.csv"), ReplaceAll(table, "-,2", "e2.DDX,2"));
    // All or nothing: a file that cannot be read leaves no table.
    EXPECT_EQ(Run({"export", "-o", "none.csv", "e1.DDX", "gone.DDX"}).status, 1);
    EXPECT_EQ(Run({"export", "-o", "e1.DDX", "e1.DDX"}).status, 2);
    EXPECT_FALSE(fs::exists(dir / "none.csv"));

    // Text a spreadsheet would run as a formula is written after an apostrophe; numbers are not.
    WriteBytes(dir / "f.DDX", CrLf({"[Deflection Data]", "NumberOfTestLocations = 1", "[Test Location 1]",
                                    "TestLocation = =HYPERLINK(\"http://x\"), 0, 0", "TestLane = +cmd|' /C calc'!A0",
                                    "TestTime = @now", "TestTemperatures = -12.5", "NumberOfDrops = 1",
                                    "DropData_1 = -40, =1, -2"}));
    EXPECT_EQ(Run({"export", "f.DDX"}).out,
              "file,location,drop,station,lane,location_date,time,temperatures,load,D1,D2,load_units,deflection_units\r\n"
              "f.DDX,1,1,\"'=HYPERLINK(\"\"http://x\"\")\",'+cmd|' /C calc'!A0,,'@now,-12.5,-40,'=1,-2,,\r\n");
}

}  // namespace
}  // namespace vantrel::test
