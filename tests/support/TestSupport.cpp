#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <algorithm>
#include <ctime>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace vantrel::test {
namespace {

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

TempDir::TempDir()
{
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("vantrel-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir()
{
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

std::string ReadBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + file.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

void SetFixedModificationTime(const std::filesystem::path& file)
{
    std::tm local{};
    local.tm_year = 2004 - 1900;
    local.tm_mon = 3;
    local.tm_mday = 7;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    const ::utimbuf times{when, when};
    if (::utime(file.c_str(), &times) != 0) throw std::runtime_error("cannot set the time of " + file.string());
}

RunResult RunVantrel(const std::vector<std::string>& args, const std::filesystem::path& folder,
                     const std::string& stdoutTarget, const std::string& stdinSource)
{
    TempDir capture;
    std::string command = "cd " + ShellQuoted(folder.string()) + " && " + ShellQuoted(VANTREL_BINARY);
    for (const std::string& arg : args) command += " " + ShellQuoted(arg);
    WriteBytes(capture / "out", "");
    command += " >" + ShellQuoted(stdoutTarget.empty() ? (capture / "out").string() : stdoutTarget) + " 2>" +
               ShellQuoted((capture / "err").string()) + " <" + ShellQuoted(stdinSource);
    const int raw = std::system(command.c_str());
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return {status, ReadBytes(capture / "out"), ReadBytes(capture / "err")};
}

int StartVantrel(const std::vector<std::string>& args, const std::filesystem::path& folder,
                 const std::filesystem::path& errFile)
{
    std::vector<std::string> words{VANTREL_BINARY};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int none = ::open("/dev/null", O_RDWR);
        if (err < 0 || none < 0 || ::chdir(folder.c_str()) != 0) ::_exit(127);
        ::dup2(none, 0);
        ::dup2(none, 1);
        ::dup2(err, 2);
        ::execv(VANTREL_BINARY, argv.data());
        ::_exit(127);
    }
    return pid;
}

int WaitForVantrel(int pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

std::string Value(const PDDXFile& document, std::string_view section, std::string_view key)
{
    return document.Element(section, key).Value();
}

ReadError ReadFailure(const std::function<void()>& reading)
{
    try {
        reading();
    } catch (const ReadError& e) {
        return e;
    }
    ADD_FAILURE() << "the reading ended without a ReadError";
    return ReadError("", 0, "");
}

std::vector<std::string> ProgramTest::Files() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string CrLf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace vantrel::test
