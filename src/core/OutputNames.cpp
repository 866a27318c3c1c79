#include "core/OutputNames.h"

#include <system_error>

#include "base/Latin1.h"

namespace vantrel {
namespace {

std::string UpToLastDot(std::string_view name)
{
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace

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

std::string OutputInFolder(const std::string& output, const std::string& folder)
{
    if (folder.empty()) return output;
    return (std::filesystem::path(folder) / std::filesystem::path(output).filename()).string();
}

}  // namespace vantrel
