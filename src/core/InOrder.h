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

// Runs `Work(i)` for every item on `jobs` threads (one: on the calling thread, each item taken
// before the next is begun) and the rest on the calling thread. When Take ends it, no further work
// is begun and the results not taken are dropped. At most two results a thread wait to be taken.
template <typename Result>
void RunInOrder(std::size_t count, unsigned jobs, const InOrderWork<Result>& hooks)
{
    const auto& work = hooks.Work;
    const auto& before = hooks.Before;
    const auto& take = hooks.Take;
    const auto attempt = [&](std::size_t i, std::optional<Result>& result, std::exception_ptr& error) {
        try {
            result.emplace(work(i));
        } catch (...) {
            error = std::current_exception();
        }
    };
    if (jobs <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            before(i);
            std::optional<Result> result;
            std::exception_ptr error;
            attempt(i, result, error);
            if (!take(i, result, error)) return;
        }
        return;
    }
    struct Slot {
        bool done = false;
        std::optional<Result> result;
        std::exception_ptr error;
    };
    std::vector<Slot> slots(count);
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0, taken = 0;
    bool stopped = false;
    const std::size_t window = 2 * static_cast<std::size_t>(jobs);
    const auto worker = [&] {
        for (;;) {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return stopped || next >= count || next < taken + window; });
            if (stopped || next >= count) return;
            const std::size_t i = next++;
            lock.unlock();
            std::optional<Result> result;
            std::exception_ptr error;
            attempt(i, result, error);
            lock.lock();
            slots[i].result = std::move(result);
            slots[i].error = error;
            slots[i].done = true;
            changed.notify_all();
        }
    };
    std::vector<std::jthread> threads;
    // Stops and joins the workers however this ends, a throwing `take` too.
    struct Finish {
        std::mutex& mutex;
        std::condition_variable& changed;
        bool& stopped;
        std::vector<std::jthread>& threads;
        ~Finish()
        {
            {
                const std::lock_guard lock(mutex);
                stopped = true;
            }
            changed.notify_all();
            threads.clear();
        }
    } finish{mutex, changed, stopped, threads};
    for (unsigned t = 0; t < jobs && t < count; ++t) threads.emplace_back(worker);
    for (std::size_t i = 0; i < count; ++i) {
        before(i);
        std::optional<Result> result;
        std::exception_ptr error;
        {
            std::unique_lock lock(mutex);
            while (!changed.wait_for(lock, std::chrono::milliseconds(100), [&] { return slots[i].done; })) {
                lock.unlock();
                hooks.Waiting();
                lock.lock();
            }
            result = std::move(slots[i].result);
            error = slots[i].error;
            slots[i] = Slot{};
            taken = i + 1;
        }
        changed.notify_all();
        if (!take(i, result, error)) return;
    }
}

}  // namespace vantrel
