#pragma once
// The input formats, one row per FileTypeCode: everything the program knows of a format besides
// its reader's own rules. The command line, the open dialog, the settings window and the
// conversion dispatch all read this table; adding a format is one reader and one row.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "document/PDDXFile.h"
#include "import/ReaderInput.h"

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

// Reads `input` into `document`; `append` is set when the document already holds data (a
// merge). Only the PDDX reader reads differently then; the others add to any document.
using Reader = void (*)(ReaderContext& context, ReaderInput& input, PDDXFile& document, bool append);

struct FileFormat {
    FileTypeCode Code;
    const char* ShortName;      // on the command line; nullptr where there is none
    const char* Name;           // FileTypeName, as messages and titles show it
    const char* OptionName;     // the option button of the open dialog and the settings window
    const char* OptionCaption;  // its caption
    bool OpenOption;            // the open dialog shows the option
    int SettingsPosition;       // the settings window shows it at 1, 2, ...; 0: hidden there; -1: absent
    const char* Extensions;     // the extensions its files usually have, "F25;FWD"
    Reader Read;                // nullptr: there is no reader
};

// Every row, in code order.
std::span<const FileFormat> FileFormats();

// The row of a code; nullptr for a code outside the table.
const FileFormat* FindFileFormat(std::int32_t code);

// Display name of a code ("Dynatest F25"); empty text for any other code.
std::string FileTypeName(std::int32_t code);

// A code given as its number (0 to 10) or its short name, letter case ignored; nullopt for
// anything else.
std::optional<std::int32_t> FileTypeFromText(std::string_view text);

// The short names, in code order, for messages: "pddx, f25, ...".
std::string FileTypeShortNames();

// Whether a code has a reader.
bool HasReader(std::int32_t code);

}  // namespace vantrel
