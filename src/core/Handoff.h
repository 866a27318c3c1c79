#pragma once
// Batches handed from a thread that reads to the calling thread that uses what was read, so that
// the reading goes on meanwhile: a few batches ahead at most, each used again once emptied, so
// that batch after batch takes no new memory.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace vantrel {

template <typename Batch>
class Handoff {
public:
    explicit Handoff(std::size_t batches)
    {
        for (std::size_t b = 0; b < batches; ++b) free_.push_back(std::make_unique<Batch>());
    }

    // The reading thread's side. A batch to fill, as it was left; nullptr once the user stopped.
    std::unique_ptr<Batch> Empty()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_ || !free_.empty(); });
        if (stopped_) return nullptr;
        std::unique_ptr<Batch> batch = std::move(free_.back());
        free_.pop_back();
        return batch;
    }
    void Filled(std::unique_ptr<Batch> batch)
    {
        const std::lock_guard lock(mutex_);
        full_.push_back(std::move(batch));
        changed_.notify_all();
    }
    // The reading is over; `error` is what ended it, if anything did.
    void Finished(std::exception_ptr error)
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        error_ = std::move(error);
        changed_.notify_all();
    }

    // The calling thread's side. The next batch filled; nullptr after the last, or the reading's
    // error once every batch filled before it was taken.
    std::unique_ptr<Batch> Next()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return finished_ || !full_.empty(); });
        if (full_.empty()) {
            if (error_) std::rethrow_exception(error_);
            return nullptr;
        }
        std::unique_ptr<Batch> batch = std::move(full_.front());
        full_.pop_front();
        return batch;
    }
    void Emptied(std::unique_ptr<Batch> batch)
    {
        const std::lock_guard lock(mutex_);
        free_.push_back(std::move(batch));
        changed_.notify_all();
    }
    // No more batches are wanted: the reading thread is told so at its next Empty.
    void Stop()
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::unique_ptr<Batch>> free_;
    std::deque<std::unique_ptr<Batch>> full_;
    bool stopped_ = false, finished_ = false;
    std::exception_ptr error_;
};

// Runs `read(handoff)` on a thread of its own while `use(batch)` takes each batch it fills, in
// order, on the calling thread. What either throws ends both and reaches the caller; what the
// reading throws does so once every batch filled before it was used.
template <typename Batch, typename Read, typename Use>
void ReadAhead(std::size_t batches, Read&& read, Use&& use)
{
    Handoff<Batch> handoff(batches);
    std::thread reader([&handoff, &read] {
        std::exception_ptr error;
        try {
            read(handoff);
        } catch (...) {
            error = std::current_exception();
        }
        handoff.Finished(std::move(error));
    });
    // However the calling thread leaves, the reading stops and its thread is joined.
    class Joined {
    public:
        Joined(Handoff<Batch>& handoff, std::thread& reader) : handoff_(handoff), reader_(reader) {}
        Joined(const Joined&) = delete;
        Joined& operator=(const Joined&) = delete;
        ~Joined()
        {
            handoff_.Stop();
            reader_.join();
        }

    private:
        Handoff<Batch>& handoff_;
        std::thread& reader_;
    } joined(handoff, reader);
    while (std::unique_ptr<Batch> batch = handoff.Next()) {
        use(*batch);
        handoff.Emptied(std::move(batch));
    }
}

}  // namespace vantrel
