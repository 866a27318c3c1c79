// The operating-system services on Linux and other POSIX systems.

#include "base/Platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#if defined(__linux__)
#include <sys/vfs.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <system_error>

namespace vantrel::platform {
namespace {

std::string LastError() { return std::strerror(errno); }

// The umask can only be read by setting it. Done once, before files are written on several
// threads: done per file, one thread could read another's momentary 0 and leave it set.
mode_t ProcessUmask()
{
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

// Every signal whose default action ends the program, but those that cannot be caught.
constexpr int kCleanupSignals[] = {SIGINT,  SIGTERM,   SIGHUP,  SIGQUIT, SIGUSR1, SIGUSR2,
                                   SIGALRM, SIGVTALRM, SIGPROF, SIGXFSZ, SIGXCPU};

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

namespace {

// The identity a stat call gave, when it succeeded.
bool Identity(int result, const struct stat& info, FileIdentity& identity)
{
    if (result != 0) return false;
    identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    return true;
}

}  // namespace

bool IdentifyFile(const std::string& name, FileIdentity& identity)
{
    struct stat info {};
    return Identity(::stat(name.c_str(), &info), info, identity);
}

bool ListFolder(const std::filesystem::path& top, const std::vector<std::string>& below, FileIdentity& identity,
                std::vector<FolderEntry>& entries, std::string& error)
{
    int folder = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (auto name = below.begin(); folder >= 0 && name != below.end(); ++name) {
        const int inner = ::openat(folder, name->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int failure = errno;
        ::close(folder);
        errno = failure;
        folder = inner;
    }
    struct stat info {};
    DIR* const listing = folder >= 0 && ::fstat(folder, &info) == 0 ? ::fdopendir(folder) : nullptr;
    if (!listing) {
        error = LastError();
        if (folder >= 0) ::close(folder);
        return false;
    }
    Identity(0, info, identity);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(listing);
        if (!entry) break;
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        FolderEntry found{name};
        // A regular file needs no look of its own; a folder's identity and a link's target do.
        if (entry->d_type == DT_REG) {
            found.Kind = FileKind::Regular;
        } else if (::fstatat(::dirfd(listing), entry->d_name, &info, 0) == 0) {
            found.Kind = S_ISREG(info.st_mode)   ? FileKind::Regular
                         : S_ISDIR(info.st_mode) ? FileKind::Folder
                                                 : FileKind::Other;
            Identity(0, info, found.Identity);
        } else {
            found.Error = LastError();
        }
        entries.push_back(std::move(found));
    }
    const bool whole = errno == 0;
    if (!whole) error = LastError();
    ::closedir(listing);
    return whole;
}

bool IdentifyStandardInput(FileIdentity& identity)
{
    struct stat info {};
    return Identity(::fstat(STDIN_FILENO, &info), info, identity);
}

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
#if defined(__linux__)
    // The files of /proc and /sys are made as they are read: 0 or a page, whatever they hold.
    constexpr long kProcFiles = 0x9fa0, kSysFiles = 0x62656572;
    struct statfs mounted {};
    if (kind == FileKind::Regular && ::fstatfs(static_cast<int>(file), &mounted) == 0 &&
        (mounted.f_type == kProcFiles || mounted.f_type == kSysFiles))
        size = -1;
#endif
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

void LocalTimeNow(std::tm& local)
{
    const std::time_t now = std::time(nullptr);
    ::localtime_r(&now, &local);
}

FileHandle CreateUniqueFile(std::string& path, std::string& error)
{
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) error = LastError();
    return fd;
}

namespace {

// A link another user made in a folder anyone may write to but only owners delete from (/tmp):
// where protected_symlinks is on, the system does not follow it either.
bool PlantedInSharedFolder(const struct stat& link, const std::filesystem::path& folder)
{
    struct stat shared {};
    return ::stat(folder.c_str(), &shared) == 0 && (shared.st_mode & S_ISVTX) && (shared.st_mode & S_IWOTH) &&
           link.st_uid != ::geteuid() && link.st_uid != shared.st_uid;
}

// Follows the symbolic links of `path` one at a time, leaving in it what they lead to; `linked`
// tells whether there was one.
bool FollowLinks(std::filesystem::path& path, bool& linked, std::string& error)
{
    for (int hops = 0;; ++hops) {
        struct stat link {};
        if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return true;
        if (hops == 40) {
            error = "it leads through more than 40 symbolic links";
            return false;
        }
        const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
        if (PlantedInSharedFolder(link, folder)) {
            error = "it is a symbolic link that another user made in a shared folder; it was not followed";
            return false;
        }
        std::error_code readError;
        const std::filesystem::path next = std::filesystem::read_symlink(path, readError);
        if (readError) {
            error = readError.message();
            return false;
        }
        path = next.is_absolute() ? next : folder / next;
        linked = true;
    }
}

}  // namespace

bool ResolveOutput(const std::string& name, OutputTarget& target, std::string& error)
{
    // Links are followed here, one at a time, so that the rule the system applies to links in
    // shared folders (protected_symlinks) holds even where it is switched off.
    std::filesystem::path path(name);
    bool linked = false;
    if (!FollowLinks(path, linked, error)) return false;
    struct stat info {};
    // The system's own view of the name: /dev/stdout leads through links only it can follow.
    if (::stat(name.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            error = LastError();
            return false;
        }
        if (linked) {
            error = "it is a symbolic link to " + path.string() + ", which does not exist";
            return false;
        }
        target = {OutputTarget::Kind::New, path, 0666u & ~ProcessUmask(), -1, -1};
        return true;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "it is a folder";
        return false;
    }
    if (::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) != 0) {
        error = errno == EACCES || errno == EROFS ? "it is write-protected" : LastError();
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        target = {OutputTarget::Kind::Other, name, 0, -1, -1};
        return true;
    }
    target = {OutputTarget::Kind::Regular, path, info.st_mode & 07777u, info.st_uid, info.st_gid};
    return true;
}

FileHandle OpenInPlace(const std::string& name, std::string& error)
{
    const int fd = ::open(name.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) error = LastError();
    return fd;
}

FileHandle CreateUnnamedFile(const std::filesystem::path& folder, std::string& error)
{
#ifdef O_TMPFILE
    // Naming it later goes through /proc; without /proc the file could be written but not named.
    if (::access("/proc/self/fd", X_OK) != 0) return kNoFile;
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    // A file system without unnamed files, and every other failure, is left to the named way,
    // which says what is wrong.
    error.clear();
#else
    (void)folder, (void)error;
#endif
    return kNoFile;
}

bool NameUnnamedFile(FileHandle file, std::string& path, std::string& error)
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static thread_local std::minstd_rand random(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
    const std::string self = "/proc/self/fd/" + std::to_string(file);
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = path.size() - 6; i < path.size(); ++i)
            path[i] = kLetters[random() % (sizeof kLetters - 1)];
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno != EEXIST) break;
    }
    error = LastError();
    return false;
}

bool NameUnnamedFileIfFree(FileHandle file, const std::string& path)
{
    const std::string self = "/proc/self/fd/" + std::to_string(file);
    // A link never replaces a name, nor follows one: whatever stands there, the answer is no.
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

void KeepOwner(FileHandle file, const OutputTarget& target)
{
    if (target.Owner < 0) return;
    const int fd = static_cast<int>(file);
    // Only the superuser may give a file away; a group of one's own is the next best.
    if (::fchown(fd, static_cast<uid_t>(target.Owner), static_cast<gid_t>(target.Group)) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), static_cast<gid_t>(target.Group));
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
        // A signal ignored when the program started (nohup, a background job) stays ignored.
        struct sigaction before {};
        if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
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

InterruptionsHeld::~InterruptionsHeld()
{
    ::pthread_sigmask(SIG_SETMASK, reinterpret_cast<sigset_t*>(saved_), nullptr);
}

void UseBinaryStandardOutput() {}  // POSIX streams never translate line ends

FileHandle StandardInput() { return STDIN_FILENO; }

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

char* AllocateBlock(std::size_t size)
{
    void* block = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    ::madvise(block, size, MADV_HUGEPAGE);  // only advice: without it the block works as well
#endif
    return static_cast<char*>(block);
}

void ReleaseBlock(char* block, std::size_t size) { ::munmap(block, size); }

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
