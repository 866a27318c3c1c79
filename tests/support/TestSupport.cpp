#include "support/TestSupport.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <random>


namespace vantrel::test {

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

std::set<std::string> FileNames(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

std::string ReadBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary);
    if (!(out << bytes)) throw std::runtime_error("cannot write " + file.string());
}

std::string CrLf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
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

int StartVantrel(const std::vector<std::string>& args, const std::filesystem::path& folder,
                 const std::filesystem::path& errFile, const std::filesystem::path& outFile,
                 const std::filesystem::path& inFile, const StartOptions& options)
{
    const std::string program = options.program.empty() ? VANTREL_BINARY : options.program;
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const auto open = [](const std::filesystem::path& file) {
        return ::open(file.empty() ? "/dev/null" : file.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    };
    // Relative names are taken in `folder`, as a shell's redirections after a cd would be.
    if (::chdir(folder.c_str()) != 0) ::_exit(127);
    const int none = ::open(inFile.empty() ? "/dev/null" : inFile.c_str(), O_RDONLY);
    const int out = open(outFile), err = open(errFile);
    if (none < 0 || out < 0 || err < 0) ::_exit(127);
    ::dup2(none, 0), ::dup2(out, 1), ::dup2(err, 2);
    // Every signal as a program started from a shell has it, however the tests were started (a
    // background job has interrupt and quit ignored); then those asked for ignored.
    sigset_t unblocked;
    ::sigemptyset(&unblocked);
    ::sigprocmask(SIG_SETMASK, &unblocked, nullptr);
    for (int signal = 1; signal < NSIG; ++signal)
        if (signal != SIGKILL && signal != SIGSTOP) ::signal(signal, SIG_DFL);
    for (const int signal : options.ignoredSignals) ::signal(signal, SIG_IGN);
    if (options.userId >= 0 && (::setgroups(0, nullptr) != 0 || ::setgid(static_cast<gid_t>(options.userId)) != 0 ||
                                ::setuid(static_cast<uid_t>(options.userId)) != 0))
        ::_exit(126);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

int WaitForVantrel(int pid, struct rusage* usage)
{
    int status = 0;
    while (::wait4(pid, &status, 0, usage) < 0 && errno == EINTR) {
    }
    return status;
}

RunResult RunVantrel(const std::vector<std::string>& args, const std::filesystem::path& folder,
                     const std::string& stdoutTarget, const std::string& stdinSource)
{
    TempDir capture;
    const std::filesystem::path out = stdoutTarget.empty() ? capture / "out" : std::filesystem::path(stdoutTarget);
    struct rusage usage {};
    const int raw = WaitForVantrel(StartVantrel(args, folder, capture / "err", out, stdinSource), &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, stdoutTarget.empty() ? ReadBytes(out) : "", ReadBytes(capture / "err"),
            usage.ru_maxrss, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

}  // namespace vantrel::test
