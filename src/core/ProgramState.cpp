#include "core/ProgramState.h"

#include <system_error>

namespace vantrel {

std::filesystem::path RunningProgramFolder()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path(error);
    return exe.parent_path();
}

ProgramState NewProgramState(const std::filesystem::path& programFolder)
{
    ProgramState state;
    state.ProgramFolder = programFolder;
    state.SettingsFile = programFolder / "Config.bag";
    return state;
}

}  // namespace vantrel
