#include <exception>
#include <iostream>

#include "app/CommandLine.h"
#include "app/ProgramState.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    try {
        return vantrel::RunCommandLine(argc, argv, std::cout, std::cerr, vantrel::RunningProgramFolder());
    } catch (const std::exception& e) {
        std::cerr << "vantrel: " << e.what() << "\n";
        return 1;
    }
}
