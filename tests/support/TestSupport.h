#pragma once
// Helpers for tests that work with real files and run the built program.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/ReadError.h"
#include "base/ReadWarnings.h"
#include "document/PDDXFile.h"

namespace vantrel::test {

namespace fs = std::filesystem;

// The bundled examples, a folder for each format's.
inline const fs::path kExamples = VANTREL_EXAMPLES;

// The project's version, which the program gives for --version and writes into every document.
inline const std::string kVersion = std::to_string(VANTREL_VERSION_MAJOR) + "." + std::to_string(VANTREL_VERSION_MINOR) +
                                    "." + std::to_string(VANTREL_VERSION_PATCH);

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& file);
// The names in a folder, sorted.
std::set<std::string> FileNames(const std::filesystem::path& folder);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);
// Lines joined with CR LF, each line ended by it.
std::string CrLf(const std::vector<std::string>& lines);

// How often `what` stands in `text`.
inline std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// A Dynatest F25 survey of three sensors: its header, then `stations` test locations of one drop each.
inline std::string F25Survey(int stations)
{
    std::string f25 = "5001,25.31\r\n5020,150,0,200,300,N0\r\n5021,300,0,0,0,N0\r\n"
                      "5301,0,0,0,0,0,0,0,\"L\",21,01,01,10,00\r\n";
    for (int s = 1; s <= stations; ++s)
        f25 += "5301,0,0,0,0," + std::to_string(s) + ",0,0,\"L\",21,01,01,10,00\r\n1,50.1,300,200,100\r\n";
    return f25;
}

// A PDDX file of one test location of two drops, for the runs of the built program.
inline const std::string kSurvey = CrLf({"[Operations Information]", "OperatorName = Field crew", "[Deflection Data]",
                                         "NumberOfTestLocations = 1", "[Test Location 1]", "NumberOfDrops = 2",
                                         "DropData_1 = 40, 1, 2", "DropData_2 = 50, 3, 4"});

// The ReadError that `reading` ends with; a failed expectation (and an empty error) without one.
ReadError ReadFailure(const std::function<void()>& reading);

// How a run starts beyond its arguments: signals ignored before it starts (as nohup leaves
// them), and the user and group id to run as (-1: the test's own).
struct StartOptions {
    std::vector<int> ignoredSignals = {};
    int userId = -1;
    std::string program = {};  // the program to run; empty: the built vantrel
};

// Starts the built vantrel in `folder` with its standard output and error going to these files
// (empty: nowhere) and its standard input read from `inFile` (empty: nothing); WaitForVantrel
// gives the raw wait status.
int StartVantrel(const std::vector<std::string>& args, const std::filesystem::path& folder,
                 const std::filesystem::path& errFile, const std::filesystem::path& outFile = {},
                 const std::filesystem::path& inFile = {}, const StartOptions& options = {});
// `usage`, when given, gets what the run used: its processor time, the most memory it held at once.
int WaitForVantrel(int pid, struct rusage* usage = nullptr);

struct RunResult {
    int status;  // -1 when ended by a signal
    std::string out;
    std::string err;
    long peakKilobytes = 0;  // the most memory the run held at once
    double cpuSeconds = 0;   // user and system time, which a loaded machine does not stretch as it does the clock
};
// Runs the built vantrel in `folder`, capturing what it says, or sending its standard output to
// `stdoutTarget` (such as /dev/full) when one is named; its standard input is `stdinSource`.
RunResult RunVantrel(const std::vector<std::string>& args, const std::filesystem::path& folder,
                     const std::string& stdoutTarget = "", const std::string& stdinSource = "");

// The built program run in a fresh folder with its own settings file there.
class ProgramTest : public ::testing::Test {
protected:
    TempDir dir;
    RunResult Run(std::vector<std::string> args, const std::string& stdoutTarget = "",
                  const std::string& stdinSource = "")
    {
        args.insert(args.begin(), {"--settings", (dir / "settings.bag").string()});
        return RunVantrel(args, dir.Path(), stdoutTarget, stdinSource);
    }
    bool Holds(const std::string& file, const std::string& text) const
    {
        return ReadBytes(dir / file).find(text) != std::string::npos;
    }
};

}  // namespace vantrel::test
