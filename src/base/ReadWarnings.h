#pragma once
// What a reading skipped or took only in part, line by line, for the user to see: the first few
// warnings of each kind named with their lines, the rest of each kind only counted, so that a
// file of bad lines gives a short list and a rare warning is never lost among a common one.

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
    // Warnings of a kind listed before the rest of that kind is only counted.
    static constexpr std::size_t kListedOfAKind = 5;
    // Kinds told apart; warnings of further kinds are counted together.
    static constexpr std::size_t kKinds = 20;

    // A kind of warning: the warnings whose texts are the same once their numbers and quoted
    // values are left out ("load \"x\" in line 5" and "load \"y\" in line 9" are one kind).
    struct Kind {
        std::string Pattern;
        int FirstLine = 0;  // of its first warning
        std::size_t Count = 0;
    };

    void Add(int line, std::string what);
    // In the order given.
    const std::vector<LineWarning>& Listed() const { return listed_; }
    const std::vector<Kind>& Kinds() const { return kinds_; }
    // Warnings of kinds beyond those told apart, and those given without a text.
    std::size_t OtherKinds() const { return others_; }
    // Whether a further warning would only be counted, whatever its kind: its text is then not
    // needed, and one given without a text is counted among the other kinds.
    bool Full() const { return kinds_.size() >= kKinds && fullKinds_ >= kKinds; }
    // Every warning, listed or not.
    std::size_t Count() const { return count_; }
    bool Empty() const { return count_ == 0; }

private:
    std::vector<LineWarning> listed_;
    std::vector<Kind> kinds_;
    std::size_t fullKinds_ = 0;  // kinds with kListedOfAKind listed
    std::size_t others_ = 0;
    std::size_t count_ = 0;
};

// `what` with each number written "#" and each quoted value written "\"\"": its kind.
std::string WarningPattern(const std::string& what);

// The warnings as the user reads them, one per line: "file:12: " + label + what, "file: " + label +
// what for the file as a whole, and a last line for each kind counting those not listed.
std::vector<std::string> WarningLines(const std::string& file, const ReadWarnings& warnings,
                                      const std::string& label = "");

}  // namespace vantrel
