#pragma once
// A line on standard error that says how far a long run has got: the files done and the bytes
// read. It shows only once the run has lasted about a second, so that short runs stay quiet,
// is rewritten in place a few times a second, and is wiped before any message and at the end.

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace vantrel {

class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    // `shown`: whether to show anything (standard error is a terminal and --quiet is not given).
    ProgressLine(std::ostream& out, bool shown, std::function<Clock::time_point()> now = Clock::now);
    ~ProgressLine() { Wipe(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Show(bool shown) { shown_ = shown; }
    bool Shown() const { return shown_; }
    void Files(std::size_t total);  // the run is about to read this many files
    void Read(std::size_t bytes);   // a reading brought this many bytes
    void FileDone();
    void Wipe();  // before a message, and at the end

    // "2 of 5 files, 1.4 MB read"
    std::string Text() const;

private:
    void Update();

    std::ostream& out_;
    bool shown_;
    std::function<Clock::time_point()> now_;
    Clock::time_point start_, last_;
    std::size_t files_ = 0, done_ = 0;
    std::uint64_t bytes_ = 0;
    std::size_t width_ = 0;  // of the line on the terminal; 0 while none is there
};

}  // namespace vantrel
