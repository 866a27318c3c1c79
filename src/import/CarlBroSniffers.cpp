// What a Carl Bro FWD export and a Carl Bro configuration export look like: both tab-separated
// text, told apart by their keys.
#include <algorithm>
#include <string_view>

#include "base/Latin1.h"
#include "import/Sniffing.h"
#include "import/modShared.h"

namespace vantrel {

// Blocks opened by "$1", "$2", "$3" lines; keyword lines whose first field names a general,
// station or drop item, most with its unit in brackets ("Chainage [m]").
int SniffCarlBroFwd(const SniffSample& sample)
{
    static constexpr std::string_view kKeywords[] = {"Filename", "Districtnumber", "Road reference", "Plate radius",
                                                     "Radial offset", "Chainage", "Sequence", "Drop no"};
    bool blocks[4] = {};
    bool keywords[std::size(kKeywords)] = {};
    bool brackets = false;
    for (std::string_view line : sample.Filled()) {
        const std::string_view first = FirstField(line, '\t');
        if (first.size() == 2 && first[0] == '$' && first[1] >= '1' && first[1] <= '3') blocks[first[1] - '0'] = true;
        if (line.find('\t') == std::string_view::npos) continue;
        for (std::size_t k = 0; k < std::size(kKeywords); ++k) keywords[k] = keywords[k] || TextContains(kKeywords[k], first);
        const std::size_t open = first.find('[');
        brackets = brackets || (open != std::string_view::npos && first.find(']', open) != std::string_view::npos);
    }
    const auto blockCount = std::count(std::begin(blocks), std::end(blocks), true);
    const auto keywordCount = std::count(std::begin(keywords), std::end(keywords), true);
    if (blockCount == 0 || keywordCount == 0) return 0;
    return static_cast<int>(20 * blockCount + 10 * std::min<long>(keywordCount, 3)) + (brackets ? 5 : 0);
}

// Transducer blocks: "Geophone nr." and "Force" headings with their "ID", "Slope" and
// "[dd/mm/yy]" lines, keys compared as the reader compares them (exact, trailing blanks dropped).
int SniffCarlBroConfig(const SniffSample& sample)
{
    static constexpr struct {
        std::string_view key;
        int weight;
        bool tabbed;  // the reader needs a value after a tab
    } kKeys[] = {{"Geophone nr.", 30, true}, {"Slope", 20, true},      {"ID", 15, true},
                 {"[dd/mm/yy]", 15, true},   {"Force", 10, false},     {"Customer", 10, true},
                 {"Air temp.", 5, false},    {"Surface temp.", 5, false}, {"Manual temp.", 5, false}};
    bool seen[std::size(kKeys)] = {};
    for (std::string_view line : sample.Filled()) {
        const std::size_t tab = line.find('\t');
        std::string_view key = line.substr(0, tab);
        key = key.substr(0, key.find_last_not_of(' ') + 1);
        for (std::size_t k = 0; k < std::size(kKeys); ++k)
            seen[k] = seen[k] || (key == kKeys[k].key && (!kKeys[k].tabbed || tab != std::string_view::npos));
    }
    int score = 0;
    for (std::size_t k = 0; k < std::size(kKeys); ++k) score += seen[k] ? kKeys[k].weight : 0;
    return std::min(score, 95);
}

}  // namespace vantrel
