// number_bench [COUNT]: times ParseNumber on COUNT (default a million) numbers written as the
// files write them, beside std::from_chars on the same texts as the floor a parser can reach.
// The best processor time of several passes is shown, as the machine is shared. Not part of CI.
#include <algorithm>
#include <charconv>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/NumberText.h"

namespace {

constexpr int kPasses = 7;

// Deflections (whole), loads and temperatures (one or two decimals), some negative, some padded
// with blanks, a few with an exponent or a plus sign, as drop lines hold them.
std::vector<std::string> Numbers(std::size_t count)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> kind(0, 99), whole(0, 1200), fraction(0, 99);
    std::vector<std::string> texts;
    texts.reserve(count);
    char buffer[32];
    for (std::size_t i = 0; i < count; ++i) {
        const int k = kind(random), w = whole(random), f = fraction(random);
        if (k < 40) std::snprintf(buffer, sizeof buffer, "%d", w);
        else if (k < 70) std::snprintf(buffer, sizeof buffer, "%d.%d", w / 10, f % 10);
        else if (k < 80) std::snprintf(buffer, sizeof buffer, "-%d.%02d", w / 100, f);
        else if (k < 90) std::snprintf(buffer, sizeof buffer, "  %d ", w);
        else if (k < 95) std::snprintf(buffer, sizeof buffer, "%d.%02dE-0%d", w % 10, f, 1 + f % 5);
        else std::snprintf(buffer, sizeof buffer, "+%d.%d", w / 10, f % 10);
        texts.emplace_back(buffer);
    }
    return texts;
}

// The best time of kPasses passes of `parse` over every text, in milliseconds; `sum` keeps the
// values in use so that no pass is optimised away.
template <typename Parse>
double BestMilliseconds(const std::vector<std::string>& texts, Parse parse, double& sum)
{
    double best = 1e300;
    for (int pass = 0; pass < kPasses; ++pass) {
        sum = 0;
        const std::clock_t start = std::clock();
        for (const std::string& text : texts) sum += parse(std::string_view(text));
        best = std::min(best, 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
    const std::vector<std::string> texts = Numbers(count);
    double parsed = 0, floor = 0;
    const double ours = BestMilliseconds(
        texts, [](std::string_view text) { return *vantrel::ParseNumber(text); }, parsed);
    // The library call alone, on texts without blanks or a plus sign (it takes neither).
    const double library = BestMilliseconds(
        texts,
        [](std::string_view text) {
            const std::size_t first = text.find_first_not_of(" +");
            double value = 0;
            std::from_chars(text.data() + first, text.data() + text.size(), value);
            return value;
        },
        floor);
    std::printf("%zu numbers, best of %d passes\n", count, kPasses);
    std::printf("  ParseNumber      %8.1f ms  (sum %.6g)\n", ours, parsed);
    std::printf("  std::from_chars  %8.1f ms  (sum %.6g)\n", library, floor);
    return 0;
}
