#pragma once
// The input formats by their FileTypeCode, and the names of the files a conversion involves.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

enum FileTypeCode : std::int32_t {
    kPDDX = 0,
    kDynatestF25 = 1,
    kDynatestF20 = 2,
    kCarlBroFWD = 3,
    kCarlBroINI = 4,
    kCarlBroHistory = 5,
    kJilsDAT = 6,
    kJilsPAR = 7,
    kKuabFWD = 8,
    kKuabINI = 9,
    kJilsCFG = 10,
};

// Display name of a code ("Dynatest F25"); empty text for any other code.
std::string FileTypeName(std::int32_t code);

// A code given as its number (0 to 10) or its short name (pddx, f25, f20, carlbro, carlbro-ini,
// jils-dat, jils-par, kuab, kuab-ini, jils-cfg); nullopt for anything else.
std::optional<std::int32_t> FileTypeFromText(std::string_view text);

// The short name of a code ("f25"); empty text for a code without one.
std::string FileTypeShortName(std::int32_t code);

// The short names, in code order, for messages.
std::string FileTypeShortNames();

// The text after the last "." of a name; the whole name when it has none.
std::string FileExtensionOf(std::string_view name);

// Names (no folder part) of the files in `folder`, in the order the file system gives them, whose
// first occurrence of `extension` (letter case ignored) ends the name: FWDLIST.FWD is not one.
std::vector<std::string> ListFilesWithExtension(const std::filesystem::path& folder, std::string_view extension);

// The review window's suggested save name: up to the last "." (anywhere in the text) + ".DDX".
std::string ReviewOutputName(std::string_view source);

// The unattended and batch output name: up to the last "." + "cvt.DDX".
std::string ConvertedOutputName(std::string_view source);

}  // namespace vantrel
