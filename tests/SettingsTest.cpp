// The settings file: defaults, read order, the JILS condition, round trips and damaged files.

#include <gtest/gtest.h>

#include <sstream>

#include "support/TestSupport.h"
#include "core/Settings.h"

namespace vantrel {
namespace {

using test::TempDir;

TEST(Settings, FirstStartGivesDefaultsAndCreatesAnEmptyFile)
{
    TempDir folder;
    ProgramState state = NewProgramState(folder.Path());
    std::ostringstream warnings;
    LoadSettings(state, true, warnings);
    EXPECT_EQ(state.Settings.InputPath, folder.Path().string());
    EXPECT_EQ(state.Settings.ConfigPath, folder.Path().string());
    EXPECT_EQ(state.Settings.FileType, 1);
    EXPECT_EQ(state.CurrentFileType, 1);
    EXPECT_EQ(state.WorkingHistoryPath, folder.Path().string());
    EXPECT_EQ(state.Settings.NumSensors, 0);  // JILS values are read only for file type 6
    EXPECT_EQ(state.Settings.LoadPlateRadius, "");
    ASSERT_TRUE(std::filesystem::exists(folder / "Config.bag"));
    EXPECT_EQ(std::filesystem::file_size(folder / "Config.bag"), 0u);
    EXPECT_EQ(warnings.str(), "");

    ProgramState untouched = NewProgramState(folder.Path() / "sub");
    LoadSettings(untouched, false, warnings);
    EXPECT_FALSE(std::filesystem::exists(folder / "sub"));
}

TEST(Settings, JilsDefaultsApplyWhenTheStoredTypeIsJilsDat)
{
    TempDir folder;
    test::WriteBytes(folder / "Config.bag", "[Settings]\r\nFileType = 6\r\n");
    ProgramState state = NewProgramState(folder.Path());
    std::ostringstream warnings;
    LoadSettings(state, true, warnings);
    EXPECT_EQ(state.Settings.NumSensors, 7);
    EXPECT_EQ(state.Settings.LoadPlateRadius, "6");
    EXPECT_EQ(state.Settings.SensorXAxis, "");
}

TEST(Settings, SaveThenLoadGivesBackEveryFieldExactly)
{
    TempDir folder;
    ProgramState state = NewProgramState(folder.Path());
    state.Settings = {"/data/in put", " /hist ", "/conf'ig\"", 6, 9, "5.9", "0, 8, 12, 18, 24, 36, 48, 60,-12",
                      "0, 0, 0, 0, 0, 0, 0, 0,  0"};
    std::ostringstream warnings;
    SaveSettings(state, warnings);
    ProgramState loaded = NewProgramState(folder.Path());
    LoadSettings(loaded, true, warnings);
    EXPECT_EQ(warnings.str(), "");
    EXPECT_EQ(loaded.Settings.InputPath, "/data/in put");
    EXPECT_EQ(loaded.Settings.HistoryPath, " /hist ");
    EXPECT_EQ(loaded.Settings.ConfigPath, "/conf'ig\"");
    EXPECT_EQ(loaded.Settings.NumSensors, 9);
    EXPECT_EQ(loaded.Settings.LoadPlateRadius, "5.9");
    EXPECT_EQ(loaded.Settings.SensorXAxis, "0, 8, 12, 18, 24, 36, 48, 60,-12");
    EXPECT_EQ(loaded.Settings.SensorYAxis, "0, 0, 0, 0, 0, 0, 0, 0,  0");
    EXPECT_EQ(loaded.WorkingInputPath, "/data/in put");
}

TEST(Settings, JilsValuesAreWrittenOnlyForJilsDat)
{
    TempDir folder;
    ProgramState state = NewProgramState(folder.Path());
    state.Settings.FileType = 8;
    state.Settings.NumSensors = 9;
    state.Settings.SensorXAxis = "0, 8";
    std::ostringstream warnings;
    SaveSettings(state, warnings);
    const std::string text = test::ReadBytes(folder / "Config.bag");
    EXPECT_NE(text.find("FileType = 8\r\n"), std::string::npos);
    EXPECT_EQ(text.find("NumSensors"), std::string::npos);
    EXPECT_EQ(text.find("SensorXAxis"), std::string::npos);
}

TEST(Settings, DamagedValuesAndUnwritableFilesAreReportedNotFatal)
{
    TempDir folder;
    test::WriteBytes(folder / "Config.bag", "[settings]\r\nfiletype = many\r\nInputPath = /x\r\n");
    ProgramState state = NewProgramState(folder.Path());
    std::ostringstream warnings;
    LoadSettings(state, true, warnings);
    EXPECT_EQ(state.Settings.FileType, 1);
    EXPECT_EQ(state.Settings.InputPath, "/x");
    EXPECT_NE(warnings.str().find("FileType"), std::string::npos);

    state.SettingsFile = folder.Path() / "no such folder" / "Config.bag";
    std::ostringstream saveWarnings;
    SaveSettings(state, saveWarnings);
    EXPECT_NE(saveWarnings.str().find("settings not saved"), std::string::npos);

    std::filesystem::create_directory(folder / "dir.bag");
    state.SettingsFile = folder / "dir.bag";
    std::ostringstream loadWarnings;
    LoadSettings(state, true, loadWarnings);
    EXPECT_NE(loadWarnings.str().find("using the defaults"), std::string::npos);
    EXPECT_EQ(state.Settings.FileType, 1);
}

TEST(Settings, SetFieldByNameChecksNamesAndNumbers)
{
    SettingsRecord settings;
    SetSettingsField(settings, "numsensors", "7");
    SetSettingsField(settings, "SensorXAxis", "0, 8, 12");
    EXPECT_EQ(settings.NumSensors, 7);
    EXPECT_EQ(settings.SensorXAxis, "0, 8, 12");
    EXPECT_THROW(SetSettingsField(settings, "NumSensors", "seven"), std::invalid_argument);
    EXPECT_THROW(SetSettingsField(settings, "NumSensors", "40000"), std::invalid_argument);
    EXPECT_THROW(SetSettingsField(settings, "Colour", "red"), std::invalid_argument);
}

}  // namespace
}  // namespace vantrel
