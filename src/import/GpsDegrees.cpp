#include "import/GpsDegrees.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

#include "base/Latin1.h"
#include "base/NumberText.h"

namespace vantrel {

std::string DegreesText(double degrees)
{
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, degrees, std::chars_format::fixed, 7);
    std::string text(buffer, error == std::errc() ? end : buffer);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

namespace {

struct Word {
    char Hemisphere = 0;  // 'N', 'S', 'E' or 'W'; 0 for a number
    double Value = 0;
    std::string_view Text;
};

char HemisphereOf(char c)
{
    const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return upper == 'N' || upper == 'S' || upper == 'E' || upper == 'W' ? upper : '\0';
}

std::optional<double> NumberOf(std::string_view text)
{
    try {
        return ParseNumber(text);
    } catch (const OverflowError&) {
        return std::nullopt;
    }
}

// The words of the text: numbers and hemisphere letters, a letter split from a number it is
// written against ("N38.5", "121.7W"). Nullopt when a word is neither.
std::optional<std::vector<Word>> WordsOf(const std::string& text)
{
    std::vector<Word> words;
    for (std::size_t at = 0; (at = text.find_first_not_of(' ', at)) != std::string::npos;) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        std::string_view word = std::string_view(text).substr(at, end - at);
        at = end;
        char before = 0, after = 0;
        if ((before = HemisphereOf(word.front()))) word.remove_prefix(1);
        if (!before && (after = HemisphereOf(word.back()))) word.remove_suffix(1);
        if (before) words.push_back({before, 0, {}});
        if (!word.empty()) {
            const std::optional<double> value = NumberOf(word);
            if (!value) return std::nullopt;
            words.push_back({0, *value, word});
        }
        if (after) words.push_back({after, 0, {}});
    }
    return words;
}

std::optional<std::vector<Word>> WordsOf(std::string&&) = delete;  // the words would outlive their text

bool Whole(double value) { return value == std::floor(value); }

// Degrees, then whole-degree minutes, then whole-minute seconds, as far as they go: how many of
// `numbers` the coordinate takes, and its value. Minutes and seconds are below 60.
std::size_t Coordinate(const std::vector<Word>& numbers, double& degrees)
{
    degrees = numbers[0].Value;
    if (numbers.size() < 2 || !Whole(numbers[0].Value) || numbers[1].Value < 0 || numbers[1].Value >= 60) return 1;
    degrees += numbers[1].Value / 60;
    if (numbers.size() < 3 || !Whole(numbers[1].Value) || numbers[2].Value < 0 || numbers[2].Value >= 60) return 2;
    degrees += numbers[2].Value / 3600;
    return 3;
}

std::string JoinedTexts(const std::vector<Word>& words, std::size_t from)
{
    std::string text;
    for (std::size_t i = from; i < words.size(); ++i) text += (text.empty() ? "" : " ") + std::string(words[i].Text);
    return text;
}

// A hemisphere letter and the numbers of its coordinate.
struct Group {
    char Hemisphere = 0;
    std::vector<Word> Numbers;
};

// The words as letters with their numbers: those after each letter when `before`, else those
// before it; `trailing` gets the numbers after the last letter written after its coordinate.
std::vector<Group> GroupsOf(const std::vector<Word>& words, bool before, std::vector<Word>& trailing)
{
    std::vector<Group> groups;
    for (const Word& word : words) {
        if (before && word.Hemisphere) {
            groups.push_back({word.Hemisphere, {}});
        } else if (before) {
            groups.back().Numbers.push_back(word);
        } else if (word.Hemisphere) {
            groups.push_back({word.Hemisphere, trailing});
            trailing.clear();
        } else {
            trailing.push_back(word);
        }
    }
    return groups;
}

// A lettered coordinate has no sign of its own: the letter is the sign.
bool Unsigned(const std::vector<Word>& numbers)
{
    for (const Word& number : numbers)
        if (number.Value < 0 || number.Text.front() == '+') return false;
    return true;
}

// Latitude and longitude as their letters give them, each once.
struct LetteredPosition {
    std::optional<double> Latitude, Longitude;

    // false when the letter's coordinate was given already.
    bool Take(char hemisphere, double degrees)
    {
        std::optional<double>& coordinate = hemisphere == 'N' || hemisphere == 'S' ? Latitude : Longitude;
        if (coordinate) return false;
        coordinate = hemisphere == 'S' || hemisphere == 'W' ? -degrees : degrees;
        return true;
    }
};

// Each coordinate with its letter: every letter before its numbers, or every letter after them.
GpsPosition Lettered(const std::vector<Word>& words)
{
    const bool before = words.front().Hemisphere != 0;
    std::vector<Word> extra;  // numbers after the last letter written after its coordinate
    const std::vector<Group> groups = GroupsOf(words, before, extra);
    if (groups.size() != 2) return {};
    LetteredPosition position;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const Group& group = groups[g];
        if (group.Numbers.empty() || !Unsigned(group.Numbers)) return {};
        double degrees = 0;
        const std::size_t used = Coordinate(group.Numbers, degrees);
        if (used < group.Numbers.size()) {
            // Only the last coordinate, its letter before it, may be followed by more (an altitude).
            if (!before || g + 1 < groups.size()) return {};
            extra.assign(group.Numbers.begin() + static_cast<std::ptrdiff_t>(used), group.Numbers.end());
        }
        if (!position.Take(group.Hemisphere, degrees)) return {};
    }
    // Two letters, neither coordinate twice: both are there.
    const double latitude = *position.Latitude, longitude = *position.Longitude;
    if (std::abs(latitude) > 90 || std::abs(longitude) > 180) return {};
    return {DegreesText(latitude) + ", " + DegreesText(longitude), JoinedTexts(extra, 0)};
}

bool AsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The text with commas, tabs, and the marks of degrees, minutes and seconds in their usual
// spellings made blanks, so that they part the words as blanks do. Degrees: a degree sign (or the
// ordinal sign often typed for it), or the word d, deg or degrees; minutes and seconds: ' and ",
// an acute accent, and the prime and double prime, which reach us as "?" (they are not Latin-1).
std::string WithoutDegreeMarks(std::string_view text)
{
    static constexpr std::string_view kMarks = ",\t\xB0\xBA'\"\xB4?";
    std::string spaced(text);
    for (char& c : spaced)
        if (kMarks.find(c) != std::string_view::npos) c = ' ';
    for (std::size_t at = 0, end = 0; at < spaced.size(); at = std::max(end, at + 1)) {
        for (end = at; end < spaced.size() && AsciiLetter(spaced[end]);) ++end;
        const std::string word = UpperCase(std::string_view(spaced).substr(at, end - at));
        if (word == "D" || word == "DEG" || word == "DEGREE" || word == "DEGREES")
            spaced.replace(at, end - at, end - at, ' ');
    }
    return spaced;
}

}  // namespace

GpsPosition ReadGpsPosition(std::string_view text)
{
    const std::string spaced = WithoutDegreeMarks(text);  // the words point into it
    const std::optional<std::vector<Word>> words = WordsOf(spaced);
    if (!words || words->empty()) return {};
    for (const Word& word : *words)
        if (word.Hemisphere) return Lettered(*words);
    // Decimal degrees, kept as written, and perhaps an altitude; more numbers could be degrees
    // and minutes without their letters, which cannot be told from anything else.
    if (words->size() < 2 || words->size() > 3 || std::abs((*words)[0].Value) > 90 || std::abs((*words)[1].Value) > 180)
        return {};
    return {std::string((*words)[0].Text) + ", " + std::string((*words)[1].Text), JoinedTexts(*words, 2)};
}

}  // namespace vantrel
