#pragma once
// Everything the program keeps for the length of a run: the settings, the working folders, the
// file type in use, the unattended-run flags and what the readers carry from file to file. One
// object, passed explicitly, so that each run (and each test) starts from a fresh program.

#include <cstdint>
#include <filesystem>
#include <string>

#include "import/ReaderCarryOver.h"

namespace vantrel {

struct SettingsRecord {
    std::string InputPath;
    std::string HistoryPath;
    std::string ConfigPath;
    std::int32_t FileType = 0;
    // The one current deflection-sensor count: a setting, replaced by readers that find a count.
    std::int16_t NumSensors = 0;
    std::string LoadPlateRadius;
    std::string SensorXAxis;
    std::string SensorYAxis;
};

struct ProgramState {
    std::filesystem::path ProgramFolder;  // where the program (and by default its settings) lives
    std::filesystem::path SettingsFile;

    SettingsRecord Settings;
    std::string WorkingInputPath;
    std::string WorkingHistoryPath;
    std::string WorkingConfigPath;
    std::int32_t CurrentFileType = 0;
    bool CommandLineRun = false;
    std::string CommandLineOutputName;
    ReaderCarryOver Readers;
};

// The folder of the running program.
std::filesystem::path RunningProgramFolder();

// A fresh state for a program living in `programFolder`, with its settings file there.
ProgramState NewProgramState(const std::filesystem::path& programFolder);

}  // namespace vantrel
