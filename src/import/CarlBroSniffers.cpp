// What a Carl Bro FWD export and a Carl Bro configuration export look like: both tab-separated
// text, told apart by their keys.
#include <algorithm>
#include <string_view>

#include "base/Latin1.h"
#include "import/Sniffing.h"
#include "import/modShared.h"

namespace vantrel {

// Tab-separated; marks: each of the blocks opened by "$1", "$2", "$3" lines, and each keyword
// line whose first field names a general, station or drop item ("Chainage [m]"). It takes a block
// and a keyword.
int SniffCarlBroFwd(const SniffSample& sample)
{
    static constexpr std::string_view kKeywords[] = {"Filename", "Districtnumber", "Road reference", "Plate radius",
                                                     "Radial offset", "Chainage", "Sequence", "Drop no"};
    bool blocks[3] = {};
    bool keywords[std::size(kKeywords)] = {};
    for (std::string_view line : sample.Filled()) {
        const std::string_view first = FirstField(line, '\t');
        if (first.size() == 2 && first[0] == '$' && first[1] >= '1' && first[1] <= '3') blocks[first[1] - '1'] = true;
        if (line.find('\t') == std::string_view::npos) continue;
        for (std::size_t k = 0; k < std::size(kKeywords); ++k) keywords[k] = keywords[k] || TextContains(kKeywords[k], first);
    }
    const int blockMarks = static_cast<int>(std::count(std::begin(blocks), std::end(blocks), true));
    const int keywordMarks = static_cast<int>(std::count(std::begin(keywords), std::end(keywords), true));
    return blockMarks == 0 || keywordMarks == 0 ? 0 : Score(blockMarks + keywordMarks);
}

// Transducer blocks; marks: the keys the reader acts on ("Geophone nr.", "Force", the
// temperature headings, "ID", "Slope", "[dd/mm/yy]", "Customer"), compared as the reader compares
// them (exact, trailing blanks dropped), those with a value only after a tab.
int SniffCarlBroConfig(const SniffSample& sample)
{
    static constexpr struct {
        std::string_view key;
        bool tabbed;
    } kKeys[] = {{"Geophone nr.", true}, {"Slope", true}, {"ID", true},          {"[dd/mm/yy]", true},
                 {"Customer", true},     {"Force", false}, {"Air temp.", false}, {"Surface temp.", false},
                 {"Manual temp.", false}};
    bool seen[std::size(kKeys)] = {};
    for (std::string_view line : sample.Filled()) {
        const std::size_t tab = line.find('\t');
        std::string_view key = line.substr(0, tab);
        key = key.substr(0, key.find_last_not_of(' ') + 1);
        for (std::size_t k = 0; k < std::size(kKeys); ++k)
            seen[k] = seen[k] || (key == kKeys[k].key && (!kKeys[k].tabbed || tab != std::string_view::npos));
    }
    return Score(static_cast<int>(std::count(std::begin(seen), std::end(seen), true)));
}

}  // namespace vantrel
