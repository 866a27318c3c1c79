#pragma once
// The input formats, one row per FileType: everything the program knows of a format besides its
// reader's own rules. The command line, the open dialog, the settings window, detection and the
// conversion dispatch all read this table. Adding a format is one reader file (its reader, its
// sniffer and what it carries between files) and, here, an enumerator, two declarations and a
// row: see CONTRIBUTING.md.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
// A reader that carries more than the table's rows can (where a reading puts what it keeps apart).
using ReaderCall = std::function<void(ReaderContext& context, ReaderInput& input, PDDXFile& document, bool append)>;

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

// Each format's reader and sniffer, defined in the format's own file under src/import/.
void ReadPDDX(ReaderContext&, ReaderInput&, PDDXFile&, bool append);
int SniffPDDX(const SniffSample&);
void ReadF25File(ReaderContext&, ReaderInput&, PDDXFile&);
int SniffF25(const SniffSample&);
void ReadF20File(ReaderContext&, ReaderInput&, PDDXFile&);
int SniffF20(const SniffSample&);
void ReadCarlBroFwd(ReaderContext&, ReaderInput&, PDDXFile&);
int SniffCarlBroFwd(const SniffSample&);
void ReadCarlBroConfig(ReaderContext&, ReaderInput&, PDDXFile&);
int SniffCarlBroConfig(const SniffSample&);
void ReadJilsDat(ReaderContext&, ReaderInput&, PDDXFile&);
int SniffJilsDat(const SniffSample&);
int SniffJilsThy(const SniffSample&);
void ReadJilsSetupPar(ReaderContext&, ReaderInput&, PDDXFile&);
int SniffJilsPar(const SniffSample&);
void ReadJilsCfg(ReaderContext&, ReaderInput&, PDDXFile&);
int SniffJilsCfg(const SniffSample&);
void ReadKuabFwd(ReaderContext&, ReaderInput&, PDDXFile&);
int SniffKuabFwd(const SniffSample&);
void ReadKuabFvoIni(ReaderContext&, ReaderInput&, PDDXFile&);
int SniffKuabIni(const SniffSample&);

// The native readers add to whatever document they are given, fresh or already filled.
template <void (*Read)(ReaderContext&, ReaderInput&, PDDXFile&)>
inline void Native(ReaderContext& context, ReaderInput& input, PDDXFile& document, bool /*append*/)
{
    Read(context, input, document);
}

// The table: one row per format, at its code.
inline constexpr auto kFormatTable = std::to_array<FileFormat>({
    {FileType::PDDX, "pddx", "PDDX", "optPDDX", "PDDX", true, 6, "DDX", &ReadPDDX, &SniffPDDX},
    {FileType::DynatestF25, "f25", "Dynatest F25", "optF25", "Dynatest F25", true, 2, "F25", &Native<ReadF25File>,
     &SniffF25},
    {FileType::DynatestF20, "f20", "Dynatest F20 or FWD", "optF20", "Dynatest F20", true, 1, "F20;FWD",
     &Native<ReadF20File>, &SniffF20},
    {FileType::CarlBroFwd, "carlbro", "Carl Bro FWD", "optCarlBroFWD", "Carl Bro FWD", true, 3, "TXT",
     &Native<ReadCarlBroFwd>, &SniffCarlBroFwd},
    {FileType::CarlBroIni, "carlbro-ini", "Carl Bro INI", "optCarlBroINI", "Carl Bro Configuration (Text)", true, 0,
     "TXT", &Native<ReadCarlBroConfig>, &SniffCarlBroConfig},
    {FileType::CarlBroHistory, nullptr, "Carl Bro History", "optCarlBroHist", "Carl Bro History", false, 0, "HST;HIS",
     nullptr, nullptr},
    {FileType::JilsDat, "jils-dat", "JILS DAT", "optJils", "Jils DAT", true, 4, "DAT", &Native<ReadJilsDat>,
     &SniffJilsDat},
    {FileType::JilsPar, "jils-par", "JILS Setup.Par", "optJILSPAR", "JILS PAR (Setup)", true, -1, "PAR",
     &Native<ReadJilsSetupPar>, &SniffJilsPar},
    {FileType::KuabFwd, "kuab", "KUAB FWD", "optKUABFWD", "KUAB FWD", true, 5, "FWD", &Native<ReadKuabFwd>,
     &SniffKuabFwd},
    {FileType::KuabIni, "kuab-ini", "KUAB FVO.INI", "optKuabIni", "KUAB INI", true, -1, "INI", &Native<ReadKuabFvoIni>,
     &SniffKuabIni},
    {FileType::JilsCfg, "jils-cfg", "JILS CFG", "optJILSCFG", "JILS CFG (Load cell)", true, -1, "CFG",
     &Native<ReadJilsCfg>, &SniffJilsCfg},
    // Recognised so that it is not read as a data file (one test location per time sample), but
    // it holds no drops of its own to convert.
    {FileType::JilsThy, "jils-thy", "JILS time history", "optJilsThy", "JILS time history", false, -1, "THY", nullptr,
     &SniffJilsThy},
});

constexpr std::size_t kFormatCount = kFormatTable.size();

// A format's usual extensions, {"F20", "FWD"} for "F20;FWD".
std::vector<std::string_view> UsualExtensions(const FileFormat& format);

// Every row, in code order.
std::span<const FileFormat> FileFormats();

// The row of a type; nullptr for a type outside the table.
const FileFormat* FindFileFormat(FileType type);

// Display name of a type ("Dynatest F25"); empty text for any other.
std::string FileTypeName(FileType type);

// A type given as its code or its short name, letter case ignored; nullopt for
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
