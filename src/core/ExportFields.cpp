#include "core/ExportFields.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/ByteWords.h"
#include "base/Latin1.h"
#include "base/NumberText.h"
#include "import/Sniffing.h"

namespace vantrel {
namespace {

// A spreadsheet takes a cell that starts with one of these for a formula and runs it; a station or
// lane typed as "=HYPERLINK(...)" must stay text. Numbers ("-12.5") stay numbers, and so does the
// name of standard input, "-".
bool ReadAsFormula(std::string_view text)
{
    if (text.empty() || text == "-") return false;
    const char c = text.front();
    return (c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r') && !IsNumberText(text);
}

}  // namespace

std::string ValueOf(const PDDXSection& section, std::string_view key)
{
    const PDDXElement* element = section.Elements().Find(key);
    return std::string(element ? element->Value() : std::string_view());
}

std::string ValueOf(const PDDXFile& document, const SectionAndKey& name)
{
    return ValueOf(document.Section(name.Section), name.Key);
}

void Field(std::string& row, std::string_view text, bool latin1, bool first)
{
    if (!first) row += ',';
    if (ReadAsFormula(text)) {
        Field(row, "'" + std::string(text), latin1, true);
        return;
    }
    // Nearly every field (numbers) is written as it stands: one look at each character says so.
    const unsigned char highest = latin1 ? 0x7F : 0xFF;
    const auto special = [highest](char c) {
        return c == ',' || c == '"' || c == '\r' || c == '\n' || static_cast<unsigned char>(c) > highest;
    };
    if (std::none_of(text.begin(), text.end(), special)) {
        row.append(text);
        return;
    }
    bool quoted = false;
    for (const char c : text) quoted = quoted || c == ',' || c == '"' || c == '\r' || c == '\n';
    if (quoted) row += '"';
    for (const char c : text) {
        if (c == '"') row += '"';
        if (latin1 && static_cast<unsigned char>(c) >= 0x80) row += Utf8FromLatin1(std::string_view(&c, 1));
        else row += c;
    }
    if (quoted) row += '"';
}

std::vector<std::string_view> Items(std::string_view value)
{
    std::vector<std::string_view> items;
    Items(value, items);
    return items;
}

namespace {

// The longest drop value the one-pass writer takes; longer ones go the general way.
constexpr std::size_t kPlainLimit = 1024;

// A value whose characters can be read eight at a time as one word anywhere in it: a word that
// reaches past its end from a copy of its last sixteen characters followed by commas.
class WordsOf {
public:
    explicit WordsOf(std::string_view value) : value_(value), tailStart_(value.size() > 16 ? value.size() - 16 : 0)
    {
        if (value.size() >= 16) std::memcpy(tail_, value.data() + tailStart_, 16);
        else std::copy_n(value.data(), value.size(), tail_);
        std::memset(tail_ + (value.size() - tailStart_), ',', 16);
    }
    // The eight characters from `at` on.
    const char* At(std::size_t at) const
    {
        return at + 8 <= value_.size() ? value_.data() + at : tail_ + (at - tailStart_);
    }

private:
    std::string_view value_;
    std::size_t tailStart_;
    char tail_[32];
};

// Where each item of `value` ends (its comma, or the value's end) into `ends`, which has room for
// value.size() + 8; how many there are. 0 where a character is one that Field does not write as
// it stands (not printable ASCII, or a quote).
std::size_t ItemEnds(std::string_view value, const WordsOf& words, std::uint16_t* ends)
{
    std::size_t count = 0;
    for (std::size_t at = 0; at < value.size(); at += 8) {
        const std::uint64_t word = Word(words.At(at));
        if (SpecialBytes(word) != 0) return 0;
        for (std::uint64_t commas = BytesOf(word, ','); commas != 0; commas &= commas - 1)
            ends[count++] = static_cast<std::uint16_t>(at + FirstMarked(commas));
    }
    // The last word's commas past the end stand for the end once.
    while (count > 0 && ends[count - 1] >= value.size()) --count;
    ends[count++] = static_cast<std::uint16_t>(value.size());
    return count;
}

}  // namespace

// Each item is copied eight characters at a time (the room past the text is for the last word of
// each); the commas are found first, so that no item waits for the one before it.
char* PlainItemFields(std::string_view value, std::size_t width, std::vector<std::string_view>& items, char* to)
{
    if (ItemFieldsRoom(value.size(), width) > kPlainLimit + 9) return nullptr;
    const WordsOf words(value);
    std::uint16_t ends[kPlainLimit + 8];
    const std::size_t count = ItemEnds(value, words, ends);
    if (count == 0) return nullptr;
    items.clear();
    std::size_t first = 0;
    for (std::size_t item = 0; item < count; ++item) {
        std::size_t last = ends[item];
        const std::size_t next = last + 1;
        while (first < last && value[first] == ' ') ++first;
        while (last > first && value[last - 1] == ' ') --last;
        *to++ = ',';
        const std::size_t length = last - first;
        if (length > 0 && (value[first] < '0' || value[first] > '9') && value[first] != '.') return nullptr;
        for (std::size_t copied = 0; copied < length; copied += 8)
            std::memcpy(to + copied, words.At(first + copied), 8);
        to += length;
        items.emplace_back(value.data() + first, length);
        first = next;
    }
    for (std::size_t n = items.size(); n < width; ++n) *to++ = ',';
    return to;
}

void Items(std::string_view value, std::vector<std::string_view>& items)
{
    // Plain loops: a drop's items are a few characters each, too short for a library search to gain.
    items.clear();
    const char* at = value.data();
    const char* const end = at + value.size();
    while (true) {
        while (at != end && *at == ' ') ++at;
        const char* const first = at;
        while (at != end && *at != ',') ++at;
        const char* last = at;
        while (last != first && last[-1] == ' ') --last;
        items.emplace_back(first, static_cast<std::size_t>(last - first));
        if (at == end) return;
        ++at;
    }
}

void ItemFields(std::string& row, std::string_view value, std::size_t width, std::vector<std::string_view>& items)
{
    // Nearly every drop is numbers, written as they stand: gathered in one buffer and appended at
    // once, as a row's many short appends would cost more than the rest of it.
    char buffer[kPlainLimit + 9];
    if (const char* const end = PlainItemFields(value, width, items, buffer)) {
        row.append(buffer, static_cast<std::size_t>(end - buffer));
        return;
    }
    Items(value, items);
    for (const std::string_view item : items) Field(row, item);
    if (width > items.size()) row.append(width - items.size(), ',');
}

void Items(std::string_view value, std::vector<std::string_view>& items, std::vector<std::optional<double>>& numbers)
{
    items.clear();
    numbers.clear();
    const auto blanks = [&value](std::size_t at) {
        while (at < value.size() && value[at] == ' ') ++at;
        return at;
    };
    for (std::size_t at = 0;; ++at) {
        const std::size_t first = blanks(at);
        const std::optional<PlainNumber> plain = PlainDecimalAt(value.substr(first));
        const std::size_t next = plain ? blanks(first + plain->Length) : first;
        if (plain && (next == value.size() || value[next] == ',')) {
            items.push_back(value.substr(first, plain->Length));
            numbers.push_back(plain->Value);
            at = next;
        } else {
            at = std::min(value.find(',', at), value.size());
            items.push_back(TrimBlanks(value.substr(first, at - first)));
            numbers.push_back(FiniteNumber(items.back()));
        }
        if (at == value.size()) return;
    }
}

void WriteRows(std::ostream& out, std::string& rows, bool last)
{
    if (!last && rows.size() < 1 << 16) return;
    out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
    rows.clear();
}

std::string Rounded(double value) { return RoundedPlainText(value, 6); }

}  // namespace vantrel
