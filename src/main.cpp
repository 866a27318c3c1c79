#include <exception>
#include <iostream>
#include <string>

#include "base/AtomicFile.h"
#include "base/Platform.h"
#include "cli/CommandLine.h"
#include "core/ProgramState.h"

int main(int argc, char** argv)
{
    vantrel::platform::UseBinaryStandardOutput();  // "-o -" gives the bytes of a file
    std::ios::sync_with_stdio(false);
    vantrel::RemoveTemporaryFilesOnSignals();
    try {
#ifdef VANTREL_DESKTOP
        // No argument: the desktop program, which lives beside this one so that the command
        // line, which never needs a display, starts without loading the windowing libraries.
        // It returns only when the start failed: the reason is printed after that, not before.
        if (argc <= 1) {
            const std::string failure = vantrel::platform::RunInstead("vantrel-desktop", argv);
            std::cerr << "vantrel: cannot start the desktop program " << failure << "\n";
            return 1;
        }
#endif
        return vantrel::RunCommandLine(argc, argv, std::cout, std::cerr, vantrel::RunningProgramFolder());
    } catch (const std::exception& e) {
        std::cerr << "vantrel: " << e.what() << "\n";
        return 1;
    }
}
