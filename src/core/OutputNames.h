#pragma once
// The names of the files a conversion involves: the files of a batch and the outputs' names.

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// The text after the last "." of a name; the whole name when it has none.
std::string FileExtensionOf(std::string_view name);

// Whether a name ends in `extension`, letter case ignored (FWDLIST.FWD, RUN_F25_1.F25 too); an
// empty extension takes the names that end in ".".
bool EndsInExtension(std::string_view name, std::string_view extension);

// The root of a file name: its folder and its own name up to the last "." of that name; a dot
// that starts the name does not count (".hidden" is its own root), nor does a dot in a folder's
// name (d.v2/RUN1 is its own root).
std::string RootName(std::string_view source);

// The review window's suggested save name: the root + ".DDX".
std::string ReviewOutputName(std::string_view source);

// The unattended and batch output name: the root + "cvt.DDX".
std::string ConvertedOutputName(std::string_view source);

// An output name moved into `folder`, keeping its own file name; unchanged when `folder` is empty.
std::string OutputInFolder(const std::string& output, const std::string& folder);

}  // namespace vantrel
