#pragma once
// The unattended command line: the one-argument "PATH,CODE" conversion, the convert, merge,
// batch and blank commands, and detect, check and export. It never needs a display.

#include <filesystem>
#include <ostream>

namespace vantrel {

// Exit statuses: 0 success; 1 a file could not be read or a reader failed (or, with --strict, a
// reading gave a warning), and for detect a file matches no type; 2 a usage error or an unknown
// file type; 4 check found something a document lacks.
enum ExitStatus { kExitOk = 0, kExitReadFailure = 1, kExitUsage = 2, kExitFindings = 4 };

// Runs the command line as the program `vantrel` living in `programFolder` (whose settings file
// is where InstalledProgramState puts it, unless --settings names another). Messages go to `err`,
// lists and documents written to standard output go to `out`.
int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                   const std::filesystem::path& programFolder);

}  // namespace vantrel
