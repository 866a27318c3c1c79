// Reads a PDDX (.DDX) file into a new document or appends it to an existing one, looking values
// up by the rules of a profile file (see base/ProfileFile.h). Other programs' files are taken
// whole: every test location, drop and drop history in file order, numbered from 1 whatever
// numbers the file gives them, and every key and section the template lacks, kept in place.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/ByteWords.h"
#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/NumberText.h"
#include "base/ReadError.h"
#include "base/ReadWarnings.h"
#include "document/PDDXFile.h"
#include "document/TemplateNames.h"
#include "import/FileFormats.h"
#include "import/PddxDrops.h"
#include "import/ReaderInput.h"
#include "import/ReaderSupport.h"
#include "import/Sniffing.h"

namespace vantrel {

namespace {

constexpr std::string_view kLocationPrefix = pddx::TestLocation::kPrefix;
constexpr std::string_view kDropPrefix = pddx::TestLocation::kDropDataPrefix;
constexpr std::string_view kHistoryPrefix = pddx::TestLocation::kDropHistoryDataPrefix;

// Spellings other writers give keys of the template, each with the element it stands for.
struct VariantKey {
    std::string_view Spelling;
    SectionAndKey Standard;
};
constexpr VariantKey kVariantKeys[] = {
    {"SensorLocationUnits", pddx::Units::SensorsLocationUnits},
    {"SensorSerialNumber", pddx::DeviceInformation::SensorSerialNumbers},
};

// What a counter's text says (empty counts as 0); nullopt where it is not a whole number.
std::optional<int> CounterSays(std::string_view text)
{
    try {
        return CounterValue(text);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

// Runs one step of the reading; a step that fails on its input is skipped.
template <typename Step>
void Skippable(Step&& step)
{
    OnInputError(std::forward<Step>(step), [](const char*) {});
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The whole text as a decimal number from 0 to 2147483647 (other writers count from 0 and may
// pad with zeros); -1 for any other text.
int Digits(std::string_view text)
{
    if (text.empty()) return -1;
    long long n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
        if (n > std::numeric_limits<int>::max()) return -1;
    }
    return static_cast<int>(n);
}

// n where `text` is `prefix` (any letter case) followed by n; -1 for any other text.
int NumberAfter(std::string_view text, std::string_view prefix)
{
    if (text.size() <= prefix.size() || !EqualsIgnoreCase(text.substr(0, prefix.size()), prefix)) return -1;
    return Digits(text.substr(prefix.size()));
}

// The drop and sample numbers of "DropHistoryData_" + drop + "_" + sample; false for other text.
bool HistoryNumbers(std::string_view key, int& drop, int& sample)
{
    if (key.size() <= kHistoryPrefix.size() || !EqualsIgnoreCase(key.substr(0, kHistoryPrefix.size()), kHistoryPrefix))
        return false;
    const std::string_view numbers = key.substr(kHistoryPrefix.size());
    const std::size_t under = numbers.find('_');
    if (under == std::string_view::npos) return false;
    drop = Digits(numbers.substr(0, under));
    sample = Digits(numbers.substr(under + 1));
    return drop >= 0 && sample >= 0;
}

int IndexOf(const std::vector<std::string_view>& names, std::string_view name)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (EqualsIgnoreCase(names[i], name)) return static_cast<int>(i);
    return -1;
}

std::string Counted(long long n, const std::string& one, const std::string& many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string LocationName(int n) { return std::string(kLocationPrefix) + std::to_string(n); }
std::string DropName(int d) { return std::string(kDropPrefix) + std::to_string(d); }
std::string HistoryName(int d, int s)
{
    return std::string(kHistoryPrefix) + std::to_string(d) + "_" + std::to_string(s);
}

// The numbers seen since the last Clear, each with what it stands for (above 0): a table by
// number while the numbers stay near the count seen, so that a few far numbers cannot make a
// large one.
class NumberMap {
public:
    // false, and nothing changed, when `n` was seen already.
    bool Insert(int n, int to)
    {
        if (Find(n)) return false;
        const auto at = static_cast<std::size_t>(n);
        if (at >= near_.size() && at <= 2 * seen_ + 64) near_.resize(at + 1);
        if (at < near_.size()) near_[at] = {generation_, to};
        else far_.emplace(n, to);
        ++seen_;
        return true;
    }
    // What `n` stands for; 0 when it was not seen.
    int Find(int n) const
    {
        const auto at = static_cast<std::size_t>(n);
        if (at < near_.size() && near_[at].first == generation_) return near_[at].second;
        if (far_.empty()) return 0;
        const auto found = far_.find(n);
        return found == far_.end() ? 0 : found->second;
    }
    void Clear()
    {
        ++generation_;
        seen_ = 0;
        if (!far_.empty()) far_.clear();
    }

private:
    std::vector<std::pair<std::uint32_t, int>> near_;  // by number: the generation it was seen in, and its value
    std::uint32_t generation_ = 1;
    std::size_t seen_ = 0;
    std::unordered_map<int, int> far_;
};

// The first of the things renumbered, and how many there were.
struct Renumbering {
    int line = 0;
    std::string first;  // "X read as Y"
    long long count = 0;

    void Note(int atLine, const std::string& from, const std::string& to)
    {
        if (count++ == 0) {
            line = atLine;
            first = from + " read as " + to;
        }
    }
    void Report(ReadWarnings& warnings, const std::string& one, const std::string& many, const std::string& how) const
    {
        if (count > 0) warnings.Add(line, first + "; " + Counted(count, one, many) + " renumbered, " + how);
    }
};

// "NumberOfDrops says 2, the location holds 3 drops; all 3 were read", or nothing where the
// counter agrees with what is held.
std::optional<std::string> CounterDisagreement(std::string_view counter, std::optional<std::string_view> text,
                                               std::string_view holder, int held, int read, const std::string& what)
{
    if (text ? CounterSays(*text) == held : held == 0) return std::nullopt;
    const std::string_view trimmed = text ? Trimmed(*text) : std::string_view();
    std::string said(counter);
    if (!text) said += " is missing";
    else if (trimmed.empty()) said += " is empty";
    else said += " says " + (CounterSays(trimmed) ? std::string(trimmed) : Quoted(trimmed));
    said += ", " + std::string(holder) + " holds " + (held == 0 ? "no " + what + "s" : Counted(held, what, what + "s"));
    if (read < held) said += "; " + std::to_string(read) + " were read";
    else if (held > 0) said += held == 1 ? "; it was read" : "; all " + std::to_string(held) + " were read";
    return said;
}

// A file's sections and keys in one pass over its lines, values kept in the document's text as
// they are read (KeepShort), so that the elements take them without a copy. Of each section and
// each key the first counts; test locations, drops and drop histories are numbered from 1 in file
// order, as the document will hold them.
class PDDXIndex {
public:
    // A drop history or a key the template lacks, in file order.
    struct Extra {
        const char* value;
        std::int32_t after;         // the drops that come before it
        std::int32_t name;          // of a key the template lacks; -1 for a history
        std::int32_t drop, sample;  // of a history, as the document numbers them; drop 0: left out
    };

    struct Section {
        std::vector<const char*> keys;   // the template's keys, by position
        std::vector<int> keyLines;       // of a template section's keys, by position
        std::vector<const char*> drops;  // DropData values, numbered from 1
        std::vector<Extra> extras;
        std::string name;     // of a section the template lacks
        int fileNumber = -1;  // of a test location
        int line = 0;         // of the header
        int counterLine = 0;  // of NumberOfDrops or NumberOfTestLocations
        bool seen = false;
    };

    // `scratch` is a template document with one test location, for the names to look for.
    PDDXIndex(const PDDXFile& scratch, DocumentText& text, ReadWarnings& warnings) : text_(text), warnings_(warnings)
    {
        for (const PDDXSection& section : scratch.Sections()) {
            std::vector<std::string_view> keys;
            for (const PDDXElement& element : section.Elements()) keys.push_back(element.Handle());
            if (section.Handle().starts_with(kLocationPrefix)) {
                locationKeys_ = std::move(keys);
                continue;
            }
            templateNames_.push_back(section.Handle());
            Section& kept = templates_.emplace_back();
            kept.keys.resize(keys.size());
            kept.keyLines.resize(keys.size());
            templateKeys_.push_back(std::move(keys));
        }
    }

    // Counts the commas of each drop's value as it is read (see MostCommas).
    void CountCommas() { countCommas_ = true; }
    std::size_t MostCommas() const { return mostCommas_; }

    void Read(ByteSource& input)
    {
        NativeLines lines(input);
        std::string_view line;
        while (lines.Next(line)) {
            line = Trimmed(line);
            if (line.empty()) continue;
            const int number = lines.Number();
            if (line.front() == '[') {
                Open(Trimmed(line.substr(1, std::min(line.find(']'), line.size()) - 1)), number);
                continue;
            }
            if (ignoring_) continue;
            const std::size_t equals = line.find('=');
            const std::string_view key = Trimmed(line.substr(0, equals));
            if (equals == std::string_view::npos || key.empty()) {
                warnings_.Add(number, "not a [section] header nor a key = value line; ignored");
                continue;
            }
            if (!current_) {
                warnings_.Add(number, "a key before any [section]; ignored");
                continue;
            }
            std::string_view value = Trimmed(line.substr(equals + 1));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            Take(key, value, number);
        }
        CloseLocation();
        TakeVariants();
        AlignSensorOffsets();
    }

    int Template(std::string_view name) const { return IndexOf(templateNames_, name); }
    const Section& TemplateSection(int t) const { return templates_[static_cast<std::size_t>(t)]; }
    // The kept value of a template section's key, or nullptr.
    const char* TemplateValue(int t, std::string_view key) const
    {
        const int k = IndexOf(templateKeys_[static_cast<std::size_t>(t)], key);
        return k < 0 ? nullptr : TemplateSection(t).keys[static_cast<std::size_t>(k)];
    }
    // The kept value of one of a test location's nine keys, or nullptr.
    const char* LocationValue(const Section& location, std::string_view key) const
    {
        const int k = IndexOf(locationKeys_, key);
        return k < 0 ? nullptr : location.keys[static_cast<std::size_t>(k)];
    }
    // Test locations and sections the template lacks, in file order.
    std::vector<Section>& Added() { return added_; }
    // The values longer than the document's text keeps, once the document has what it needs of them.
    LongValues TakeLongValues() { return std::move(longValues_); }
    int LocationCount() const { return locations_; }
    const ElementName& ExtraName(const Extra& extra) const
    {
        return *extraNames_[static_cast<std::size_t>(extra.name)];
    }
    void ReportRenumbering(ReadWarnings& warnings) const
    {
        drops_.Report(warnings, "drop", "drops", "from 1 in each test location in file order");
        histories_.Report(warnings, "drop history", "drop histories", "with their drops, samples from 1 in file order");
    }

    // A kept value's text; empty for none.
    std::string_view Value(const char* kept) const { return KeptOrLongValue(kept, longValues_); }

    // Gives `element` a kept value, or empty text for none.
    void Give(PDDXElement& element, const char* kept) const
    {
        if (kept && kept[0] == 0 && longValues_.contains(kept)) element.SetValue(Value(kept));
        else if (kept) element.TakeValue(kept);
        else element.SetValue({});
    }

private:
    // A value longer than KeepShort takes is kept aside, behind an empty kept value of its own.
    const char* Keep(std::string_view value)
    {
        if (value.size() <= 255) return text_.KeepShort(value);
        const char* marker = text_.KeepShort({});
        longValues_.emplace(marker, std::string(value));
        return marker;
    }

    void Open(std::string_view name, int line)
    {
        CloseLocation();
        current_ = nullptr;
        currentKeys_ = nullptr;
        currentTemplate_ = -1;
        ignoring_ = true;
        const auto repeated = [&](const std::string& what) {
            warnings_.Add(line, "[" + std::string(name) + "] repeats " + what + "; its lines are ignored");
        };
        Section* section = nullptr;
        if (const int n = NumberAfter(name, kLocationPrefix); n >= 0) {
            if (!locationNumbers_.Insert(n, 1)) return repeated("test location " + std::to_string(n));
            section = &added_.emplace_back();
            section->fileNumber = n;
            section->keys.resize(locationKeys_.size());
            currentKeys_ = &locationKeys_;
            ++locations_;
            dropNumbers_.Clear();
            if (!historyNumbers_.empty()) historyNumbers_.clear();
        } else if (const int t = IndexOf(templateNames_, name); t >= 0) {
            section = &templates_[static_cast<std::size_t>(t)];
            if (section->seen) return repeated("an earlier section");
            currentKeys_ = &templateKeys_[static_cast<std::size_t>(t)];
            currentTemplate_ = t;
        } else {
            if (!otherSections_.insert(UpperCase(name)).second) return repeated("an earlier section");
            section = &added_.emplace_back();
            section->name = name;
        }
        section->seen = true;
        section->line = line;
        current_ = section;
        ignoring_ = false;
        if (!extraKeys_.empty()) extraKeys_.clear();
    }

    // DropData_d of a test location; false where the location has one already.
    bool TakeDrop(Section& section, int d, std::string_view value, int line)
    {
        const auto after = static_cast<std::int32_t>(section.drops.size());
        if (!dropNumbers_.Insert(d, after + 1)) return false;
        if (d != after + 1) drops_.Note(line, DropName(d), DropName(after + 1));
        section.drops.push_back(Keep(value));
        if (countCommas_) mostCommas_ = std::max(mostCommas_, CommasIn(value));
        return true;
    }

    void Take(std::string_view key, std::string_view value, int line)
    {
        Section& section = *current_;
        const auto repeated = [&] {
            warnings_.Add(line, std::string(key) + " repeats an earlier key of this section; ignored");
        };
        const auto after = static_cast<std::int32_t>(section.drops.size());
        if (section.fileNumber >= 0) {
            if (const int d = NumberAfter(key, kDropPrefix); d >= 0) {
                if (!TakeDrop(section, d, value, line)) repeated();
                return;
            }
            int drop = 0, sample = 0;
            if (HistoryNumbers(key, drop, sample)) {
                const auto both = static_cast<std::uint64_t>(drop) << 32 | static_cast<std::uint32_t>(sample);
                if (!historyNumbers_.insert(both).second) return repeated();
                section.extras.push_back({Keep(value), after, -1, drop, sample});
                historyLines_.push_back(line);
                return;
            }
        }
        if (currentKeys_) {
            if (const int k = IndexOf(*currentKeys_, key); k >= 0) {
                const char*& slot = section.keys[static_cast<std::size_t>(k)];
                if (slot) return repeated();
                slot = Keep(value);
                if (!section.keyLines.empty()) section.keyLines[static_cast<std::size_t>(k)] = line;
                if (EqualsIgnoreCase(key, pddx::TestLocation::NumberOfDrops) ||
                    EqualsIgnoreCase(key, pddx::DeflectionData::NumberOfTestLocations.Key))
                    section.counterLine = line;
                return;
            }
        }
        if (!extraKeys_.insert(UpperCase(key)).second) return repeated();
        extraNames_.push_back(&text_.Name(key, {}));
        section.extras.push_back({Keep(value), after, static_cast<std::int32_t>(extraNames_.size() - 1), 0, 0});
        NoteVariant(key, line);
    }

    // Notes a key the template lacks that is another writer's spelling of a key of this section.
    void NoteVariant(std::string_view key, int line)
    {
        if (currentTemplate_ < 0) return;
        const auto t = static_cast<std::size_t>(currentTemplate_);
        for (const VariantKey& variant : kVariantKeys)
            if (variant.Standard.Section == templateNames_[t] && EqualsIgnoreCase(key, variant.Spelling))
                variants_.push_back({t, static_cast<std::size_t>(IndexOf(templateKeys_[t], variant.Standard.Key)),
                                     templates_[t].extras.size() - 1, &variant, line});
    }

    // Another writer's spelling gives the template's key its value, unless the file gives the
    // template's own spelling too: then that stands and the other is kept as a key the template
    // lacks. One warning names the spellings read as the template's.
    void TakeVariants()
    {
        if (variants_.empty()) return;
        std::string said;
        int line = 0;
        for (Variant& variant : variants_) {
            Section& section = templates_[variant.section];
            if (section.keys[variant.key]) continue;
            section.keys[variant.key] = section.extras[variant.extra].value;
            section.keyLines[variant.key] = variant.line;
            variant.taken = true;
            if (said.empty()) line = variant.line;
            said += (said.empty() ? "" : ", ") + std::string(variant.spelling->Spelling) +
                    (said.empty() ? " read as " : " as ") + std::string(variant.spelling->Standard.Key);
        }
        // Extras go from the last, so that the places of those before stay right.
        for (auto variant = variants_.rbegin(); variant != variants_.rend(); ++variant)
            if (variant->taken) {
                std::vector<Extra>& extras = templates_[variant->section].extras;
                extras.erase(extras.begin() + static_cast<std::ptrdiff_t>(variant->extra));
            }
        if (line > 0) warnings_.Add(line, said + ": other writers' spellings of the standard template's keys");
    }

    // Some writers list an offset of 0 for the plate before the sensors' offsets, as DropData
    // gives the load before the deflections: a list of one offset more than
    // NumberOfDeflectionSensors whose first is 0 leaves the sensors the rest.
    void AlignSensorOffsets()
    {
        const int t = Template(pddx::DeviceConfiguration::kSection);
        Section& configuration = templates_[static_cast<std::size_t>(t)];
        const int x = IndexOf(templateKeys_[static_cast<std::size_t>(t)],
                              pddx::DeviceConfiguration::DeflectionSensorXAxisDistances.Key);
        const char*& offsets = configuration.keys[static_cast<std::size_t>(x)];
        const std::optional<int> sensors =
            CounterSays(Value(TemplateValue(t, pddx::DeviceConfiguration::NumberOfDeflectionSensors.Key)));
        if (!offsets || !sensors || *sensors <= 0) return;
        const std::string_view list = Value(offsets);
        const std::size_t comma = list.find(',');
        if (CommasIn(list) != static_cast<std::size_t>(*sensors) || FiniteNumber(Trimmed(list.substr(0, comma))) != 0.0)
            return;
        offsets = Keep(Trimmed(list.substr(comma + 1)));
        warnings_.Add(configuration.keyLines[static_cast<std::size_t>(x)],
                      "DeflectionSensorXAxisDistances lists " + std::to_string(*sensors + 1) + " offsets for " +
                          std::to_string(*sensors) +
                          " sensors (NumberOfDeflectionSensors), the first 0: that one was taken for the plate, the "
                          "others for the sensors");
    }

    // Once all of a test location's drops are known: its histories numbered with their drops,
    // and their samples from 1 for each drop, in file order.
    void CloseLocation()
    {
        if (historyLines_.empty()) return;
        Section& location = added_.back();
        std::vector<int> samples(location.drops.size() + 1);
        std::size_t h = 0;
        for (Extra& extra : location.extras) {
            if (extra.name >= 0) continue;
            const int line = historyLines_[h++];
            const int d = dropNumbers_.Find(extra.drop);
            if (d == 0) {
                warnings_.Add(line, HistoryName(extra.drop, extra.sample) + ": the test location has no " +
                                        DropName(extra.drop) + "; ignored");
            } else if (const int s = ++samples[static_cast<std::size_t>(d)]; d != extra.drop || s != extra.sample) {
                histories_.Note(line, HistoryName(extra.drop, extra.sample), HistoryName(d, s));
                extra.sample = s;
            }
            extra.drop = d;
        }
        historyLines_.clear();
    }

    // A key met in another writer's spelling.
    struct Variant {
        std::size_t section, key;  // the template's section and key it stands for
        std::size_t extra;         // its place among the section's extras
        const VariantKey* spelling;
        int line;
        bool taken = false;  // read as the template's key
    };

    DocumentText& text_;
    ReadWarnings& warnings_;
    std::vector<Variant> variants_;
    std::vector<std::string_view> templateNames_;
    std::vector<std::vector<std::string_view>> templateKeys_;
    std::vector<std::string_view> locationKeys_;
    std::vector<Section> templates_;
    std::vector<Section> added_;
    std::vector<const ElementName*> extraNames_;
    LongValues longValues_;
    NumberMap locationNumbers_;
    NumberMap dropNumbers_;                                      // of the current test location: by number in the file
    std::unordered_set<std::uint64_t> historyNumbers_;           // of the current test location
    std::vector<int> historyLines_;                              // of the current test location's histories
    std::unordered_set<std::string> otherSections_, extraKeys_;  // upper case
    Renumbering drops_, histories_;
    int locations_ = 0;
    Section* current_ = nullptr;
    const std::vector<std::string_view>* currentKeys_ = nullptr;
    int currentTemplate_ = -1;
    bool ignoring_ = false;
    bool countCommas_ = false;
    std::size_t mostCommas_ = 0;
};

// A key the template lacks, into `section`; appending gives an existing one a non-empty value.
void GiveExtra(const PDDXIndex& index, const PDDXIndex::Extra& extra, PDDXSection& section, bool append)
{
    const ElementName& name = index.ExtraName(extra);
    PDDXElement* element = section.Elements().Find(name.handle, name.hash);
    if (element && append && index.Value(extra.value).empty()) return;
    if (!element) {
        section.AddElement(name.handle, {}, kText, {});
        element = &section.Element(name.handle);
    }
    index.Give(*element, extra.value);
}

// The file's test location `file` as the document's `location`: its nine values, empty ones
// included, then its drops (or, with `apart`, their values there), drop histories and other keys
// in file order. NumberOfDrops counts the drops.
void ReadTestLocation(const PDDXIndex& index, PDDXIndex::Section& file, PDDXSection& location, ReadWarnings& warnings,
                      PDDXDropValues* apart)
{
    // Drops apart are handed on as the index keeps them.
    const int held = static_cast<int>(file.drops.size());
    std::vector<const char*> drops;
    if (apart) apart->Locations.push_back(std::move(file.drops));
    else drops = std::move(file.drops);
    // A new location holds the nine keys in the order the index keeps them.
    std::size_t k = 0;
    for (PDDXElement& element : location.Elements()) {
        const char* kept = file.keys[k++];
        Skippable([&] { index.Give(element, kept); });
    }
    std::size_t given = 0;
    const auto dropsUpTo = [&](std::size_t n) {
        for (n = std::min(n, drops.size()); given < n; ++given)
            Skippable([&] { index.Give(location.AddDropData(static_cast<int>(given + 1)), drops[given]); });
    };
    for (const PDDXIndex::Extra& extra : file.extras) {
        dropsUpTo(static_cast<std::size_t>(extra.after));
        if (extra.name >= 0) Skippable([&] { GiveExtra(index, extra, location, false); });
        else if (extra.drop > 0)
            Skippable([&] { index.Give(location.AddHistoryData(extra.drop, extra.sample), extra.value); });
    }
    dropsUpTo(drops.size());

    const char* said = index.LocationValue(file, pddx::TestLocation::NumberOfDrops);
    const std::optional<std::string> disagreement =
        CounterDisagreement(pddx::TestLocation::NumberOfDrops, said ? std::optional(index.Value(said)) : std::nullopt,
                            "the location", held, held, "drop");
    if (!disagreement) return;
    warnings.Add(file.counterLine ? file.counterLine : file.line, *disagreement);
    Skippable([&] { location.Element(pddx::TestLocation::NumberOfDrops).SetValue(std::to_string(held)); });
}

// A section the template lacks, as a section of its own with its keys in file order; one the
// document has already is left out.
void ReadOtherSection(const PDDXIndex& index, const PDDXIndex::Section& file, PDDXFile& document,
                      ReadWarnings& warnings)
{
    if (document.Sections().Contains(file.name)) {
        warnings.Add(file.line, "[" + file.name + "] is in the document already; its lines are ignored");
        return;
    }
    PDDXSection& section = document.Sections().Emplace(file.name);
    section.SetParent(&document);
    for (const PDDXIndex::Extra& extra : file.extras) Skippable([&] { GiveExtra(index, extra, section, false); });
}

// The template's values: a new document takes every one, empty ones included; appending never
// blanks a value out and never copies the counters. Keys the template lacks follow.
void ReadTemplateSections(const PDDXIndex& index, const PDDXFile& scratch, int templateSections, PDDXFile& document,
                          bool append)
{
    for (int s = 1; s <= templateSections; ++s) {
        const PDDXSection& section = scratch.Sections().Item(s);
        const int t = index.Template(section.Handle());
        for (const PDDXElement& element : section.Elements())
            Skippable([&] {
                if (append && (EqualsIgnoreCase(element.Handle(), pddx::DeflectionData::NumberOfTestLocations.Key) ||
                               EqualsIgnoreCase(element.Handle(), pddx::TestLocation::NumberOfDrops)))
                    return;
                const char* kept = index.TemplateValue(t, element.Handle());
                if (!index.Value(kept).empty() || !append)
                    index.Give(document.Element(section.Handle(), element.Handle()), kept);
            });
        for (const PDDXIndex::Extra& extra : index.TemplateSection(t).extras)
            Skippable([&] { GiveExtra(index, extra, document.Section(section.Handle()), append); });
    }
}

// The file's test locations and sections the template lacks, in file order; returns how many test
// locations were read. New: numbered from 1 in file order. Appending: numbered after the
// document's own locations, raising its counter.
int ReadAddedSections(PDDXIndex& index, PDDXFile& document, bool append, ReadWarnings& warnings, PDDXDropValues* apart)
{
    int read = 0;
    Renumbering locations;
    for (PDDXIndex::Section& file : index.Added()) {
        if (file.fileNumber < 0) {
            Skippable([&] { ReadOtherSection(index, file, document, warnings); });
            continue;
        }
        const int n = append ? 0 : read + 1;
        Skippable([&] {
            PDDXSection& location = document.AddTestLocation(n);
            ++read;
            if (!append && n != file.fileNumber)
                locations.Note(file.line, "[" + LocationName(file.fileNumber) + "]", LocationName(n));
            ReadTestLocation(index, file, location, warnings, apart);
        });
    }
    locations.Report(warnings, "test location", "test locations", "from 1 in file order");
    return read;
}

// A NumberOfTestLocations that disagrees with the test locations the file holds is told; a new
// document's counter then counts those `read`.
void CheckLocationCounter(const PDDXIndex& index, int read, PDDXFile& document, bool append, ReadWarnings& warnings)
{
    const SectionAndKey& counter = pddx::DeflectionData::NumberOfTestLocations;
    const int deflection = index.Template(counter.Section);
    const char* said = index.TemplateValue(deflection, counter.Key);
    const std::optional<std::string> disagreement =
        CounterDisagreement(counter.Key, said ? std::optional(index.Value(said)) : std::nullopt, "the file",
                            index.LocationCount(), read, "test location");
    if (!disagreement) return;
    warnings.Add(index.TemplateSection(deflection).counterLine, *disagreement);
    if (!append) Skippable([&] { document.Element(counter).SetValue(std::to_string(read)); });
}

}  // namespace

// numSensors is the program-wide sensor count; a NumberOfDeflectionSensors above 0 replaces it.
// What was renumbered, which counter disagreed with what the file holds (the document's counters
// then count what was read) and which lines were ignored go to `warnings`. A text that cannot be
// read to its end (too long a line, a file changed meanwhile) is a ReadError and leaves the
// document as it was. With `apart`, the drops go there (see ReadPDDXDropsApart).
void ReadPDDXFile(ByteSource& input, PDDXFile& document, bool append, int& numSensors, ReadWarnings& warnings,
                  PDDXDropValues* apart = nullptr)
{
    PDDXFile scratch;
    const int templateSections = scratch.Sections().Count();
    scratch.AddTestLocation();
    PDDXIndex index(scratch, document.Text(), warnings);
    // A drop's commas are counted where its line is at hand; a table of drops apart needs them.
    if (apart) index.CountCommas();
    index.Read(input);

    ReadTemplateSections(index, scratch, templateSections, document, append);
    Skippable([&] {
        const int n = ToInt32(document.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors).Value());
        if (n > 0) numSensors = n;
    });
    const int read = ReadAddedSections(index, document, append, warnings, apart);
    index.ReportRenumbering(warnings);
    CheckLocationCounter(index, read, document, append, warnings);
    if (apart) {
        apart->LongValues = index.TakeLongValues();
        apart->MostCommas = index.MostCommas();
    }
}

// PDDX: a mark for each section name of the standard template ("Test Location n" counted once)
// that heads a line, whatever else the text holds (comments, notes before the first section).
// An INI text without them (a settings file) is left unrecognised rather than taken for a document.
int SniffPDDX(const SniffSample& sample)
{
    static constexpr std::string_view kSections[] = {pddx::PavementDeflectionDataExchangeFile::kSection,
                                                     pddx::OperationsInformation::kSection,
                                                     pddx::Units::kSection,
                                                     pddx::DeviceInformation::kSection,
                                                     pddx::DeviceConfiguration::kSection,
                                                     pddx::DeviceCalibration::kSection,
                                                     pddx::LocationIdentification::kSection,
                                                     pddx::DeflectionData::kSection,
                                                     pddx::TestLocation::kPrefix};
    bool seen[std::size(kSections)] = {};
    for (std::string_view line : sample.Filled()) {
        line = TrimBlanks(line);
        const std::size_t close = line.find(']');
        if (line.front() != '[' || close == std::string_view::npos) continue;
        const std::string section = UpperCase(TrimBlanks(line.substr(1, close - 1)));
        for (std::size_t i = 0; i < std::size(kSections); ++i) {
            const std::string name = UpperCase(kSections[i]);
            seen[i] = seen[i] || (name.ends_with(' ') ? section.starts_with(name) : section == name);
        }
    }
    return Score(static_cast<int>(std::count(std::begin(seen), std::end(seen), true)));
}

void ReadPDDX(ReaderContext& context, ReaderInput& input, PDDXFile& document, bool append)
{
    ReadPDDXFile(input.Bytes, document, append, context.NumSensors, context.Warnings);
}

void ReadPDDXDropsApart(ReaderContext& context, ReaderInput& input, PDDXFile& document, PDDXDropValues& drops)
{
    ReadPDDXFile(input.Bytes, document, false, context.NumSensors, context.Warnings, &drops);
}

}  // namespace vantrel
