#pragma once
// The unattended command line: the one-argument "PATH,CODE" conversion and the convert, merge,
// batch and blank commands. It never needs a display.

#include <filesystem>
#include <ostream>

namespace vantrel {

// Exit statuses: 0 success; 1 a file could not be read or a reader failed; 2 a usage error or an
// unknown file type.
enum ExitStatus { kExitOk = 0, kExitReadFailure = 1, kExitUsage = 2 };

// Runs the command line as the program `vantrel` living in `programFolder` (whose settings file
// is where InstalledProgramState puts it, unless --settings names another). Messages go to `err`,
// lists and documents written to standard output go to `out`.
int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                   const std::filesystem::path& programFolder);

}  // namespace vantrel
