#include "base/ReadWarnings.h"

namespace vantrel {

std::vector<std::string> WarningLines(const std::string& file, const ReadWarnings& warnings, const std::string& label)
{
    std::vector<std::string> lines;
    for (const LineWarning& warning : warnings.Listed()) {
        std::string line = file;
        if (warning.Line > 0) line.append(":").append(std::to_string(warning.Line));
        lines.push_back(std::move(line.append(": ").append(label).append(warning.What)));
    }
    if (const std::size_t more = warnings.Count() - warnings.Listed().size(); more > 0)
        lines.push_back(file + ": " + label + "and " + std::to_string(more) + " more warning" + (more == 1 ? "" : "s") +
                        " of this kind, not listed");
    return lines;
}

}  // namespace vantrel
