// What the JILS files look like: the DAT data file, its time history, Setup.Par and the
// load-cell CFG file.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "base/Latin1.h"
#include "base/modConvert.h"
#include "import/Sniffing.h"

namespace vantrel {
namespace {

// The keyword lines of the field program, in its data files and time histories alike.
constexpr std::string_view kKeywords[] = {"Date-Time:", "Sensors:", "Drop Sequence Completed Time:",
                                          "Location:",  "Temp:",    "Operator:",
                                          "Comments:",  "Note:"};

// How many of the keywords head a line of their own (the keyword, then a blank or nothing).
int KeywordsSeen(const SniffSample& sample)
{
    bool seen[std::size(kKeywords)] = {};
    for (std::string_view line : sample.Filled()) {
        line = TrimBlanks(line);
        for (std::size_t k = 0; k < std::size(kKeywords); ++k)
            seen[k] = seen[k] || (line.starts_with(kKeywords[k]) &&
                                  (line.size() == kKeywords[k].size() || line[kKeywords[k].size()] == ' '));
    }
    return static_cast<int>(std::count(std::begin(seen), std::end(seen), true));
}

// So many samples in a row are a time history: a DAT file's data lines never run so far with a
// first number (a load, or a point number repeated by each drop) that moves on every line.
constexpr std::size_t kTimeHistoryRun = 25;

// The longest run of lines of blank-separated numbers, all of one word count (two or more), whose
// first number (a sample time or index) moves the same way on every line in steady steps: no
// step more than twice another, which allows for the rounding of the written times.
std::size_t LongestSampleRun(const SniffSample& sample)
{
    std::size_t longest = 0, run = 0;
    int words = 0;
    double last = 0, low = 0, high = 0;  // the smallest and largest step of the run, signed alike
    for (std::string_view line : sample.Filled()) {
        line = TrimBlanks(line);
        const WordCount count = CountWords(line);
        std::optional<double> first;
        if (count.Words >= 2 && count.Numbers == count.Words) {
            try {
                first = ParseNumber(line.substr(0, line.find(' ')));
            } catch (const OverflowError&) {
            }
        }
        if (!first) {
            run = 0;
            continue;
        }
        const double step = *first - last;
        if (run == 0 || count.Words != words || step == 0) {
            run = 1;  // a run starts here
        } else if (run == 1 || (step > 0) != (low > 0) ||
                   std::max(std::abs(high), std::abs(step)) > 2 * std::min(std::abs(low), std::abs(step))) {
            run = 2;  // the step before is no longer steady: a run starts on the line before
            low = high = step;
        } else {
            ++run;
            if (std::abs(step) < std::abs(low)) low = step;
            if (std::abs(step) > std::abs(high)) high = step;
        }
        words = count.Words;
        last = *first;
        longest = std::max(longest, run);
    }
    return longest;
}

bool HasTimeHistoryRun(const SniffSample& sample) { return LongestSampleRun(sample) >= kTimeHistoryRun; }

}  // namespace

// Marks: each keyword line, and data lines of blank-separated numbers. The samples of a time
// history are no drops: a file that holds them is none.
int SniffJilsDat(const SniffSample& sample)
{
    if (HasTimeHistoryRun(sample)) return 0;
    bool data = false;
    for (std::string_view line : sample.Filled()) {
        const WordCount words = CountWords(TrimBlanks(line));
        data = data || (words.Words >= 2 && words.Numbers == words.Words);
    }
    return Score(KeywordsSeen(sample) + data);
}

// What every time history has: a long run of samples, one line each. Marks: the run, and each
// keyword line of the field program above the samples.
int SniffJilsThy(const SniffSample& sample)
{
    return HasTimeHistoryRun(sample) ? Score(1 + KeywordsSeen(sample)) : 0;
}

// Comment lines ("#") above the values; marks: the two comments the reader looks for, and any
// other comment.
int SniffJilsPar(const SniffSample& sample)
{
    bool sensors = false, factors = false, comments = false;
    for (std::string_view line : sample.Filled()) {
        if (line.find('#') == std::string_view::npos) continue;
        comments = true;
        sensors = sensors || line.find("# number of sensor channel") != std::string_view::npos;
        factors = factors || line.find("# Sensor channels EU conversion factor") != std::string_view::npos;
    }
    return sensors || factors ? Score(sensors + factors + comments) : 0;
}

// Known by its structure alone, whatever the lines between hold (numbers, names): line 1 the
// sensor count N, line N + 3 a row count k, line N + k + 4 the load-cell gain (three marks; two
// while the gain may lie beyond the head).
int SniffJilsCfg(const SniffSample& sample)
{
    const auto& lines = sample.Lines();
    // The first field of line n as a small whole number; -1 where it is none or not there.
    const auto count = [&](std::size_t n) {
        const std::string_view field = n <= lines.size() ? FirstField(lines[n - 1], ',') : "";
        return IsWholeNumberText(field) && field.size() <= 4 ? std::stoi(std::string(field)) : -1;
    };
    const int sensors = count(1);
    if (sensors < 1 || sensors > 40) return 0;
    const auto beyond = [&](std::size_t n) { return n > lines.size(); };
    const std::size_t rows = static_cast<std::size_t>(sensors) + 3;
    if (beyond(rows)) return sample.Complete() ? 0 : Score(2);
    if (count(rows) < 0) return 0;
    const std::size_t gain = rows + static_cast<std::size_t>(count(rows)) + 1;
    if (beyond(gain)) return sample.Complete() ? 0 : Score(2);
    return IsNumberText(FirstField(lines[gain - 1], ',')) ? Score(3) : 0;
}

}  // namespace vantrel
