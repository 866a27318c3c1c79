#include "document/ProfileFile.h"

#include <algorithm>
#include <stdexcept>

#include "document/Latin1.h"
#include "import/NativeText.h"

namespace vantrel {
namespace {

constexpr std::uint32_t kEmpty = UINT32_MAX;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void TrimRange(const std::string& text, std::size_t& start, std::size_t& end)
{
    while (start < end && IsBlank(text[start])) ++start;
    while (end > start && IsBlank(text[end - 1])) --end;
}

}  // namespace

ProfileFile::ProfileFile(std::string text) : text_(std::move(text))
{
    if (text_.size() >= UINT32_MAX) throw std::length_error("the file is larger than 4 GiB");
    Index();
}

ProfileFile ProfileFile::Load(const std::string& fileName)
{
    return ProfileFile(ReadFileBytes(fileName));
}

void ProfileFile::Index()
{
    int current = -1;  // keys before any header, and those of a repeated section, are not used
    std::size_t pos = 0;
    const std::size_t size = text_.size();
    while (pos < size) {
        std::size_t end = pos;
        while (end < size && text_[end] != '\r' && text_[end] != '\n') ++end;
        std::size_t start = pos, stop = end;
        pos = end;
        if (pos < size && text_[pos] == '\r') ++pos;
        if (pos < size && text_[pos] == '\n') ++pos;

        TrimRange(text_, start, stop);
        if (start == stop) continue;
        if (text_[start] == '[') {
            std::size_t nameEnd = text_.find(']', start);
            if (nameEnd == std::string::npos || nameEnd > stop) nameEnd = stop;
            std::size_t nameStart = start + 1;
            TrimRange(text_, nameStart, nameEnd);
            const auto [it, added] = sections_.emplace(UpperCase(std::string_view(text_).substr(nameStart, nameEnd - nameStart)),
                                                       static_cast<int>(sections_.size()));
            current = added ? it->second : -1;
            continue;
        }
        const std::size_t equals = text_.find('=', start);
        if (current < 0 || equals == std::string::npos || equals >= stop) continue;
        std::size_t keyStart = start, keyEnd = equals, valueStart = equals + 1, valueEnd = stop;
        TrimRange(text_, keyStart, keyEnd);
        TrimRange(text_, valueStart, valueEnd);
        if (valueEnd - valueStart >= 2 && (text_[valueStart] == '"' || text_[valueStart] == '\'') &&
            text_[valueEnd - 1] == text_[valueStart]) {
            ++valueStart;
            --valueEnd;
        }
        AddEntry({static_cast<std::uint32_t>(current), static_cast<std::uint32_t>(keyStart),
                  static_cast<std::uint32_t>(keyEnd - keyStart), static_cast<std::uint32_t>(valueStart),
                  static_cast<std::uint32_t>(valueEnd - valueStart)});
    }
}

std::size_t ProfileFile::Slot(std::uint32_t section, std::string_view key) const
{
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = (FoldedHash(key) ^ (static_cast<std::size_t>(section) * 0x9E3779B97F4A7C15ull)) & mask;
    while (slots_[s] != kEmpty) {
        const Entry& entry = entries_[slots_[s]];
        if (entry.section == section && EqualsIgnoreCase(KeyOf(entry), key)) break;
        s = (s + 1) & mask;
    }
    return s;
}

void ProfileFile::AddEntry(const Entry& entry)
{
    if ((entries_.size() + 1) * 2 > slots_.size()) {
        slots_.assign(std::max<std::size_t>(64, slots_.size() * 2), kEmpty);
        for (std::uint32_t i = 0; i < entries_.size(); ++i)
            slots_[Slot(entries_[i].section, KeyOf(entries_[i]))] = i;
    }
    const std::size_t s = Slot(entry.section, KeyOf(entry));
    if (slots_[s] != kEmpty) return;  // the first key of a name is the one that counts
    entries_.push_back(entry);
    slots_[s] = static_cast<std::uint32_t>(entries_.size() - 1);
}

int ProfileFile::FindSection(std::string_view name) const
{
    const auto it = sections_.find(UpperCase(TrimBlanks(name)));
    return it == sections_.end() ? -1 : it->second;
}

std::optional<std::string_view> ProfileFile::Find(int section, std::string_view key) const
{
    if (section < 0 || slots_.empty()) return std::nullopt;
    const std::uint32_t s = slots_[Slot(static_cast<std::uint32_t>(section), key)];
    if (s == kEmpty) return std::nullopt;
    return std::string_view(text_).substr(entries_[s].valueStart, entries_[s].valueLength);
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
