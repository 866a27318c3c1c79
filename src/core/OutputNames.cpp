#include "core/OutputNames.h"

#include <filesystem>
#include <system_error>

#include "base/Latin1.h"

namespace vantrel {
namespace {

// Where the file's own name starts: after the last folder separator.
std::size_t OwnNameStart(std::string_view path)
{
#ifdef _WIN32
    const auto separator = path.find_last_of("/\\:");
#else
    const auto separator = path.rfind('/');
#endif
    return separator == std::string_view::npos ? 0 : separator + 1;
}

}  // namespace

std::string RootName(std::string_view source)
{
    const std::size_t start = OwnNameStart(source);
    const auto dot = source.rfind('.');
    return std::string(dot == std::string_view::npos || dot <= start ? source : source.substr(0, dot));
}

std::string FileExtensionOf(std::string_view name)
{
    const auto dot = name.rfind('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(dot + 1));
}

bool EndsInExtension(std::string_view name, std::string_view extension)
{
    return UpperCase(name).ends_with(extension.empty() ? "." : UpperCase(extension));
}

std::string ReviewOutputName(std::string_view source) { return RootName(source) + ".DDX"; }
std::string ConvertedOutputName(std::string_view source) { return RootName(source) + "cvt.DDX"; }

std::string OutputInFolder(const std::string& output, const std::string& folder)
{
    if (folder.empty()) return output;
    return (std::filesystem::path(folder) / std::filesystem::path(output).filename()).string();
}

}  // namespace vantrel
