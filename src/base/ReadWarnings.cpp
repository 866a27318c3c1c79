#include "base/ReadWarnings.h"

#include <algorithm>

namespace vantrel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordCharacter(char c) { return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

}  // namespace

std::string WarningPattern(const std::string& what)
{
    std::string pattern;
    pattern.reserve(what.size());
    for (std::size_t i = 0; i < what.size();) {
        const char c = what[i];
        if (c == '"') {
            const std::size_t close = what.find('"', i + 1);
            pattern += "\"\"";
            i = close == std::string::npos ? what.size() : close + 1;
            continue;
        }
        // A number: digits with their sign, decimal point and exponent ("-1.5e3", "DropData_12").
        const bool signedNumber = (c == '-' || c == '+' || c == '.') && i + 1 < what.size() && IsDigit(what[i + 1]) &&
                                  (i == 0 || !IsWordCharacter(what[i - 1]));
        if (IsDigit(c) || signedNumber) {
            ++i;
            while (i < what.size() && (IsDigit(what[i]) || what[i] == '.' ||
                                       ((what[i] == 'e' || what[i] == 'E') && i + 1 < what.size() &&
                                        (IsDigit(what[i + 1]) || what[i + 1] == '-' || what[i + 1] == '+'))))
                i += what[i] == 'e' || what[i] == 'E' ? 2 : 1;
            pattern += '#';
            continue;
        }
        pattern += c;
        ++i;
    }
    return pattern;
}

void ReadWarnings::Add(int line, std::string what)
{
    ++count_;
    if (what.empty()) {
        ++others_;
        return;
    }
    std::string pattern = WarningPattern(what);
    auto kind = std::find_if(kinds_.begin(), kinds_.end(), [&](const Kind& k) { return k.Pattern == pattern; });
    if (kind == kinds_.end()) {
        if (kinds_.size() >= kKinds) {
            ++others_;
            return;
        }
        kinds_.push_back({std::move(pattern), line, 0});
        kind = kinds_.end() - 1;
    }
    if (++kind->Count > kListedOfAKind) return;
    listed_.push_back({line, std::move(what)});
    if (kind->Count == kListedOfAKind) ++fullKinds_;
}

std::vector<std::string> WarningLines(const std::string& file, const ReadWarnings& warnings, const std::string& label)
{
    std::vector<std::string> lines;
    for (const LineWarning& warning : warnings.Listed()) {
        std::string line = file;
        if (warning.Line > 0) line.append(":").append(std::to_string(warning.Line));
        lines.push_back(std::move(line.append(": ").append(label).append(warning.What)));
    }
    const auto more = [&](std::size_t count, const std::string& like) {
        lines.push_back(file + ": " + label + "and " + std::to_string(count) + " more warning" +
                        (count == 1 ? "" : "s") + " " + like + ", not listed");
    };
    for (const ReadWarnings::Kind& kind : warnings.Kinds())
        if (kind.Count > ReadWarnings::kListedOfAKind)
            more(kind.Count - ReadWarnings::kListedOfAKind,
                 kind.FirstLine > 0 ? "like the one of line " + std::to_string(kind.FirstLine)
                                    : "like the one of the whole file");
    if (warnings.OtherKinds() > 0) more(warnings.OtherKinds(), "of other kinds");
    return lines;
}

}  // namespace vantrel
