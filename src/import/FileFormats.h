#pragma once
// The input formats, one row per FileTypeCode: everything the program knows of a format besides
// its reader's own rules. The command line, the open dialog, the settings window and the
// conversion dispatch all read this table; adding a format is one reader and one row.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "document/PDDXFile.h"
#include "import/ReaderInput.h"
#include "import/Sniffing.h"

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
    kJilsTHY = 11,
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
    Sniffer Sniff;              // how much a file's first bytes look like the format; nullptr: never detected
};

// Every row, in code order.
std::span<const FileFormat> FileFormats();

// The row of a code; nullptr for a code outside the table.
const FileFormat* FindFileFormat(std::int32_t code);

// Display name of a code ("Dynatest F25"); empty text for any other code.
std::string FileTypeName(std::int32_t code);

// A code given as its number (0 to 11) or its short name, letter case ignored; nullopt for
// anything else.
std::optional<std::int32_t> FileTypeFromText(std::string_view text);

// The short names of the formats that have a reader, in code order, for messages: "pddx, f25, ...".
std::string FileTypeShortNames();

// Whether a code has a reader.
bool HasReader(std::int32_t code);

// Why a file of a format that is recognised but has no reader is not converted: "a JILS time
// history, not readable on its own". Empty for the other codes.
std::string NotReadableOnItsOwn(std::int32_t code);

// The short name of a code for messages, "unknown" for none.
std::string ShortNameOf(std::int32_t code);

constexpr std::size_t kFormatCount = 12;
constexpr std::int32_t kUnknownType = -1;

// What the first bytes of an input look like: the format whose sniffer scores highest, when that
// score reaches kRecognised. Of formats with equal scores the one whose usual extensions hold
// the name's wins; if that does not settle it, the input is unknown.
struct Detection {
    std::int32_t Code = kUnknownType;
    std::array<int, kFormatCount> Scores{};  // by code

    // The content clearly belongs to another format than `chosen`: it is recognised as one,
    // and does not look enough like `chosen` for `chosen` to be recognised.
    bool ClearlyOther(std::int32_t chosen) const;
};
Detection DetectFormat(std::string_view head, std::string_view name, bool complete);

}  // namespace vantrel
