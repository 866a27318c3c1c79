#include "core/ProgramState.h"

#include "base/Platform.h"

namespace vantrel {

std::filesystem::path RunningProgramFolder() { return platform::ProgramFolder(); }

ProgramState NewProgramState(const std::filesystem::path& programFolder)
{
    ProgramState state;
    state.ProgramFolder = programFolder;
    state.SettingsFile = programFolder / "Config.bag";
    state.DefaultFolder = programFolder;
    return state;
}

std::filesystem::path SettingsFileFor(const std::filesystem::path& programFolder, bool programFolderIsOwn,
                                      const std::filesystem::path& userFolder)
{
    return (programFolderIsOwn || userFolder.empty() ? programFolder : userFolder) / "Config.bag";
}

ProgramState InstalledProgramState(const std::filesystem::path& programFolder)
{
    ProgramState state = NewProgramState(programFolder);
    state.SettingsFile =
        SettingsFileFor(programFolder, platform::IsOwnWritableFolder(programFolder), platform::UserSettingsFolder());
    if (state.SettingsFile.parent_path() != programFolder) {
        state.UserSettingsFolder = state.SettingsFile.parent_path();
        if (const std::filesystem::path home = platform::UserHomeFolder(); !home.empty()) state.DefaultFolder = home;
    }
    return state;
}

}  // namespace vantrel
