// The settings file: defaults, the JILS condition, round trips and damaged files.

#include <gtest/gtest.h>

#include <sstream>

#include "base/Platform.h"
#include "core/Settings.h"
#include "support/TestSupport.h"

namespace vantrel {
namespace {

using test::TempDir;

TEST(Settings, DefaultsAndTheJilsValuesOnlyForJilsDat)
{
    TempDir folder;
    const std::string home = folder.Path().string();
    std::ostringstream warnings;
    ProgramState first = NewProgramState(folder.Path());
    LoadSettings(first, true, warnings);  // no file yet: created empty
    EXPECT_EQ(std::filesystem::file_size(folder / "Config.bag"), 0u);
    ProgramState untouched = NewProgramState(folder.Path() / "sub");
    LoadSettings(untouched, false, warnings);
    EXPECT_FALSE(std::filesystem::exists(folder / "sub"));

    test::WriteBytes(folder / "jils.bag", "[Settings]\r\nFileType = 6\r\n");
    ProgramState jils = NewProgramState(folder.Path());
    jils.SettingsFile = folder / "jils.bag";
    LoadSettings(jils, true, warnings);
    EXPECT_EQ(warnings.str(), "");
    for (const auto& [state, type, sensors, radius] :
         {std::tuple{&first, FileType::DynatestF25, 0, ""}, std::tuple{&jils, FileType::JilsDat, 7, "6"}}) {
        EXPECT_EQ(state->Settings.InputPath, home);
        EXPECT_EQ(state->Settings.ConfigPath, home);
        EXPECT_EQ(state->WorkingHistoryPath, home);
        EXPECT_EQ(state->Settings.Type, type);
        EXPECT_EQ(state->CurrentType, type);
        EXPECT_EQ(state->Settings.NumSensors, sensors);
        EXPECT_EQ(state->Settings.LoadPlateRadius, radius);
        EXPECT_EQ(state->Settings.SensorXAxis, "");
    }
}

TEST(Settings, SaveThenLoadGivesBackEveryFieldAndTheJilsValuesOnlyForJilsDat)
{
    TempDir folder;
    ProgramState state = NewProgramState(folder.Path());
    state.Settings = {"/data/in put", " /hist ", "/conf'ig\"", FileType::JilsDat, 9, "5.9", "0, 8, 12, 18, 24, 36, 48, 60,-12",
                      "0, 0, 0, 0, 0, 0, 0, 0,  0", {.ReferenceCalibrationDays = 400, .MaxFactor = 1.025}};
    std::ostringstream warnings;
    SaveSettings(state, warnings);
    ProgramState loaded = NewProgramState(folder.Path());
    LoadSettings(loaded, true, warnings);
    EXPECT_EQ(warnings.str(), "");
    const SettingsRecord& s = loaded.Settings;
    EXPECT_EQ(std::tie(s.InputPath, s.HistoryPath, s.ConfigPath, s.Type, s.NumSensors, s.LoadPlateRadius, s.SensorXAxis,
                       s.SensorYAxis),
              std::tie(state.Settings.InputPath, state.Settings.HistoryPath, state.Settings.ConfigPath,
                       state.Settings.Type, state.Settings.NumSensors, state.Settings.LoadPlateRadius,
                       state.Settings.SensorXAxis, state.Settings.SensorYAxis));
    EXPECT_EQ(s.Check, state.Settings.Check);
    EXPECT_EQ(loaded.WorkingInputPath, "/data/in put");

    state.Settings.Type = FileType::KuabFwd;
    SaveSettings(state, warnings);
    EXPECT_EQ(test::ReadBytes(folder / "Config.bag"),
              "[Settings]\r\nInputPath = \"/data/in put\"\r\nHistoryPath = \" /hist \"\r\n"
              "ConfigPath = \"/conf'ig\"\"\r\nFileType = 8\r\n"
              "[Check]\r\nReferenceCalibrationDays = 400\r\nMaxFactor = 1.025\r\n");
}

TEST(Settings, TheDesktopKeepsItsLastFolderInstructionsChoiceAndWindowSizes)
{
    TempDir folder;
    ProgramState state = NewProgramState(folder.Path());
    std::ostringstream warnings;
    LoadSettings(state, true, warnings);
    state.WorkingInputPath = "/data/last";
    state.Desktop = {.ShowInstructionsAtStart = false, .MainMaximized = true, .MainWidth = 900, .MainHeight = 650, .ReviewWidth = 700, .ReviewHeight = 0};
    SaveSettings(state, warnings);
    const std::string text = test::ReadBytes(folder / "Config.bag");
    EXPECT_NE(text.find("LastFolder = \"/data/last\"\r\nShowInstructions = 0\r\nMainMaximized = 1\r\nMainWidth = 900\r\nMainHeight = 650\r\n"
                        "ReviewWidth = 700\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("ReviewHeight"), std::string::npos);
    ProgramState loaded = NewProgramState(folder.Path());
    LoadSettings(loaded, true, warnings);
    EXPECT_EQ(loaded.Desktop, state.Desktop);
    EXPECT_EQ(loaded.WorkingInputPath, "/data/last");
    EXPECT_EQ(loaded.Settings.InputPath, folder.Path().string());

    // Back in the folder the settings start in, with the instructions shown: nothing of its own.
    loaded.WorkingInputPath = loaded.Settings.InputPath;
    loaded.Desktop = {};
    SaveSettings(loaded, warnings);
    for (const char* key : {"LastFolder", "ShowInstructions", "Maximized", "Width"})
        EXPECT_EQ(test::ReadBytes(folder / "Config.bag").find(key), std::string::npos) << key;
    EXPECT_EQ(warnings.str(), "");
}

TEST(Settings, DamagedValuesAndUnwritableFilesAreReportedNotFatal)
{
    TempDir folder;
    // Lines ended by CR alone, as some editors leave them.
    test::WriteBytes(folder / "Config.bag", "[settings]\rfiletype = many\rInputPath = /x\r");
    ProgramState state = NewProgramState(folder.Path());
    std::ostringstream warnings, saveWarnings, loadWarnings;
    LoadSettings(state, true, warnings);
    EXPECT_EQ(state.Settings.Type, FileType::DynatestF25);
    EXPECT_EQ(state.Settings.InputPath, "/x");
    EXPECT_NE(warnings.str().find("FileType"), std::string::npos);

    state.SettingsFile = folder.Path() / "no such folder" / "Config.bag";
    SaveSettings(state, saveWarnings);
    EXPECT_NE(saveWarnings.str().find("settings not saved"), std::string::npos);
    std::filesystem::create_directory(folder / "dir.bag");
    state.SettingsFile = folder / "dir.bag";
    LoadSettings(state, true, loadWarnings);
    EXPECT_NE(loadWarnings.str().find("using the defaults"), std::string::npos);

    SettingsRecord settings;
    SetSettingsField(settings, "numsensors", "7");
    SetSettingsField(settings, "SensorXAxis", "0, 8, 12");
    EXPECT_EQ(settings.NumSensors, 7);
    EXPECT_EQ(settings.SensorXAxis, "0, 8, 12");
    for (const auto& [name, value] : {std::pair{"NumSensors", "seven"}, {"NumSensors", "40000"}, {"Colour", "red"}})
        EXPECT_THROW(SetSettingsField(settings, name, value), std::invalid_argument) << name << "=" << value;
}

TEST(Settings, BesideAProgramInAFolderOfItsOwnElseInTheUsersFolders)
{
    const struct {
        bool own;
        const char* user;
        const char* file;
    } cases[] = {{true, "/home/u/.config/vantrel", "/opt/v/Config.bag"},
                 {false, "/home/u/.config/vantrel", "/home/u/.config/vantrel/Config.bag"},
                 {false, "", "/opt/v/Config.bag"}};
    for (const auto& c : cases) EXPECT_EQ(SettingsFileFor("/opt/v", c.own, c.user), c.file) << c.own << c.user;

    TempDir folder;
    EXPECT_TRUE(platform::IsOwnWritableFolder(folder.Path()));
    EXPECT_FALSE(platform::IsOwnWritableFolder(folder / "missing"));
    EXPECT_FALSE(platform::IsOwnWritableFolder("/usr/bin"));  // installed programs: even root keeps out

    // Installed: the settings in the user's configuration folder, made when first written, and
    // the default folders the user's home. A relative XDG_CONFIG_HOME is to be ignored.
    ::setenv("HOME", (folder / "home").c_str(), 1);
    for (const auto& [xdg, file] : {std::pair{(folder / "xdg").string(), folder / "xdg" / "vantrel" / "Config.bag"},
                                    {"relative", folder / "home" / ".config" / "vantrel" / "Config.bag"}}) {
        ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
        ProgramState state = InstalledProgramState("/usr/bin");
        EXPECT_EQ(state.SettingsFile, file);
        std::ostringstream warnings;
        LoadSettings(state, true, warnings);
        EXPECT_EQ(state.Settings.InputPath, (folder / "home").string());
        SaveSettings(state, warnings);
        EXPECT_EQ(warnings.str(), "");
        EXPECT_TRUE(test::ReadBytes(file).starts_with("[Settings]"));
        state.SettingsFile = folder / "elsewhere" / "Config.bag";  // as --settings names it
        SaveSettings(state, warnings);
        EXPECT_FALSE(std::filesystem::exists(folder / "elsewhere"));
    }
}

}  // namespace
}  // namespace vantrel
