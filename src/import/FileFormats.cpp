#include "import/FileFormats.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/Latin1.h"

namespace vantrel {
namespace {

// FindFileFormat takes a row by its type's code: each row sits at its own code.
constexpr bool RowsSitAtTheirCodes()
{
    for (std::size_t i = 0; i < kFormatTable.size(); ++i)
        if (CodeOf(kFormatTable[i].Type) != static_cast<std::int32_t>(i)) return false;
    return true;
}
static_assert(RowsSitAtTheirCodes(), "a row of the format table is not at its code");

// Whether `name` ends in one of the format's usual extensions, letter case ignored.
bool HasUsualExtension(const FileFormat& format, std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = name.substr(dot + 1);
    for (const std::string_view usual : UsualExtensions(format))
        if (EqualsIgnoreCase(usual, extension)) return true;
    return false;
}

}  // namespace

std::vector<std::string_view> UsualExtensions(const FileFormat& format)
{
    std::vector<std::string_view> list;
    for (std::string_view rest = format.Extensions; !rest.empty();) {
        const std::size_t end = std::min(rest.find(';'), rest.size());
        list.push_back(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return list;
}

std::span<const FileFormat> FileFormats() { return kFormatTable; }

const FileFormat* FindFileFormat(FileType type)
{
    const std::int32_t code = CodeOf(type);
    if (code < 0 || code >= static_cast<std::int32_t>(kFormatTable.size())) return nullptr;
    return &kFormatTable[static_cast<std::size_t>(code)];
}

std::string FileTypeName(FileType type)
{
    const FileFormat* format = FindFileFormat(type);
    return format ? format->Name : "";
}

std::optional<FileType> FileTypeFromText(std::string_view text)
{
    text = TrimBlanks(text);
    for (const FileFormat& format : kFormatTable)
        if (text == std::to_string(CodeOf(format.Type)) ||
            (format.ShortName && EqualsIgnoreCase(text, format.ShortName)))
            return format.Type;
    return std::nullopt;
}

std::string FileTypeShortNames()
{
    std::string names;
    for (const FileFormat& format : kFormatTable)
        if (format.ShortName && format.Read) names += (names.empty() ? "" : ", ") + std::string(format.ShortName);
    return names;
}

bool HasReader(FileType type)
{
    const FileFormat* format = FindFileFormat(type);
    return format && format->Read;
}

std::string NotReadableOnItsOwn(FileType type)
{
    const FileFormat* format = FindFileFormat(type);
    if (!format || format->Read || !format->Sniff) return "";
    return "a " + std::string(format->Name) + ", not readable on its own";
}

std::string ShortNameOf(FileType type)
{
    const FileFormat* format = FindFileFormat(type);
    return format && format->ShortName ? format->ShortName : "unknown";
}

bool Detection::ClearlyOther(FileType chosen) const
{
    return Type != FileType::Unknown && Type != chosen &&
           (!FindFileFormat(chosen) || Scores[static_cast<std::size_t>(CodeOf(chosen))] < kRecognised);
}

Detection DetectFormat(std::string_view head, std::string_view name, bool complete)
{
    const SniffSample sample(head, complete);
    Detection detection;
    int best = 0;
    for (const FileFormat& format : kFormatTable) {
        const int score = format.Sniff ? format.Sniff(sample) : 0;
        detection.Scores[static_cast<std::size_t>(CodeOf(format.Type))] = score;
        best = std::max(best, score);
    }
    if (best < kRecognised) return detection;
    std::vector<FileType> tied, usual;
    for (const FileFormat& format : kFormatTable) {
        if (detection.Scores[static_cast<std::size_t>(CodeOf(format.Type))] != best) continue;
        tied.push_back(format.Type);
        if (HasUsualExtension(format, name)) usual.push_back(format.Type);
    }
    if (tied.size() == 1) detection.Type = tied.front();
    else if (usual.size() == 1) detection.Type = usual.front();
    return detection;
}

}  // namespace vantrel
