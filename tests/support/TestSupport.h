#pragma once
// Helpers for tests that work with real files and run the built program.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "document/PDDXFile.h"
#include "base/ReadError.h"
#include "core/Conversion.h"
#include "import/ReaderInput.h"

namespace vantrel::test {

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
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

// Sets a file's modification time to 7 April 2004, 12:00 local time, so that readers which
// take a date from it give the same text on every machine.
void SetFixedModificationTime(const std::filesystem::path& file);

struct RunResult {
    int status;
    std::string out;
    std::string err;
};

// Runs the built vantrel with these arguments in `folder`, capturing its output (or sending its
// standard output to `stdoutTarget`, such as /dev/full, when one is named); its standard input is
// `stdinSource`, or nothing.
RunResult RunVantrel(const std::vector<std::string>& args, const std::filesystem::path& folder,
                     const std::string& stdoutTarget = "", const std::string& stdinSource = "/dev/null");

// Starts the built vantrel in the background in `folder`, its standard error going to `errFile`;
// WaitForVantrel gives the raw wait status.
int StartVantrel(const std::vector<std::string>& args, const std::filesystem::path& folder,
                 const std::filesystem::path& errFile);
int WaitForVantrel(int pid);

// The built program run in a fresh folder with its own settings file there.
class ProgramTest : public ::testing::Test {
protected:
    TempDir dir;
    RunResult Run(std::vector<std::string> args, const std::string& stdoutTarget = "",
                  const std::string& stdinSource = "/dev/null")
    {
        args.insert(args.begin(), {"--settings", (dir / "settings.bag").string()});
        return RunVantrel(args, dir.Path(), stdoutTarget, stdinSource);
    }
    bool Holds(const std::string& file, const std::string& text) const
    {
        return ReadBytes(dir / file).find(text) != std::string::npos;
    }
    // The names in the folder, sorted.
    std::vector<std::string> Files() const;
};

// Reads a file with a reader, as the program would with this state.
template <typename Reader>
void ReadFile(Reader read, ProgramState& state, const std::string& fileName, PDDXFile& document)
{
    ByteSource bytes = ByteSource::OpenFile(fileName);
    ReaderInput input{fileName, bytes, LocalModificationDay(fileName)};
    ReaderContext context = ReaderContextOf(state);
    read(context, input, document);
}

// Lines joined with CR LF, each line ended by it.
std::string CrLf(const std::vector<std::string>& lines);

// The value of one element of a document.
std::string Value(const PDDXFile& document, std::string_view section, std::string_view key);

// The ReadError that `reading` ends with; a failed expectation (and an empty error) when it ends
// without one.
ReadError ReadFailure(const std::function<void()>& reading);

}  // namespace vantrel::test
