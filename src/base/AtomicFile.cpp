#include "base/AtomicFile.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <streambuf>

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
PendingTemporary pendingTemporaries[8];

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

void WriteFileAtomically(const std::string& fileName, const std::function<void(std::ostream&)>& write)
{
    platform::OutputTarget target;
    std::string reason;
    if (!platform::ResolveOutput(fileName, target, reason)) throw Failure(fileName, reason);
    if (target.Is == platform::OutputTarget::Kind::Other) return WriteInPlace(fileName, target, write);

    const std::filesystem::path folder = target.Path.has_parent_path() ? target.Path.parent_path() : ".";
    // A short name of its own, so that a long output name does not become too long a name.
    std::string temporary = (folder / ".vantrel-XXXXXX").string();
    std::optional<PendingGuard> pending;
    // Where the system can, the file has no name while it is written, so that nothing is left of
    // it whatever ends the program; it is named only once whole, just before it takes its place.
    platform::FileHandle file = platform::CreateUnnamedFile(folder, reason);
    const bool unnamed = file != platform::kNoFile;
    if (!unnamed) {
        // Interruptions wait while the file is made and registered, so that none falls between.
        const platform::InterruptionsHeld held;
        file = platform::CreateUniqueFile(temporary, reason);
        if (file != platform::kNoFile) pending.emplace(temporary);
    }
    if (file == platform::kNoFile) throw Failure(fileName, reason);

    reason = WriteAll(file, write);
    if (reason.empty()) {
        platform::KeepOwner(file, target);
        platform::SetPermissions(file, target.Permissions, reason);
    }
    bool named = !unnamed;
    if (reason.empty() && unnamed) {
        const platform::InterruptionsHeld held;
        named = platform::NameUnnamedFile(file, temporary, reason);
        if (named) pending.emplace(temporary);
    }
    Close(file, reason);
    if (reason.empty() && platform::MoveIntoPlace(temporary, target.Path.string(), reason)) return;
    if (named) platform::RemoveFile(temporary.c_str());
    throw Failure(fileName, reason);
}

}  // namespace vantrel
