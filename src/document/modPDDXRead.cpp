#include "document/modPDDXRead.h"

#include <algorithm>
#include <limits>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Latin1.h"
#include "base/ProfileFile.h"
#include "base/modConvert.h"

namespace vantrel {
namespace {

// A whole number read the reader's way; nullopt where the text is not one.
std::optional<int> WholeNumber(std::string_view text)
{
    try {
        return ToInt32(text);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

// Runs one step of the reading; a step that fails is skipped.
template <typename Step>
void Skippable(Step&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// n where `text` is `prefix` (any letter case) followed by n in decimal as the reader writes
// numbers into names (no sign, no leading zero), from 1 to 2147483647; 0 for any other text.
int NumberAfter(std::string_view text, std::string_view prefix)
{
    if (text.size() <= prefix.size() || text.size() > prefix.size() + 10 ||
        !EqualsIgnoreCase(text.substr(0, prefix.size()), prefix) || text[prefix.size()] == '0')
        return 0;
    long long n = 0;
    for (const char c : text.substr(prefix.size())) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n <= std::numeric_limits<int>::max() ? static_cast<int>(n) : 0;
}

int IndexOf(const std::vector<std::string_view>& names, std::string_view name)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (EqualsIgnoreCase(names[i], name)) return static_cast<int>(i);
    return -1;
}

// The values of a file that the reader will ask for, found in one pass over its lines: for the
// first section of each name and the first key of each name in it. Values are kept in the
// document's text as they are read (KeepShort), so that the elements take them without a copy.
class PDDXIndex {
public:
    struct Section {
        bool seen = false;
        std::vector<const char*> keys;  // by the position of the key's name
        std::vector<const char*> drops;  // DropData_j at j - 1
        std::vector<std::pair<int, const char*>> farDrops;  // numbered far beyond the others

        const char* Drop(int j) const
        {
            const auto far = std::lower_bound(farDrops.begin(), farDrops.end(), j,
                                              [](const auto& drop, int n) { return drop.first < n; });
            if (far != farDrops.end() && far->first == j) return far->second;
            return static_cast<std::size_t>(j) <= drops.size() ? drops[static_cast<std::size_t>(j - 1)] : nullptr;
        }
    };

    // `scratch` is a template document with one test location, for the names to look for.
    explicit PDDXIndex(const PDDXFile& scratch)
    {
        for (const PDDXSection& section : scratch.Sections()) {
            std::vector<std::string_view> keys;
            for (const PDDXElement& element : section.Elements()) keys.push_back(element.Handle());
            if (section.Handle().starts_with(kLocation)) {
                locationKeys_ = std::move(keys);
                continue;
            }
            templateNames_.push_back(section.Handle());
            templates_.emplace_back().keys.resize(keys.size());
            templateKeys_.push_back(std::move(keys));
        }
    }

    void Read(ByteSource& input, DocumentText& text)
    {
        NativeLines lines(input, true);
        std::string_view line;
        while (lines.Next(line)) {
            line = Trimmed(line);
            if (line.empty()) continue;
            if (line.front() == '[') {
                Open(Trimmed(line.substr(1, std::min(line.find(']'), line.size()) - 1)));
                continue;
            }
            const std::size_t equals = line.find('=');
            if (!current_ || equals == std::string_view::npos) continue;
            std::string_view value = Trimmed(line.substr(equals + 1));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            if (const char** slot = Slot(Trimmed(line.substr(0, equals))); slot && !*slot)
                *slot = text.KeepShort(value.substr(0, ProfileFile::kMaxValueLength));
        }
        for (Section& location : locations_)
            std::stable_sort(location.farDrops.begin(), location.farDrops.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
    }

    // The kept value of a template section's key, or nullptr.
    const char* Template(std::string_view section, std::string_view key) const
    {
        const int s = IndexOf(templateNames_, section);
        const int k = s < 0 ? -1 : IndexOf(templateKeys_[static_cast<std::size_t>(s)], key);
        return k < 0 ? nullptr : templates_[static_cast<std::size_t>(s)].keys[static_cast<std::size_t>(k)];
    }

    // Test location n as the file has it, or nullptr.
    const Section* Location(int n) const
    {
        const auto at = static_cast<std::size_t>(n - 1);
        return n >= 1 && at < locations_.size() && locations_[at].seen ? &locations_[at] : nullptr;
    }

    const char* LocationKey(const Section* location, std::string_view key) const
    {
        const int k = location ? IndexOf(locationKeys_, key) : -1;
        return k < 0 ? nullptr : location->keys[static_cast<std::size_t>(k)];
    }

private:
    static constexpr std::string_view kLocation = "Test Location ";

    void Open(std::string_view name)
    {
        current_ = nullptr;
        if (const int n = NumberAfter(name, kLocation)) {
            if (static_cast<std::size_t>(n) > locations_.size()) locations_.resize(static_cast<std::size_t>(n));
            current_ = &locations_[static_cast<std::size_t>(n - 1)];
            currentKeys_ = &locationKeys_;
        } else if (const int t = IndexOf(templateNames_, name); t >= 0) {
            current_ = &templates_[static_cast<std::size_t>(t)];
            currentKeys_ = &templateKeys_[static_cast<std::size_t>(t)];
        }
        if (!current_) return;
        if (current_->seen) {
            current_ = nullptr;  // only the first section of a name counts
            return;
        }
        current_->seen = true;
        current_->keys.resize(currentKeys_->size());
    }

    // Where the value of `key` in the current section goes; nullptr when no one asks for it.
    const char** Slot(std::string_view key)
    {
        if (currentKeys_ == &locationKeys_) {
            if (const int j = NumberAfter(key, "DropData_")) return DropSlot(*current_, static_cast<std::size_t>(j));
        }
        const int k = IndexOf(*currentKeys_, key);
        return k < 0 ? nullptr : &current_->keys[static_cast<std::size_t>(k)];
    }

    // Drops are kept by number while the numbers stay near those already seen, so that a file
    // cannot make a large table out of a few far numbers.
    static const char** DropSlot(Section& location, std::size_t j)
    {
        std::vector<const char*>& drops = location.drops;
        if (j > drops.size() && j <= 2 * drops.size() + 64) drops.resize(j);
        if (j <= drops.size()) return &drops[j - 1];
        return &location.farDrops.emplace_back(static_cast<int>(j), nullptr).second;
    }

    std::vector<std::string_view> templateNames_;
    std::vector<std::vector<std::string_view>> templateKeys_;
    std::vector<std::string_view> locationKeys_;
    std::vector<Section> templates_;
    std::vector<Section> locations_;  // test location n at n - 1
    Section* current_ = nullptr;
    const std::vector<std::string_view>* currentKeys_ = nullptr;
};

void Give(PDDXElement& element, const char* kept)
{
    if (kept) element.TakeValue(kept);
    else element.SetValue({});
}

// Test location i of the file as the document's location `location`: its nine values, empty
// ones included, then the drops its NumberOfDrops announces (none when that is not a number).
void ReadTestLocation(const PDDXIndex& index, int i, PDDXSection& location)
{
    const PDDXIndex::Section* file = index.Location(i);
    const int drops = WholeNumber(KeptValue(index.LocationKey(file, "NumberOfDrops"))).value_or(0);
    for (PDDXElement& element : location.Elements())
        Skippable([&] { Give(element, index.LocationKey(file, element.Handle())); });
    for (int j = 1; j <= drops; ++j)
        Skippable([&] { Give(location.AddDropData(j), file ? file->Drop(j) : nullptr); });
}

}  // namespace

void ReadPDDXFile(ByteSource& input, PDDXFile& document, bool append, int& numSensors)
{
    PDDXFile scratch;
    const int templateSections = scratch.Sections().Count();
    scratch.AddTestLocation();
    PDDXIndex index(scratch);
    index.Read(input, document.Text());

    // The template's values: a new document takes every one, empty ones included; appending
    // never blanks a value out and never copies the counters.
    for (int s = 1; s <= templateSections; ++s) {
        const PDDXSection& section = scratch.Sections().Item(s);
        for (const PDDXElement& element : section.Elements())
            Skippable([&] {
                if (append && (EqualsIgnoreCase(element.Handle(), "NumberOfTestLocations") ||
                               EqualsIgnoreCase(element.Handle(), "NumberOfDrops")))
                    return;
                const char* kept = index.Template(section.Handle(), element.Handle());
                if (!KeptValue(kept).empty() || !append) Give(document.Element(section.Handle(), element.Handle()), kept);
            });
    }

    Skippable([&] {
        const int n = ToInt32(document.Element("Device Configuration", "NumberOfDeflectionSensors").Value());
        if (n > 0) numSensors = n;
    });

    const int locations =
        WholeNumber(KeptValue(index.Template("Deflection Data", "NumberOfTestLocations"))).value_or(0);
    // New: the file's numbers, its counter already read. Appending: numbered after the document's
    // own locations, raising its counter.
    for (int i = 1; i <= locations; ++i)
        Skippable([&] { ReadTestLocation(index, i, document.AddTestLocation(append ? 0 : i)); });
}

}  // namespace vantrel
