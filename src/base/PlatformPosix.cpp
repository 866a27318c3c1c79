// The operating-system services on Linux and other POSIX systems.

#include "base/Platform.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace vantrel::platform {
namespace {

std::string LastError() { return std::strerror(errno); }

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

// What RunOnInterruption was given: set once at start-up, before any signal can arrive.
void (*interruptionAction)() = nullptr;

void RunActionAndReraise(int signal)
{
    if (interruptionAction) interruptionAction();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

sigset_t CleanupSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : kCleanupSignals) sigaddset(&signals, signal);
    return signals;
}

}  // namespace

FileHandle OpenForReading(const std::string& fileName, std::string& error)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) error = LastError();
    return fd;
}

bool DescribeFile(FileHandle file, FileKind& kind, long long& size, std::string& error)
{
    struct stat info {};
    if (::fstat(static_cast<int>(file), &info) != 0) {
        error = LastError();
        return false;
    }
    kind = S_ISDIR(info.st_mode) ? FileKind::Folder : S_ISREG(info.st_mode) ? FileKind::Regular : FileKind::Other;
    size = static_cast<long long>(info.st_size);
    return true;
}

long long ReadBytes(FileHandle file, char* into, std::size_t size, std::string& error)
{
    ssize_t got;
    do got = ::read(static_cast<int>(file), into, size);
    while (got < 0 && errno == EINTR);
    if (got < 0) error = LastError();
    return got;
}

bool RewindFile(FileHandle file, std::string& error)
{
    if (::lseek(static_cast<int>(file), 0, SEEK_SET) == 0) return true;
    error = LastError();
    return false;
}

bool WriteBytes(FileHandle file, const char* data, std::size_t size, std::string& error)
{
    while (size > 0) {
        const ssize_t wrote = ::write(static_cast<int>(file), data, size);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            error = LastError();
            return false;
        }
        data += wrote;
        size -= static_cast<std::size_t>(wrote);
    }
    return true;
}

bool CloseFile(FileHandle file, std::string& error)
{
    if (::close(static_cast<int>(file)) == 0) return true;
    error = LastError();
    return false;
}

bool LocalModificationTime(const std::string& fileName, std::tm& local)
{
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0) return false;
    return ::localtime_r(&info.st_mtime, &local) != nullptr;
}

FileHandle CreateUniqueFile(std::string& path, std::string& error)
{
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) error = LastError();
    return fd;
}

unsigned PermissionsFor(const std::filesystem::path& target)
{
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool SetPermissions(FileHandle file, unsigned permissions, std::string& error)
{
    if (::fchmod(static_cast<int>(file), static_cast<mode_t>(permissions)) == 0) return true;
    error = LastError();
    return false;
}

bool MoveIntoPlace(const std::string& from, const std::string& to, std::string& error)
{
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    error = LastError();
    return false;
}

void RemoveFile(const char* path) { ::unlink(path); }

void RunOnInterruption(void (*action)())
{
    interruptionAction = action;
    for (int signal : kCleanupSignals) {
        struct sigaction handler {};
        handler.sa_handler = &RunActionAndReraise;
        sigemptyset(&handler.sa_mask);
        ::sigaction(signal, &handler, nullptr);
    }
}

InterruptionsHeld::InterruptionsHeld()
{
    static_assert(sizeof(sigset_t) <= sizeof(saved_));
    const sigset_t signals = CleanupSignals();
    ::pthread_sigmask(SIG_BLOCK, &signals, reinterpret_cast<sigset_t*>(saved_));
}

InterruptionsHeld::~InterruptionsHeld() { ::pthread_sigmask(SIG_SETMASK, reinterpret_cast<sigset_t*>(saved_), nullptr); }

void UseBinaryStandardOutput() {}  // POSIX streams never translate line ends

FileHandle StandardInput() { return STDIN_FILENO; }

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::filesystem::path ProgramFolder()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path(error);
    return exe.parent_path();
}

std::string RunInstead(const std::string& name, char** argv)
{
    const std::filesystem::path program = ProgramFolder() / name;
    ::execv(program.c_str(), argv);
    return program.string() + ": " + std::strerror(errno);
}

bool IsOwnWritableFolder(const std::filesystem::path& folder)
{
    // /usr holds what is installed and stays read-only by convention, even for root.
    const std::filesystem::path usr("/usr");
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(folder, error);
    if (error) return false;
    if (std::mismatch(usr.begin(), usr.end(), real.begin(), real.end()).first == usr.end()) return false;
    return ::access(real.c_str(), W_OK) == 0;
}

std::filesystem::path UserHomeFolder()
{
    const char* home = std::getenv("HOME");
    return home && home[0] == '/' ? std::filesystem::path(home) : std::filesystem::path();
}

std::filesystem::path UserSettingsFolder()
{
    // An XDG_CONFIG_HOME that is not absolute is to be ignored.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return std::filesystem::path(xdg) / "vantrel";
    const std::filesystem::path home = UserHomeFolder();
    return home.empty() ? home : home / ".config" / "vantrel";
}

}  // namespace vantrel::platform
