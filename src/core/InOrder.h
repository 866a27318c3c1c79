#pragma once
// Work on many files at once whose results are taken one by one in the files' order, so that
// messages, listings and the first failure read as they would had the files been done in turn.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace vantrel {

// Counts made on the threads of a RunInOrder (bytes read), passed on to `tell` on the calling
// thread, which alone may draw them; with one job there is no other thread, and they go at once.
class CountsFromThreads {
public:
    CountsFromThreads(std::function<void(std::size_t)> tell, unsigned jobs) : tell_(std::move(tell)), jobs_(jobs) {}
    // What the threads count with; empty where nothing is told.
    std::function<void(std::size_t)> Counter()
    {
        if (!tell_ || jobs_ <= 1) return tell_;
        return [this](std::size_t n) { pending_ += n; };
    }
    // Tells what was counted since the last time.
    void Pass()
    {
        if (const std::size_t n = pending_.exchange(0); n > 0) tell_(n);
    }

private:
    std::function<void(std::size_t)> tell_;
    unsigned jobs_;
    std::atomic<std::size_t> pending_ = 0;
};

// Work on items 0 .. count - 1, and what is done on the calling thread, in order of the items.
template <typename Result>
struct InOrderWork {
    std::function<Result(std::size_t)> Work;
    // Before result i is waited for.
    std::function<void(std::size_t)> Before;
    // Once result i is there; `error` is what Work threw, the result then empty. False ends it.
    std::function<bool(std::size_t, std::optional<Result>&, std::exception_ptr)> Take;
    // Now and then while the calling thread waits for a result.
    std::function<void()> Waiting = [] {};
};

namespace detail {

// What RunInOrder's threads share when there are several.
template <typename Result>
class InOrderThreads {
public:
    InOrderThreads(std::size_t count, unsigned jobs, const InOrderWork<Result>& hooks)
        : hooks_(hooks), slots_(count), window_(4 * static_cast<std::size_t>(jobs))
    {
    }
    InOrderThreads(const InOrderThreads&) = delete;
    InOrderThreads& operator=(const InOrderThreads&) = delete;
    // Stops and joins the workers however the run ends, a throwing `Take` too.
    ~InOrderThreads()
    {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        roomFree_.notify_all();
        threads_.clear();
    }

    void Run(unsigned jobs)
    {
        for (unsigned t = 1; t < jobs && t < slots_.size(); ++t) threads_.emplace_back([this] { Worker(); });
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            hooks_.Before(i);
            std::optional<Result> result;
            std::exception_ptr error;
            WaitFor(i, result, error);
            if (!hooks_.Take(i, result, error)) return;
        }
    }

    static void Attempt(const InOrderWork<Result>& hooks, std::size_t i, std::optional<Result>& result,
                        std::exception_ptr& error)
    {
        try {
            result.emplace(hooks.Work(i));
        } catch (...) {
            error = std::current_exception();
        }
    }

private:
    struct Slot {
        bool done = false;
        std::optional<Result> result;
        std::exception_ptr error;
    };

    bool HasRoom() const { return next_ < slots_.size() && next_ < taken_ + window_; }

    // Does item `next_`; the lock is held on entry and on return.
    void DoNext(std::unique_lock<std::mutex>& lock)
    {
        const std::size_t i = next_++;
        lock.unlock();
        std::optional<Result> result;
        std::exception_ptr error;
        Attempt(hooks_, i, result, error);
        lock.lock();
        slots_[i] = {true, std::move(result), error};
        if (i == taken_) resultReady_.notify_one();
    }

    void Worker()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            ++workersWaiting_;
            roomFree_.wait(lock, [this] { return stopped_ || next_ >= slots_.size() || HasRoom(); });
            --workersWaiting_;
            if (stopped_ || next_ >= slots_.size()) return;
            DoNext(lock);
        }
    }

    // Result i, worked on here while it is not there and there is other work to do.
    void WaitFor(std::size_t i, std::optional<Result>& result, std::exception_ptr& error)
    {
        bool wakeWorker = false;
        {
            std::unique_lock lock(mutex_);
            while (!slots_[i].done) {
                if (HasRoom()) {
                    DoNext(lock);
                    continue;
                }
                if (resultReady_.wait_for(lock, std::chrono::milliseconds(100), [&] { return slots_[i].done; })) break;
                lock.unlock();
                hooks_.Waiting();
                lock.lock();
            }
            result = std::move(slots_[i].result);
            error = slots_[i].error;
            slots_[i] = Slot{};
            taken_ = i + 1;
            wakeWorker = workersWaiting_ > 0;
        }
        if (wakeWorker) roomFree_.notify_one();
    }

    const InOrderWork<Result>& hooks_;
    std::vector<Slot> slots_;
    const std::size_t window_;
    std::mutex mutex_;
    // Two conditions, and the calling thread works too, so that a thread sleeps only when it has
    // nothing to do and is woken only when it has: on a batch of small files, waking every thread
    // for every file cost more than the files themselves.
    std::condition_variable resultReady_, roomFree_;
    std::size_t next_ = 0, taken_ = 0, workersWaiting_ = 0;
    bool stopped_ = false;
    std::vector<std::jthread> threads_;  // last: joined first
};

}  // namespace detail

// Runs `Work(i)` for every item on `jobs` threads, the calling thread one of them (one job: each
// item taken before the next is begun), and `Before` and `Take` on the calling thread. When Take
// ends it, no further work is begun and the results not taken are dropped. At most four results a
// thread wait to be taken.
template <typename Result>
void RunInOrder(std::size_t count, unsigned jobs, const InOrderWork<Result>& hooks)
{
    if (jobs > 1 && count > 1) {
        detail::InOrderThreads<Result>(count, jobs, hooks).Run(jobs);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        hooks.Before(i);
        std::optional<Result> result;
        std::exception_ptr error;
        detail::InOrderThreads<Result>::Attempt(hooks, i, result, error);
        if (!hooks.Take(i, result, error)) return;
    }
}

}  // namespace vantrel
