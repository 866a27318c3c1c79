#include "base/AtomicFile.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <streambuf>
#include <utility>

#include "base/Platform.h"

namespace vantrel {
namespace {

std::runtime_error Failure(const std::string& fileName, const std::string& reason)
{
    return std::runtime_error("Unable to create file " + fileName + ": " + reason);
}

// The temporary files being written, for the signal handler to remove. A signal handler can
// reach nothing but process-wide state, so this is the one table of its kind. A slot is free (0),
// taken by a writer that is still copying its path in (1), or holds a path to remove (2).
struct PendingTemporary {
    std::atomic<int> state{0};
    char path[4096] = {};
};
// Enough for every output a batch has waiting at once (a few per thread).
PendingTemporary pendingTemporaries[64];

void RemovePending()
{
    for (PendingTemporary& pending : pendingTemporaries)
        if (pending.state.load() == 2) platform::RemoveFile(pending.path);
}

// Registers a temporary file for removal on a signal for as long as it lives.
class PendingGuard {
public:
    explicit PendingGuard(const std::string& path)
    {
        if (path.size() >= sizeof(PendingTemporary::path)) return;
        for (PendingTemporary& pending : pendingTemporaries) {
            int expected = 0;
            if (!pending.state.compare_exchange_strong(expected, 1)) continue;
            std::memcpy(pending.path, path.c_str(), path.size() + 1);
            pending.state.store(2);
            slot_ = &pending;
            return;
        }
    }
    ~PendingGuard()
    {
        if (slot_) slot_->state.store(0);
    }
    PendingGuard(const PendingGuard&) = delete;
    PendingGuard& operator=(const PendingGuard&) = delete;

private:
    PendingTemporary* slot_ = nullptr;
};

// Output to an open file through a buffer, remembering the first failed write.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(platform::FileHandle file) : file_(file) { setp(buffer_.get(), buffer_.get() + kSize); }
    const std::string& Error() const { return error_; }

protected:
    int_type overflow(int_type c) override
    {
        if (!Drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return Drain() ? 0 : -1; }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        if (n > epptr() - pptr()) {
            if (!Drain()) return 0;
            if (n >= static_cast<std::streamsize>(kSize)) return WriteAll(s, static_cast<std::size_t>(n)) ? n : 0;
        }
        std::memcpy(pptr(), s, static_cast<std::size_t>(n));
        pbump(static_cast<int>(n));
        return n;
    }

private:
    static constexpr std::size_t kSize = 1 << 16;
    bool Drain()
    {
        const std::size_t n = static_cast<std::size_t>(pptr() - pbase());
        setp(buffer_.get(), buffer_.get() + kSize);
        return WriteAll(buffer_.get(), n);
    }
    bool WriteAll(const char* data, std::size_t n)
    {
        return error_.empty() && platform::WriteBytes(file_, data, n, error_);
    }
    platform::FileHandle file_;
    std::string error_;
    std::unique_ptr<char[]> buffer_{new char[kSize]};
};

// Writes through `file`; the first failure's reason, empty when all went well.
std::string WriteAll(platform::FileHandle file, const std::function<void(std::ostream&)>& write)
{
    DescriptorBuffer buffer(file);
    std::ostream out(&buffer);
    try {
        write(out);
        out.flush();
        if (!buffer.Error().empty()) return buffer.Error();
        if (!out) return "the text could not be written";
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

// Closes `file`, keeping the first reason: some file systems report a failed write only then.
void Close(platform::FileHandle file, std::string& reason)
{
    std::string closeError;
    if (!platform::CloseFile(file, closeError) && reason.empty()) reason = closeError;
}

// A device or a pipe is written as it is, as `cp` does: it cannot be replaced by a file.
void WriteInPlace(const std::string& fileName, const platform::OutputTarget& target,
                  const std::function<void(std::ostream&)>& write)
{
    std::string reason;
    const platform::FileHandle file = platform::OpenInPlace(target.Path.string(), reason);
    if (file == platform::kNoFile) throw Failure(fileName, reason);
    reason = WriteAll(file, write);
    Close(file, reason);
    if (!reason.empty()) throw Failure(fileName, reason);
}

}  // namespace

void RemoveTemporaryFilesOnSignals() { platform::RunOnInterruption(&RemovePending); }

// What a staged file holds until it is committed or dropped.
struct StagedFile::Pending {
    std::string fileName;
    platform::OutputTarget target;
    std::function<void(std::ostream&)> inPlace;     // a device or a pipe: written on Commit
    platform::FileHandle file = platform::kNoFile;  // an unnamed file, open until it is named
    std::string temporary;                          // a named one (or the name one gets)
    std::optional<PendingGuard> guard;

    ~Pending()
    {
        std::string ignored;
        if (file != platform::kNoFile) platform::CloseFile(file, ignored);  // unnamed: it vanishes
        if (guard) platform::RemoveFile(temporary.c_str());
    }
};

StagedFile::StagedFile(const std::string& fileName, std::function<void(std::ostream&)> write)
    : pending_(std::make_unique<Pending>())
{
    Pending& p = *pending_;
    p.fileName = fileName;
    std::string reason;
    if (!platform::ResolveOutput(fileName, p.target, reason)) throw Failure(fileName, reason);
    if (p.target.Is == platform::OutputTarget::Kind::Other) {
        p.inPlace = std::move(write);
        return;
    }
    const std::filesystem::path folder = p.target.Path.has_parent_path() ? p.target.Path.parent_path() : ".";
    // A short name of its own, so that a long output name does not become too long a name.
    p.temporary = (folder / ".vantrel-XXXXXX").string();
    // Where the system can, the file has no name while it is written, so that nothing is left of
    // it whatever ends the program; it is named only once whole, just before it takes its place.
    platform::FileHandle file = platform::CreateUnnamedFile(folder, reason);
    const bool unnamed = file != platform::kNoFile;
    if (!unnamed) {
        // Interruptions wait while the file is made and registered, so that none falls between.
        const platform::InterruptionsHeld held;
        file = platform::CreateUniqueFile(p.temporary, reason);
        if (file != platform::kNoFile) p.guard.emplace(p.temporary);
    }
    if (file == platform::kNoFile) throw Failure(fileName, reason);

    reason = WriteAll(file, write);
    if (reason.empty()) {
        platform::KeepOwner(file, p.target);
        platform::SetPermissions(file, p.target.Permissions, reason);
    }
    if (unnamed && reason.empty()) {
        p.file = file;  // named on Commit; closing it now would lose it
        return;
    }
    Close(file, reason);
    if (!reason.empty()) throw Failure(fileName, reason);  // the guard removes the named file
}

StagedFile::StagedFile(StagedFile&&) noexcept = default;
StagedFile& StagedFile::operator=(StagedFile&&) noexcept = default;
StagedFile::~StagedFile() = default;

void StagedFile::Commit()
{
    Pending& p = *pending_;
    if (p.inPlace) return WriteInPlace(p.fileName, p.target, p.inPlace);
    std::string reason;
    // A new output takes its name at once where it can, one change of the folder instead of two.
    // Interruptions wait until it is closed: a close that fails (some file systems report a
    // failed write only then) takes the name back before anything can end the program.
    if (p.file != platform::kNoFile && p.target.Is == platform::OutputTarget::Kind::New) {
        const platform::InterruptionsHeld held;
        if (platform::NameUnnamedFileIfFree(p.file, p.target.Path.string())) {
            Close(std::exchange(p.file, platform::kNoFile), reason);
            if (reason.empty()) return;
            platform::RemoveFile(p.target.Path.string().c_str());
            throw Failure(p.fileName, reason);
        }
    }
    if (p.file != platform::kNoFile) {
        {
            const platform::InterruptionsHeld held;
            if (platform::NameUnnamedFile(p.file, p.temporary, reason)) p.guard.emplace(p.temporary);
        }
        const platform::FileHandle file = std::exchange(p.file, platform::kNoFile);
        Close(file, reason);
    }
    if (reason.empty() && platform::MoveIntoPlace(p.temporary, p.target.Path.string(), reason)) {
        p.guard.reset();  // in place now: nothing to remove
        return;
    }
    throw Failure(p.fileName, reason);  // the guard removes the named file
}

void WriteFileAtomically(const std::string& fileName, const std::function<void(std::ostream&)>& write)
{
    StagedFile(fileName, write).Commit();
}

}  // namespace vantrel
