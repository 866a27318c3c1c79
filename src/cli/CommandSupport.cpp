#include "cli/CommandSupport.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/ReadError.h"
#include "core/OutputChecks.h"
#include "import/FileFormats.h"

namespace vantrel {

std::string JoinWords(const std::vector<std::string>& words, const char* separator)
{
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : separator) + word;
    return text;
}

bool IsSignedWholeNumber(std::string_view text)
{
    text = TrimBlanks(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

namespace {

// The codes that have a reader, as ranges from the table: "0 to 4 and 6 to 10".
std::string ReadableCodes()
{
    std::vector<std::string> ranges;
    const auto formats = FileFormats();
    for (std::size_t first = 0; first < formats.size(); ++first) {
        if (!formats[first].Read) continue;
        std::size_t last = first;
        while (last + 1 < formats.size() && formats[last + 1].Read) ++last;
        const std::string from = std::to_string(CodeOf(formats[first].Type));
        ranges.push_back(last == first ? from : from + " to " + std::to_string(CodeOf(formats[last].Type)));
        first = last;
    }
    return JoinWords(ranges, " and ");
}

}  // namespace

TypeChoice TypeFromOption(const std::string& text)
{
    if (auto code = FileTypeFromText(text)) return {*code, "given with -t"};
    throw Stop{kExitUsage, "unknown file type " + Quoted(text) + " given with -t (use " + ReadableCodes() +
                               ", auto or one of " + FileTypeShortNames() + ")"};
}

bool Detecting(const std::string& option) { return option.empty() || EqualsIgnoreCase(option, "auto"); }

std::string UnknownTypeMessage(const TypeChoice& type)
{
    const std::string name = FileTypeName(type.code);
    return "unknown file type " + std::to_string(CodeOf(type.code)) + " (" + type.origin +
           "): " + (name.empty() ? "there is no such type" : name + " has no reader") + "; the types are " +
           FileTypeShortNames() + " (" + ReadableCodes() + ")";
}

void RequireReader(const TypeChoice& type)
{
    if (!HasReader(type.code)) throw Stop{kExitUsage, UnknownTypeMessage(type)};
}

void RefuseOutputConflicts(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs)
{
    const std::vector<OutputConflict> conflicts = FindOutputConflicts(outputs, inputs);
    if (conflicts.empty()) return;
    const OutputConflict& first = conflicts.front();
    const std::string& output = outputs[first.Output];
    if (first.Is == OutputConflict::Kind::ReplacesInput)
        throw Stop{kExitUsage, output + ": the output would replace the input " + inputs[first.Other] +
                                   "; name another output with -o"};
    // Only a command with an output for each input (convert) can give two inputs one output.
    throw Stop{kExitUsage, output + ": " + inputs[first.Other] + " and " + inputs[first.Output] +
                               " would both be written to it; name their outputs apart (-o, --output-dir)"};
}

void RefuseSettingsConflict(const std::string& settingsFile, const std::vector<std::string>& outputs,
                            const std::vector<std::string>& inputs)
{
    const std::optional<OutputConflict> conflict = FindConflictOf(settingsFile, outputs, inputs);
    if (!conflict) return;
    const bool input = conflict->Is == OutputConflict::Kind::ReplacesInput;
    const std::string& other = input ? inputs[conflict->Other] : outputs[conflict->Other];
    throw Stop{kExitUsage, settingsFile + ": the settings file would also be the " + (input ? "input " : "output ") +
                               other + " of this command; name another settings file with --settings"};
}

Stop OutputFailure()
{
    const int error = errno;
    return Stop{kExitReadFailure, std::string("cannot write to standard output") +
                                      (error ? std::string(": ") + std::strerror(error) : "")};
}

}  // namespace vantrel
