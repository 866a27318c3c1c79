#include "app/FileTypes.h"

#include <array>
#include <system_error>

#include "document/Latin1.h"

namespace vantrel {
namespace {

struct FileType {
    const char* name;
    const char* shortName;
};

constexpr std::array<FileType, 11> kFileTypes = {{
    {"PDDX", "pddx"},
    {"Dynatest F25", "f25"},
    {"Dynatest F20 or FWD", "f20"},
    {"Carl Bro FWD", "carlbro"},
    {"Carl Bro INI", "carlbro-ini"},
    {"Carl Bro History", nullptr},  // no reader: reachable only by its number
    {"JILS DAT", "jils-dat"},
    {"JILS Setup.Par", "jils-par"},
    {"KUAB FWD", "kuab"},
    {"KUAB FVO.INI", "kuab-ini"},
    {"JILS CFG", "jils-cfg"},
}};

std::string UpToLastDot(std::string_view name)
{
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace

std::string FileTypeName(std::int32_t code)
{
    if (code < 0 || code >= static_cast<std::int32_t>(kFileTypes.size())) return {};
    return kFileTypes[static_cast<std::size_t>(code)].name;
}

std::string FileTypeShortName(std::int32_t code)
{
    if (code < 0 || code >= static_cast<std::int32_t>(kFileTypes.size())) return {};
    const char* name = kFileTypes[static_cast<std::size_t>(code)].shortName;
    return name ? name : "";
}

std::optional<std::int32_t> FileTypeFromText(std::string_view text)
{
    text = TrimBlanks(text);
    for (std::size_t code = 0; code < kFileTypes.size(); ++code)
        if (text == std::to_string(code) ||
            (kFileTypes[code].shortName && EqualsIgnoreCase(text, kFileTypes[code].shortName)))
            return static_cast<std::int32_t>(code);
    return std::nullopt;
}

std::string FileTypeShortNames()
{
    std::string names;
    for (const FileType& type : kFileTypes)
        if (type.shortName) names += (names.empty() ? "" : ", ") + std::string(type.shortName);
    return names;
}

std::string FileExtensionOf(std::string_view name)
{
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(dot + 1));
}

std::vector<std::string> ListFilesWithExtension(const std::filesystem::path& folder, std::string_view extension)
{
    std::vector<std::string> names;
    std::error_code error;
    const std::string ext = UpperCase(extension);
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        if (!it->is_regular_file(kindError)) continue;
        std::string name = it->path().filename().string();
        const auto first = UpperCase(name).find(ext);
        if (first != std::string::npos && first + ext.size() == name.size()) names.push_back(std::move(name));
    }
    return names;
}

std::string ReviewOutputName(std::string_view source) { return UpToLastDot(source) + ".DDX"; }
std::string ConvertedOutputName(std::string_view source) { return UpToLastDot(source) + "cvt.DDX"; }

}  // namespace vantrel
