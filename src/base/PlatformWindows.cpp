// The operating-system services on Windows. File names are converted to the system's wide names
// as std::filesystem converts them, so that a name found by a folder listing opens the same file.

#include "base/Platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <process.h>

#include <cerrno>
#include <cstring>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace vantrel::platform {
namespace {

std::string LastError()
{
    const DWORD code = ::GetLastError();
    char* text = nullptr;
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
                         nullptr);
    std::string message = length ? std::string(text, length) : "error " + std::to_string(code);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

std::wstring WideName(const std::string& name)
{
    try {
        return std::filesystem::path(name).wstring();
    } catch (const std::exception&) {
        return {};  // not a name the system can have: opening it fails as for any missing file
    }
}

HANDLE Handle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }
FileHandle Handle(HANDLE handle)
{
    return handle == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(handle);
}

// Set once at start-up; the console control routine runs on a thread of its own and takes
// `interruptionLock` so that it waits for any InterruptionsHeld.
void (*interruptionAction)() = nullptr;
SRWLOCK interruptionLock = SRWLOCK_INIT;

BOOL WINAPI OnConsoleControl(DWORD)
{
    ::AcquireSRWLockExclusive(&interruptionLock);
    if (interruptionAction) interruptionAction();
    ::ReleaseSRWLockExclusive(&interruptionLock);
    return FALSE;  // the default routine then ends the program
}

}  // namespace

namespace {

bool IdentifyHandle(HANDLE handle, FileIdentity& identity)
{
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information)) return false;
    identity = {information.dwVolumeSerialNumber,
                (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
    return true;
}

}  // namespace

bool IdentifyFile(const std::string& name, FileIdentity& identity)
{
    const HANDLE handle = ::CreateFileW(WideName(name).c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool known = IdentifyHandle(handle, identity);
    ::CloseHandle(handle);
    return known;
}

bool ListFolder(const std::filesystem::path& top, const std::vector<std::string>& below, FileIdentity& identity,
                std::vector<FolderEntry>& entries, std::string& error)
{
    std::filesystem::path folder = top;
    for (const std::string& name : below) folder /= std::filesystem::path(name);
    if (!IdentifyFile(folder.string(), identity)) {
        error = LastError();
        return false;
    }
    std::error_code failure;
    for (std::filesystem::directory_iterator it(folder, failure), end; !failure && it != end; it.increment(failure)) {
        FolderEntry found{it->path().filename().string()};
        std::error_code kind;
        const std::filesystem::file_status status = it->status(kind);
        if (kind) found.Error = kind.message();
        else if (std::filesystem::is_regular_file(status)) found.Kind = FileKind::Regular;
        else if (std::filesystem::is_directory(status) && IdentifyFile(it->path().string(), found.Identity))
            found.Kind = FileKind::Folder;
        entries.push_back(std::move(found));
    }
    if (failure) error = failure.message();
    return !failure;
}

bool IdentifyStandardInput(FileIdentity& identity)
{
    return IdentifyHandle(::GetStdHandle(STD_INPUT_HANDLE), identity);
}

FileHandle OpenForReading(const std::string& fileName, std::string& error)
{
    // Backup semantics let a folder be opened too, so that it can be reported as a folder.
    const HANDLE handle = ::CreateFileW(WideName(fileName).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) error = LastError();
    return Handle(handle);
}

bool DescribeFile(FileHandle file, FileKind& kind, long long& size, std::string& error)
{
    if (::GetFileType(Handle(file)) != FILE_TYPE_DISK) {
        kind = FileKind::Other;
        size = 0;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(Handle(file), &info)) {
        error = LastError();
        return false;
    }
    kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Regular;
    size = static_cast<long long>((static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    return true;
}

long long ReadBytes(FileHandle file, char* into, std::size_t size, std::string& error)
{
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
    if (::ReadFile(Handle(file), into, want, &got, nullptr)) return got;
    if (::GetLastError() == ERROR_BROKEN_PIPE) return 0;  // the writing end of a pipe has closed
    error = LastError();
    return -1;
}

bool RewindFile(FileHandle file, std::string& error)
{
    if (::GetFileType(Handle(file)) == FILE_TYPE_DISK && ::SetFilePointerEx(Handle(file), {}, nullptr, FILE_BEGIN))
        return true;
    error = "it cannot be read from the start again";
    return false;
}

bool WriteBytes(FileHandle file, const char* data, std::size_t size, std::string& error)
{
    while (size > 0) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
        if (!::WriteFile(Handle(file), data, chunk, &wrote, nullptr)) {
            error = LastError();
            return false;
        }
        data += wrote;
        size -= wrote;
    }
    return true;
}

bool CloseFile(FileHandle file, std::string& error)
{
    if (::CloseHandle(Handle(file))) return true;
    error = LastError();
    return false;
}

bool LocalModificationTime(const std::string& fileName, std::tm& local)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    SYSTEMTIME universal{}, here{};
    // The time zone's rules on that day, not today's offset.
    if (!::GetFileAttributesExW(WideName(fileName).c_str(), GetFileExInfoStandard, &data) ||
        !::FileTimeToSystemTime(&data.ftLastWriteTime, &universal) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &here))
        return false;
    local = std::tm{};
    local.tm_year = here.wYear - 1900;
    local.tm_mon = here.wMonth - 1;
    local.tm_mday = here.wDay;
    local.tm_hour = here.wHour;
    local.tm_min = here.wMinute;
    local.tm_sec = here.wSecond;
    local.tm_wday = here.wDayOfWeek;
    return true;
}

void LocalTimeNow(std::tm& local)
{
    const std::time_t now = std::time(nullptr);
    localtime_s(&local, &now);
}

FileHandle CreateUniqueFile(std::string& path, std::string& error)
{
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    unsigned long long seed = static_cast<unsigned long long>(counter.QuadPart) ^
                              (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32);
    const std::size_t at = path.size() - 6;
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = at; i < path.size(); ++i) {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            path[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[(seed >> 33) % 36];
        }
        // Shared for deletion, so that an interruption can remove it while it is being written.
        const HANDLE handle = ::CreateFileW(WideName(path).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) return Handle(handle);
        if (::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    error = LastError();
    return kNoFile;
}

bool ResolveOutput(const std::string& name, OutputTarget& target, std::string& error)
{
    std::filesystem::path path(name);
    std::error_code failure;
    bool linked = false;
    for (int hops = 0; std::filesystem::is_symlink(path, failure); ++hops) {
        if (hops == 40) {
            error = "it leads through more than 40 symbolic links";
            return false;
        }
        const std::filesystem::path next = std::filesystem::read_symlink(path, failure);
        if (failure) break;
        path = next.is_absolute() ? next : path.parent_path() / next;
        linked = true;
    }
    const DWORD attributes = ::GetFileAttributesW(WideName(path.string()).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (linked) {
            error = "it is a symbolic link to " + path.string() + ", which does not exist";
            return false;
        }
        target = {OutputTarget::Kind::New, path, 0, -1, -1};
        return true;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = "it is a folder";
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        error = "it is write-protected";
        return false;
    }
    // The new file takes the folder's access rules, as the one it replaces had.
    target = {OutputTarget::Kind::Regular, path, 0, -1, -1};
    return true;
}

FileHandle OpenInPlace(const std::string& name, std::string& error)
{
    const HANDLE handle = ::CreateFileW(WideName(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return Handle(handle);
    error = LastError();
    return kNoFile;
}

// Windows has no file without a name: the named way is taken.
FileHandle CreateUnnamedFile(const std::filesystem::path&, std::string&) { return kNoFile; }
bool NameUnnamedFileIfFree(FileHandle, const std::string&) { return false; }

bool NameUnnamedFile(FileHandle, std::string&, std::string& error)
{
    error = "files without a name are not supported";
    return false;
}
bool SetPermissions(FileHandle, unsigned, std::string&) { return true; }
void KeepOwner(FileHandle, const OutputTarget&) {}

bool MoveIntoPlace(const std::string& from, const std::string& to, std::string& error)
{
    if (::MoveFileExW(WideName(from).c_str(), WideName(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error = LastError();
    return false;
}

void RemoveFile(const char* path) { ::DeleteFileW(WideName(path).c_str()); }

void RunOnInterruption(void (*action)())
{
    interruptionAction = action;
    ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
}

InterruptionsHeld::InterruptionsHeld() { ::AcquireSRWLockExclusive(&interruptionLock); }
InterruptionsHeld::~InterruptionsHeld() { ::ReleaseSRWLockExclusive(&interruptionLock); }

void UseBinaryStandardOutput() { _setmode(_fileno(stdout), _O_BINARY); }

// ReadFile on the handle itself: the C library's text mode, which would translate line ends, is
// not in the way.
FileHandle StandardInput() { return reinterpret_cast<FileHandle>(::GetStdHandle(STD_INPUT_HANDLE)); }

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

std::string RunInstead(const std::string& name, char** argv)
{
    const std::filesystem::path program = ProgramFolder() / (name + ".exe");
    // Windows has no exec: the desktop program starts on its own and this one ends.
    if (::_spawnv(_P_NOWAIT, program.string().c_str(), argv) != -1) std::exit(0);
    return program.string() + ": " + std::strerror(errno);
}

char* AllocateBlock(std::size_t size) { return new char[size]; }
void ReleaseBlock(char* block, std::size_t) { delete[] block; }

std::filesystem::path ProgramFolder()
{
    std::wstring name(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return std::filesystem::current_path();
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
}

bool IsOwnWritableFolder(const std::filesystem::path& folder)
{
    // Access rules are too many to read; a file made and at once removed is the plain test.
    const std::filesystem::path probe = folder / (".vantrel-probe-" + std::to_string(::GetCurrentProcessId()));
    const HANDLE handle = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_EXISTS;
    ::CloseHandle(handle);
    return true;
}

namespace {

// The folder an environment variable names; empty when it is unset.
std::filesystem::path FolderFromEnvironment(const wchar_t* name)
{
    const wchar_t* folder = ::_wgetenv(name);
    return folder && *folder ? std::filesystem::path(folder) : std::filesystem::path();
}

}  // namespace

std::filesystem::path UserHomeFolder() { return FolderFromEnvironment(L"USERPROFILE"); }

std::filesystem::path UserSettingsFolder()
{
    const std::filesystem::path appData = FolderFromEnvironment(L"APPDATA");
    return appData.empty() ? appData : appData / "vantrel";
}

}  // namespace vantrel::platform
