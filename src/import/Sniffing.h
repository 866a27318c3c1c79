#pragma once
// Telling a format from the first few kilobytes of a file. Each row of the format table has a
// sniffer that counts the marks of its format in the bytes: what the format fixes (record codes,
// keywords, line layouts, sections), each kind counted once; a file that fails what every file of
// the format must have has none. Two marks name the format. Sniffers never look at the name. Lines
// end at CR, CR LF or LF alike, so that a file whose line ends were changed on the way is still
// known for what it is.

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace vantrel {

// How much of a file the sniffers see.
constexpr std::size_t kSniffLength = 8192;

// A sniffer's score: 25 a mark, at most 100; kRecognised (two marks) and above names the format.
constexpr int kRecognised = 50;
constexpr int Score(int marks) { return std::min(marks, 4) * 25; }

class SniffSample {
public:
    // `head`: the first bytes of an input, all of it when `complete`. A line cut short at the
    // end of an incomplete head is left out.
    SniffSample(std::string_view head, bool complete);

    // Every line, empty ones included: line n is Lines()[n - 1].
    const std::vector<std::string_view>& Lines() const { return lines_; }
    // The lines that are not empty, in order.
    const std::vector<std::string_view>& Filled() const { return filled_; }
    // Whether the head is the whole input (a structure that runs past it cannot be seen).
    bool Complete() const { return complete_; }

private:
    std::vector<std::string_view> lines_;
    std::vector<std::string_view> filled_;
    bool complete_;
};

using Sniffer = int (*)(const SniffSample& sample);

// Shared tests of a line or a field.
bool IsNumberText(std::string_view text);       // a decimal number, blanks around allowed
bool IsWholeNumberText(std::string_view text);  // digits only, blanks around allowed
// The text before the first `separator` (the whole text without one), blanks trimmed.
std::string_view FirstField(std::string_view line, char separator);
// How many of a line's blank-separated words read as numbers, and how many words there are.
struct WordCount {
    int Numbers = 0;
    int Words = 0;
};
WordCount CountWords(std::string_view line);

// INI-shaped text, as KUAB FVO.INI files are: "[section]" headers, "key = value" lines
// and ";" comments. Fits when nearly every line is one of them and the first is a header.
struct IniShape {
    bool Fits = false;
    std::vector<std::string_view> Sections;  // the names of the headers, in order
    std::vector<std::string_view> Keys;      // the keys, in order
};
IniShape IniShapeOf(const SniffSample& sample);

}  // namespace vantrel
