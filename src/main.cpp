#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>

#include "base/AtomicFile.h"
#include "cli/CommandLine.h"
#include "core/ProgramState.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    vantrel::RemoveTemporaryFilesOnSignals();
    try {
#ifdef VANTREL_DESKTOP
        // No argument: the desktop program, which lives beside this one so that the command
        // line, which never needs a display, starts without loading the windowing libraries.
        if (argc <= 1) {
            const auto desktop = vantrel::RunningProgramFolder() / "vantrel-desktop";
            ::execv(desktop.c_str(), argv);
            std::cerr << "vantrel: cannot start the desktop program " << desktop.string() << ": "
                      << std::strerror(errno) << "\n";
            return 1;
        }
#endif
        return vantrel::RunCommandLine(argc, argv, std::cout, std::cerr, vantrel::RunningProgramFolder());
    } catch (const std::exception& e) {
        std::cerr << "vantrel: " << e.what() << "\n";
        return 1;
    }
}
