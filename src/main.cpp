#include <exception>
#include <iostream>

#include "base/AtomicFile.h"
#include "base/Platform.h"
#include "cli/CommandLine.h"
#include "core/ProgramState.h"
#ifdef VANTREL_DESKTOP
#include "gui/frmMain.h"
#endif

int main(int argc, char** argv)
{
    vantrel::platform::UseBinaryStandardOutput();  // "-o -" gives the bytes of a file
    std::ios::sync_with_stdio(false);
    vantrel::RemoveTemporaryFilesOnSignals();
    try {
#ifdef VANTREL_DESKTOP
        // No argument: the desktop program. Any argument: the command line, which never needs
        // a display.
        if (argc <= 1) return vantrel::RunDesktop(argc, argv);
#endif
        return vantrel::RunCommandLine(argc, argv, std::cout, std::cerr, vantrel::RunningProgramFolder());
    } catch (const std::exception& e) {
        std::cerr << "vantrel: " << e.what() << "\n";
        return 1;
    }
}
