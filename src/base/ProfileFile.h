#pragma once
// Key lookup in INI-style text, by the rules of a Windows profile file: "[Section]" headers and
// "key = value" lines, names compared without regard to letter case, the first matching section
// and the first matching key inside it used, blanks around keys and values removed, one pair of
// enclosing quotes removed, anything else ignored. The text is indexed once when it is loaded.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/NativeText.h"

namespace vantrel {

// One line of profile text (without its end) by the rules above: a header's section name, or a
// key and its value, blanks and one pair of enclosing quotes removed as a lookup gives them.
// Other: neither (a ; or # comment among them); a line with "=" is a pair whatever it starts with.
struct ProfileLine {
    enum class Kind { Empty, Header, Pair, Other } Is = Kind::Empty;
    std::string_view Line;   // the line, blanks trimmed
    std::string_view Name;   // a header's section name, a pair's key
    std::string_view Value;  // a pair's value
};
ProfileLine ReadProfileLine(std::string_view line);
// Whether ReadProfileLine reads `line` as a section header: its first character but blanks and
// tabs is '['. Cheaper than reading the line, for the many lines where only a header matters.
bool IsHeaderLine(std::string_view line);

class ProfileFile {
public:
    // Values longer than this are cut, as a 255-character lookup buffer cuts them.
    static constexpr std::size_t kMaxValueLength = 254;

    ProfileFile() = default;  // no sections: every lookup gives empty text
    explicit ProfileFile(std::string text);

    // Reads a file; ReadError naming the file when it cannot be read.
    static ProfileFile Load(const std::string& fileName);

    // A section's number for repeated lookups; -1 when the text has no such section.
    int FindSection(std::string_view name) const;

    // The value of a key, without length limit; nullopt when section or key is missing.
    std::optional<std::string_view> Find(int section, std::string_view key) const;

    // The value of a key, without length limit; empty when section or key is missing.
    std::string_view Value(int section, std::string_view key) const;
    std::string_view Value(std::string_view section, std::string_view key) const;

    // The line (from 1) of the key a lookup finds; 0 when there is none.
    int LineOf(int section, std::string_view key) const;
    int LineOf(std::string_view section, std::string_view key) const { return LineOf(FindSection(section), key); }

    // The lines no lookup ever sees, and why: neither a header, a key = value nor a ; or #
    // comment; a key before the first header; a header met again (its keys are not read).
    struct SkippedLine {
        int Line;
        std::string Why;
    };
    const std::vector<SkippedLine>& Skipped() const { return skipped_; }

    // The value as the lookup service returns it: at most kMaxValueLength characters.
    std::string Lookup(int section, std::string_view key) const;
    std::string Lookup(std::string_view section, std::string_view key) const;

private:
    struct Entry {
        std::uint32_t keyStart, keyLength;
        std::uint32_t valueStart, valueLength;
        std::uint32_t line;
    };
    // Each section's keys stand together in entries_ and have their own small table in slots_,
    // so that the lookups of one section stay within a few cache lines. A standard hash map of
    // section and key in its stead made checking a PDDX file of a million drops take 80 % more
    // processor time and 30 MB more memory.
    struct Section {
        std::uint32_t firstEntry = 0, entryCount = 0;
        std::uint32_t firstSlot = 0, slotCount = 0;  // slotCount: a power of two, or 0
        std::uint32_t line = 0;
    };
    std::string_view KeyOf(const Entry& entry) const { return Text().substr(entry.keyStart, entry.keyLength); }
    void Index();
    // The trimmed line [start, stop) of the text. A header opens its section: nullptr for one met
    // before, whose keys are not read. A line that is no comment and gives no key is noted as
    // skipped: no key = value `pair`, or one before the first header.
    Section* IndexHeader(const ProfileLine& header, std::uint32_t line);
    void NoteSkipped(const ProfileLine& skipped, std::uint32_t line);
    std::uint32_t Offset(std::string_view part) const
    {
        return static_cast<std::uint32_t>(part.data() - Text().data());
    }
    const Entry* FindEntry(int section, std::string_view key) const;
    void BuildTable(Section& section);

    // A view member would dangle when the object moves.
    std::string_view Text() const { return ownedText_; }

    std::string ownedText_;
    std::unordered_map<std::string, int> sectionNumbers_;  // upper-cased name -> index in sections_
    std::vector<Section> sections_;
    std::vector<Entry> entries_;
    std::vector<std::uint32_t> slots_;
    std::vector<SkippedLine> skipped_;
};

}  // namespace vantrel
