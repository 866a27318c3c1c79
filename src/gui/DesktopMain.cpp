// The desktop program, started by `vantrel` without arguments.
#include <exception>
#include <iostream>

#include "base/AtomicFile.h"
#include "gui/MainWindow.h"

int main(int argc, char** argv)
{
    vantrel::RemoveTemporaryFilesOnSignals();
    try {
        return vantrel::RunDesktop(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "vantrel: " << e.what() << "\n";
        return 1;
    }
}
