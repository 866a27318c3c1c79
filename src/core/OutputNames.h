#pragma once
// The names of the files a conversion involves: the files of a batch and the outputs' names.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// The text after the last "." of a name; the whole name when it has none.
std::string FileExtensionOf(std::string_view name);

// Names (no folder part) of the files in `folder`, in the order the file system gives them, whose
// first occurrence of `extension` (letter case ignored) ends the name: FWDLIST.FWD is not one.
std::vector<std::string> ListFilesWithExtension(const std::filesystem::path& folder, std::string_view extension);

// The review window's suggested save name: up to the last "." (anywhere in the text) + ".DDX".
std::string ReviewOutputName(std::string_view source);

// The unattended and batch output name: up to the last "." + "cvt.DDX".
std::string ConvertedOutputName(std::string_view source);

// An output name moved into `folder`, keeping its own file name; unchanged when `folder` is empty.
std::string OutputInFolder(const std::string& output, const std::string& folder);

}  // namespace vantrel
