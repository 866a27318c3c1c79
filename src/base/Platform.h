#pragma once
// The few operating-system services the program needs, one implementation per system
// (PlatformPosix.cpp, PlatformWindows.cpp; CMake builds the one that fits). Nothing else in the
// program calls the system directly. Failures come back as the system's own wording in `error`.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace vantrel::platform {

// An open file: a descriptor or a handle, whichever the system uses.
using FileHandle = std::intptr_t;
constexpr FileHandle kNoFile = -1;

enum class FileKind { Regular, Folder, Other };

// What makes a file the same file under any name: its device and its number there.
struct FileIdentity {
    std::uint64_t Device = 0, Number = 0;
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the file a name stands for (links followed); false when there is none.
bool IdentifyFile(const std::string& name, FileIdentity& identity);
// The identity of what standard input reads; false when it cannot be told.
bool IdentifyStandardInput(FileIdentity& identity);

// A name in a folder and what it stands for, links followed.
struct FolderEntry {
    std::string Name;
    FileKind Kind = FileKind::Other;
    FileIdentity Identity = {};  // known for a folder
    std::string Error = {};      // why what the name stands for cannot be told (a link to nothing)
};
// Lists the folder reached from `top` through the folder names `below`, each opened inside the
// one before: a folder deeper than the longest path the system takes is listed too, and no more
// than two files are open at any time. Gives its identity and its entries ("." and ".." left
// out) in the system's order; false, with the reason in `error`, when it cannot be opened or
// read to its end.
bool ListFolder(const std::filesystem::path& top, const std::vector<std::string>& below, FileIdentity& identity,
                std::vector<FolderEntry>& entries, std::string& error);

// Opens a file for reading; kNoFile when it cannot be opened.
FileHandle OpenForReading(const std::string& fileName, std::string& error);
// What an open file is and, for a regular file, its size in bytes (-1 for a file whose size says
// nothing of what it holds, as in /proc and /sys); false when it cannot be told.
bool DescribeFile(FileHandle file, FileKind& kind, long long& size, std::string& error);
// Up to `size` bytes; 0 at the end, -1 when the file cannot be read.
long long ReadBytes(FileHandle file, char* into, std::size_t size, std::string& error);
// Back to the first byte; false where the file cannot be read twice (a pipe).
bool RewindFile(FileHandle file, std::string& error);
// All of `size` bytes; false when the file cannot be written.
bool WriteBytes(FileHandle file, const char* data, std::size_t size, std::string& error);
// Closes the file; false when the system reports (some file systems only then) a failed write.
bool CloseFile(FileHandle file, std::string& error);

// The local time at which a file was last written; false when it cannot be told.
bool LocalModificationTime(const std::string& fileName, std::tm& local);
// The local time now.
void LocalTimeNow(std::tm& local);

// What an output name stands for, as `cp` would write it.
struct OutputTarget {
    enum class Kind { New, Regular, Other } Is = Kind::New;  // Other: a device or a pipe
    std::filesystem::path Path;                              // the file the name stands for, symbolic links followed
    unsigned Permissions = 0;          // an existing file's bits, else what the user's defaults allow
    long long Owner = -1, Group = -1;  // an existing file's; -1 where the system has none
};
// False, with the reason in `error`, for a name that must not be written: a folder; a symbolic
// link the system's rule for shared folders would not follow (in a sticky folder that everyone
// may write, a link made by someone other than the folder's owner or the user), or one that
// points to nothing; an existing file the user may not write ("is write-protected").
bool ResolveOutput(const std::string& name, OutputTarget& target, std::string& error);
// Opens an existing file that is no regular one (a device, a pipe) to write into it as it is.
FileHandle OpenInPlace(const std::string& name, std::string& error);

// Creates a new file for writing whose name is `path` with its last six characters ("XXXXXX")
// replaced so that the name is new; kNoFile when it cannot be made.
FileHandle CreateUniqueFile(std::string& path, std::string& error);
// A new file in `folder` with no name at all, so that nothing is left of it if the program is
// killed; kNoFile with `error` empty where the system cannot make one, with `error` set when it
// fails.
FileHandle CreateUnnamedFile(const std::filesystem::path& folder, std::string& error);
// Gives an unnamed file a new name: `path` with its last six characters replaced, as for
// CreateUniqueFile.
bool NameUnnamedFile(FileHandle file, std::string& path, std::string& error);
// Gives an unnamed file the name `path` where nothing has that name yet (not even a link): true
// when it took it; false, and nothing changed, otherwise (the caller then names it and moves it).
bool NameUnnamedFileIfFree(FileHandle file, const std::string& path);
bool SetPermissions(FileHandle file, unsigned permissions, std::string& error);
// Gives the file the target's owner and group, as far as the system lets the user.
void KeepOwner(FileHandle file, const OutputTarget& target);
// Puts `from` in the place of `to` in one step, replacing what is there.
bool MoveIntoPlace(const std::string& from, const std::string& to, std::string& error);
// Removes a file. Safe to call from RunOnInterruption's action.
void RemoveFile(const char* path);

// From now on an interruption (Ctrl+C, a terminate or hang-up request) first runs `action`, then
// ends the program as the interruption would have. `action` may only do what a signal handler
// may.
void RunOnInterruption(void (*action)());
// While one lives, an interruption waits, so that the work inside is done whole or not at all.
class InterruptionsHeld {
public:
    InterruptionsHeld();
    ~InterruptionsHeld();
    InterruptionsHeld(const InterruptionsHeld&) = delete;
    InterruptionsHeld& operator=(const InterruptionsHeld&) = delete;

private:
    alignas(std::max_align_t) unsigned char saved_[128];
};

// Memory for one large block of a document's text, given back with ReleaseBlock; std::bad_alloc
// when there is none. Where the system can, large pages back it: filling a block page by page is
// otherwise one fault per 4 KB, a fifth of the time a large conversion takes.
char* AllocateBlock(std::size_t size);
void ReleaseBlock(char* block, std::size_t size);

// Standard input, open for ReadBytes (bytes untouched, as from a file).
FileHandle StandardInput();
// Whether standard error goes to a terminal, where someone may watch a progress line.
bool StandardErrorIsTerminal();

// Standard output passes bytes untouched (no line-end translation), so that "-o -" gives the
// same bytes as a file.
void UseBinaryStandardOutput();

// The folder of the running program.
std::filesystem::path ProgramFolder();
// Runs the program `name` of the running program's folder in place of this one, with the same
// arguments; returns only when it cannot, with the reason.
std::string RunInstead(const std::string& name, char** argv);
// Whether the program may keep its settings in `folder`: it can be written to and is not a
// system folder that is meant to stay read-only.
bool IsOwnWritableFolder(const std::filesystem::path& folder);
// The user's own settings folder for this program ($XDG_CONFIG_HOME/vantrel, ~/.config/vantrel,
// %APPDATA%\vantrel); empty when the system does not say where it is.
std::filesystem::path UserSettingsFolder();
// The user's home folder ($HOME, %USERPROFILE%); empty when the system does not say.
std::filesystem::path UserHomeFolder();

}  // namespace vantrel::platform
