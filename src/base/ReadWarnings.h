#pragma once
// What a reading skipped or took only in part, line by line, for the user to see: the first lines
// named with what was wrong, the rest only counted, so that a file of bad lines gives a short list.

#include <cstddef>
#include <string>
#include <vector>

namespace vantrel {

struct LineWarning {
    int Line;  // 0: the file as a whole
    std::string What;
};

class ReadWarnings {
public:
    static constexpr std::size_t kListed = 20;

    void Add(int line, std::string what)
    {
        if (listed_.size() < kListed) listed_.push_back({line, std::move(what)});
        ++count_;
    }
    const std::vector<LineWarning>& Listed() const { return listed_; }
    // Whether a further warning would only be counted: its text is then not needed.
    bool Full() const { return listed_.size() >= kListed; }
    // Every warning, listed or not.
    std::size_t Count() const { return count_; }
    bool Empty() const { return count_ == 0; }

private:
    std::vector<LineWarning> listed_;
    std::size_t count_ = 0;
};

// The warnings as the user reads them, one per line: "file:12: " + label + what, "file: " + label +
// what for the file as a whole, and a last line counting those not listed.
std::vector<std::string> WarningLines(const std::string& file, const ReadWarnings& warnings,
                                      const std::string& label = "");

}  // namespace vantrel
