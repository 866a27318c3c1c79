// Each file read into a new document gives the same bytes whatever the same run read before it,
// in convert with several files and in batch; only a merge carries what one file says of its
// layout over to the next. And no reading changes a setting.

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

using IndependentReadings = ProgramTest;

// The second file of each pair has data lines but not the lines that lay them out.
TEST_F(IndependentReadings, OnlyAMergeCarriesTheLayoutOfOneFileIntoTheNext)
{
    const struct {
        std::string type, extension;
        std::vector<std::string> layout, bare;
        std::string carried;  // the bare file's drop as the layout reads it
    } cases[] = {
        {"kuab", "FWD",
         {"KUAB", "ISensor Distance: 300 0 200 mm", "IPosition: FRONT", "JDistance Drop Load D0 D1 D2 Air time",
          "J----- ---- ----- --- --- --- ---- --------", "D  100    1  50.1 210 180 150 17.5 12:00:01"},
         {"KUAB", "D  200    1  50.3 212 181 151 17.9 12:30:00"},
         "TestLocation = 200, 0, 0\r\nTestTemperatures = 17.9\r\nTestTime =  12:30:00\r\nNumberOfDrops = 1\r\nDropData_1 = 50.3, 212, 181, 151\r\n"},
        {"carlbro", "TXT",
         {"$1", "Radial offset [mm]\t0\t300\t600", "$2", "Chainage [m]\t0", "$3", "Sequence no.\t1\t\tTime 10:32",
          "Drop no.\tD1\tD2\tD3\tStress\tLoad [kN]\tAir temp.", "1\t10\t20\t30\tx\t50\t18"},
         {"$2", "Chainage [m]\t100", "$3", "Sequence no.\t1\t\tTime 10:40", "1\t11\t21\t31\tx\t51\t19"},
         "TestLocation = 100, 0, 0\r\nTestTemperatures = 19\r\nTestTime = 10:40:00\r\nNumberOfDrops = 1\r\nDropData_1 = 51, 11, 21, 31\r\n"},
    };
    for (const auto& c : cases) {
        // A batch takes the files in the order their folder lists them: the layout is put first.
        fs::create_directory(dir / c.type);
        for (const char* stem : {"a.", "b."}) WriteBytes(dir / c.type / (stem + c.extension), "");
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(dir / c.type)) files.push_back(c.type + "/" + entry.path().filename().string());
        WriteBytes(dir / files[0], CrLf(c.layout));
        WriteBytes(dir / files[1], CrLf(c.bare));
        const std::string bare = fs::path(files[1]).stem().string();

        ASSERT_EQ(Run({"convert", "-t", c.type, "--output-dir", "alone", files[1]}).status, 0);
        const std::string alone = ReadBytes(dir / "alone" / (bare + ".DDX"));
        EXPECT_EQ(alone.find(c.carried), std::string::npos) << c.type;
        EXPECT_EQ(Run({"convert", "-t", c.type, files[0], files[1]}).status, 0);
        EXPECT_EQ(ReadBytes(dir / c.type / (bare + ".DDX")), alone) << c.type << ": convert";
        EXPECT_EQ(Run({"batch", "-t", c.type, files[0]}).status, 0);
        EXPECT_EQ(ReadBytes(dir / c.type / (bare + "cvt.DDX")), alone) << c.type << ": batch";
        EXPECT_EQ(Run({"merge", "-o", "merged.DDX", "-t", c.type, files[0], files[1]}).status, 0);
        EXPECT_TRUE(Holds("merged.DDX", "[Test Location 2]\r\n" + c.carried)) << c.type << ": merge";
    }

    // The unattended run saves the settings: the sensor count the JILS file gives is not among them.
    WriteBytes(dir / "settings.bag", "[Settings]\r\nFileType = 6\r\nNumSensors = 7\r\n");
    WriteBytes(dir / "short.DAT", CrLf({"FWD", "Sensors: A B C", "1 L 0.5 1 9 1 2 3 60"}));
    ASSERT_EQ(Run({"short.DAT,6"}).status, 0);
    EXPECT_TRUE(Holds("shortcvt.DDX", "DropData_1 = 9000, 1, 2, 3\r\n"));
    EXPECT_TRUE(Holds("settings.bag", "NumSensors = 7\r\n")) << ReadBytes(dir / "settings.bag");
}

}  // namespace
}  // namespace vantrel::test
