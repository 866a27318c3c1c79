#pragma once
// The input formats, one row per FileType: everything the program knows of a format besides its
// reader's own rules. The command line, the open dialog, the settings window, the manual page and
// the conversion dispatch all read this table. Adding a format is one reader file (its reader, its
// sniffer and what it carries between files) and one row here: see CONTRIBUTING.md.

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

enum class FileType : std::int32_t {
    Unknown = -1,
    PDDX = 0,
    DynatestF25 = 1,
    DynatestF20 = 2,
    CarlBroFwd = 3,
    CarlBroIni = 4,
    CarlBroHistory = 5,
    JilsDat = 6,
    JilsPar = 7,
    KuabFwd = 8,
    KuabIni = 9,
    JilsCfg = 10,
    JilsThy = 11,
};

// The number of a type, as settings files and the command line write it.
constexpr std::int32_t CodeOf(FileType type) { return static_cast<std::int32_t>(type); }

// Reads `input` into `document`; `append` is set when the document already holds data (a
// merge). Only the PDDX reader reads differently then; the others add to any document.
using Reader = void (*)(ReaderContext& context, ReaderInput& input, PDDXFile& document, bool append);

struct FileFormat {
    FileType Type;
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

// The row of a type; nullptr for a type outside the table.
const FileFormat* FindFileFormat(FileType type);

// Display name of a type ("Dynatest F25"); empty text for any other.
std::string FileTypeName(FileType type);

// A type given as its number (0 to 11) or its short name, letter case ignored; nullopt for
// anything else.
std::optional<FileType> FileTypeFromText(std::string_view text);

// The short names of the formats that have a reader, in code order, for messages: "pddx, f25, ...".
std::string FileTypeShortNames();

// Whether a type has a reader.
bool HasReader(FileType type);

// Why a file of a format that is recognised but has no reader is not converted: "a JILS time
// history, not readable on its own". Empty for the other codes.
std::string NotReadableOnItsOwn(FileType type);

// The short name of a type for messages, "unknown" for none.
std::string ShortNameOf(FileType type);

constexpr std::size_t kFormatCount = 12;

// What the first bytes of an input look like: the format whose sniffer scores highest, when that
// score reaches kRecognised. Of formats with equal scores the one whose usual extensions hold
// the name's wins; if that does not settle it, the input is unknown.
struct Detection {
    FileType Type = FileType::Unknown;
    std::array<int, kFormatCount> Scores{};  // by CodeOf(type)

    // The content clearly belongs to another format than `chosen`: it is recognised as one,
    // and does not look enough like `chosen` for `chosen` to be recognised.
    bool ClearlyOther(FileType chosen) const;
};
Detection DetectFormat(std::string_view head, std::string_view name, bool complete);

}  // namespace vantrel
