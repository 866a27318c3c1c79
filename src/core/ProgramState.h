#pragma once
// Everything the program keeps for the length of a run: the settings, the working folders and the
// file type in use. One object, passed explicitly, so that each run (and each test) starts from a
// fresh program. What one reading needs (ReadingState) and what one job writes where are not
// kept here: they are made for each document and passed as arguments.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/CheckLimits.h"
#include "import/FileFormats.h"

namespace vantrel {

struct SettingsRecord {
    std::string InputPath;
    std::string HistoryPath;
    std::string ConfigPath;
    FileType Type = FileType::PDDX;
    // The sensor count a JILS DAT file is read with when it gives none; readers never change it.
    int NumSensors = 0;
    std::string LoadPlateRadius;
    std::string SensorXAxis;
    std::string SensorYAxis;
    // The limits of the calibration checks: the [Check] group of the settings file.
    CheckLimits Check;
};

// What the desktop program keeps between runs beside the settings: whether the instructions open
// at start, and the sizes the windows were left at (0: the window's own default), the main
// window's as it is when not maximised. The folder a file was last chosen in is WorkingInputPath,
// kept too.
struct DesktopSettings {
    bool ShowInstructionsAtStart = true;
    bool MainMaximized = false;
    int MainWidth = 0;
    int MainHeight = 0;
    int ReviewWidth = 0;
    int ReviewHeight = 0;
    bool operator==(const DesktopSettings&) const = default;
};

// A file the user opened in a review window, and the type it was read as.
struct RecentFile {
    std::string Path;
    FileType Type = FileType::PDDX;
    bool operator==(const RecentFile&) const = default;
};

struct ProgramState {
    std::filesystem::path ProgramFolder;  // where the program (and by default its settings) lives
    std::filesystem::path SettingsFile;
    // The user's settings folder when the settings live there: made when they are first written.
    std::filesystem::path UserSettingsFolder;
    // What the settings' folders are when the file names none: the program's folder, or the
    // user's home for an installed program, whose own folder holds no data.
    std::filesystem::path DefaultFolder;

    SettingsRecord Settings;
    std::string WorkingInputPath;
    std::string WorkingHistoryPath;
    std::string WorkingConfigPath;
    FileType CurrentType = FileType::PDDX;
    // The files opened last, newest first (at most kRecentFileCount), kept in the settings file.
    std::vector<RecentFile> RecentFiles;
    DesktopSettings Desktop;
};

inline constexpr std::size_t kRecentFileCount = 8;

// The folder of the running program.
std::filesystem::path RunningProgramFolder();

// A fresh state for a program living in `programFolder`, with its settings file there.
ProgramState NewProgramState(const std::filesystem::path& programFolder);

// Where a program keeps its settings when none are named: "Config.bag" in its own folder when it
// may write there (a program built or unpacked in a folder of the user's), else in the user's
// settings folder, else (the system names none) still beside the program.
std::filesystem::path SettingsFileFor(const std::filesystem::path& programFolder, bool programFolderIsOwn,
                                      const std::filesystem::path& userFolder);

// A fresh state for the program living in `programFolder` as the system has it: its settings
// file where SettingsFileFor puts it, that file's folder made when it is first written.
ProgramState InstalledProgramState(const std::filesystem::path& programFolder);

}  // namespace vantrel
