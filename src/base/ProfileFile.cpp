#include "base/ProfileFile.h"

#include <algorithm>
#include <stdexcept>

#include "base/Latin1.h"
#include "base/NativeText.h"

namespace vantrel {
namespace {

constexpr std::uint32_t kEmpty = UINT32_MAX;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text)
{
    std::size_t start = 0, end = text.size();
    while (start < end && IsBlank(text[start])) ++start;
    while (end > start && IsBlank(text[end - 1])) --end;
    return text.substr(start, end - start);
}

// The line at `pos` without its end (CR, LF or CRLF); `pos` moves past the line.
std::string_view NextLine(std::string_view text, std::size_t& pos)
{
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    const std::string_view line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    return line;
}

}  // namespace

ProfileFile::ProfileFile(std::string text) : ownedText_(std::move(text)) { Index(); }

ProfileFile ProfileFile::Load(const std::string& fileName) { return ProfileFile(ReadFileBytes(fileName)); }

bool IsHeaderLine(std::string_view line)
{
    std::size_t at = 0;
    while (at < line.size() && IsBlank(line[at])) ++at;
    return at < line.size() && line[at] == '[';
}

ProfileLine ReadProfileLine(std::string_view line)
{
    ProfileLine read;
    read.Line = Trimmed(line);
    if (read.Line.empty()) return read;
    if (IsHeaderLine(read.Line)) {
        read.Is = ProfileLine::Kind::Header;
        read.Name = Trimmed(read.Line.substr(1, read.Line.find(']') - 1));
        return read;
    }
    const std::size_t equals = read.Line.find('=');
    if (equals == std::string_view::npos) {
        read.Is = ProfileLine::Kind::Other;
        return read;
    }
    read.Is = ProfileLine::Kind::Pair;
    read.Name = Trimmed(read.Line.substr(0, equals));
    read.Value = Trimmed(read.Line.substr(equals + 1));
    if (read.Value.size() >= 2 && (read.Value.front() == '"' || read.Value.front() == '\'') &&
        read.Value.back() == read.Value.front())
        read.Value = read.Value.substr(1, read.Value.size() - 2);
    return read;
}

void ProfileFile::Index()
{
    const std::string_view text = Text();
    if (text.size() >= UINT32_MAX) throw std::length_error("the file is larger than 4 GiB");
    Section* current = nullptr;  // keys before any header, and those of a repeated section, are not used
    std::uint32_t line = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        ++line;
        const ProfileLine read = ReadProfileLine(NextLine(text, pos));
        if (read.Is == ProfileLine::Kind::Empty) continue;
        if (read.Is == ProfileLine::Kind::Header) {
            current = IndexHeader(read, line);
            continue;
        }
        if (read.Is == ProfileLine::Kind::Other || !current) {
            NoteSkipped(read, line);
            continue;
        }
        entries_.push_back({Offset(read.Name), static_cast<std::uint32_t>(read.Name.size()), Offset(read.Value),
                            static_cast<std::uint32_t>(read.Value.size()), line});
        ++current->entryCount;
    }
    for (Section& section : sections_) BuildTable(section);
}

ProfileFile::Section* ProfileFile::IndexHeader(const ProfileLine& header, std::uint32_t line)
{
    const auto [it, added] = sectionNumbers_.emplace(UpperCase(header.Name), static_cast<int>(sections_.size()));
    if (!added) {
        const std::uint32_t first = sections_[static_cast<std::size_t>(it->second)].line;
        skipped_.push_back({static_cast<int>(line), "section " + Quoted(header.Line) +
                                                        " stands here a second time (first at line " +
                                                        std::to_string(first) + "); the keys under it are not read"});
        return nullptr;
    }
    sections_.push_back({static_cast<std::uint32_t>(entries_.size()), 0, 0, 0, line});
    return &sections_.back();
}

void ProfileFile::NoteSkipped(const ProfileLine& skipped, std::uint32_t line)
{
    if (skipped.Line.front() == ';' || skipped.Line.front() == '#') return;
    const char* why = skipped.Is == ProfileLine::Kind::Other
                          ? " is no [section], key = value or ; comment; it was skipped"
                      : sections_.empty() ? " stands before the first [section]; it was skipped"
                                          : nullptr;  // a key of a section met before
    if (why) skipped_.push_back({static_cast<int>(line), Quoted(skipped.Line) + why});
}

void ProfileFile::BuildTable(Section& section)
{
    if (section.entryCount == 0) return;
    std::uint32_t count = 4;
    while (count < section.entryCount * 2) count *= 2;
    section.firstSlot = static_cast<std::uint32_t>(slots_.size());
    section.slotCount = count;
    slots_.resize(slots_.size() + count, kEmpty);
    std::uint32_t* table = slots_.data() + section.firstSlot;
    for (std::uint32_t i = section.firstEntry; i < section.firstEntry + section.entryCount; ++i) {
        const std::string_view key = KeyOf(entries_[i]);
        std::uint32_t s = static_cast<std::uint32_t>(FoldedHash(key)) & (count - 1);
        bool repeated = false;
        while (table[s] != kEmpty && !(repeated = EqualsIgnoreCase(KeyOf(entries_[table[s]]), key)))
            s = (s + 1) & (count - 1);
        if (!repeated) table[s] = i;  // the first key of a name is the one that counts
    }
}

int ProfileFile::FindSection(std::string_view name) const
{
    const auto it = sectionNumbers_.find(UpperCase(TrimBlanks(name)));
    return it == sectionNumbers_.end() ? -1 : it->second;
}

const ProfileFile::Entry* ProfileFile::FindEntry(int number, std::string_view key) const
{
    if (number < 0 || static_cast<std::size_t>(number) >= sections_.size()) return nullptr;
    const Section& section = sections_[static_cast<std::size_t>(number)];
    if (section.slotCount == 0) return nullptr;
    const std::uint32_t* table = slots_.data() + section.firstSlot;
    for (std::uint32_t s = static_cast<std::uint32_t>(FoldedHash(key)) & (section.slotCount - 1); table[s] != kEmpty;
         s = (s + 1) & (section.slotCount - 1)) {
        const Entry& entry = entries_[table[s]];
        if (EqualsIgnoreCase(KeyOf(entry), key)) return &entry;
    }
    return nullptr;
}

std::optional<std::string_view> ProfileFile::Find(int number, std::string_view key) const
{
    const Entry* entry = FindEntry(number, key);
    if (!entry) return std::nullopt;
    return Text().substr(entry->valueStart, entry->valueLength);
}

int ProfileFile::LineOf(int section, std::string_view key) const
{
    const Entry* entry = FindEntry(section, key);
    return entry ? static_cast<int>(entry->line) : 0;
}

std::string_view ProfileFile::Value(int section, std::string_view key) const
{
    return Find(section, key).value_or(std::string_view());
}

std::string_view ProfileFile::Value(std::string_view section, std::string_view key) const
{
    return Value(FindSection(section), key);
}

std::string ProfileFile::Lookup(int section, std::string_view key) const
{
    return std::string(Value(section, key).substr(0, kMaxValueLength));
}

std::string ProfileFile::Lookup(std::string_view section, std::string_view key) const
{
    return Lookup(FindSection(section), key);
}

}  // namespace vantrel
