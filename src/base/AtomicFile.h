#pragma once
// Writing a file so that it is either complete or not there: the text goes to a new file beside
// the target, which replaces the target only once everything is written.

#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace vantrel {

// std::runtime_error "Unable to create file NAME: reason" when it cannot be done; nothing of the
// attempt is left behind and an existing target stays as it was. Outputs follow `cp`'s rules: a
// target that exists keeps its permission bits (and its owner and group where the system lets
// the user give them); a symbolic link keeps pointing to the file, which is replaced, unless the
// system's rule for links in shared folders forbids following it or it points to nothing; a
// device or a pipe is written as it is; a folder, or a file the user may not write, is refused.
void WriteFileAtomically(const std::string& fileName, const std::function<void(std::ostream&)>& write);

// A file written whole beside its target, waiting to take its place, so that files converted side
// by side can be put in place in their own order: Commit puts it there, and one never committed
// leaves nothing behind. The rules and errors are WriteFileAtomically's; a device or a pipe cannot
// wait beside itself, so `write` is kept and writes to it on Commit.
class StagedFile {
public:
    StagedFile(const std::string& fileName, std::function<void(std::ostream&)> write);
    StagedFile(StagedFile&&) noexcept;
    StagedFile& operator=(StagedFile&&) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    ~StagedFile();
    void Commit();

private:
    struct Pending;
    std::unique_ptr<Pending> pending_;
};

// From now on a signal that would end the program first removes the temporary files being
// written, then ends the program as the signal would have. Signals ignored at start stay ignored.
void RemoveTemporaryFilesOnSignals();

}  // namespace vantrel
