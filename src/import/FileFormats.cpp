#include "import/FileFormats.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/Latin1.h"

namespace vantrel {

// Each format's reader and sniffer, defined in the format's own file.
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

namespace {

// The native readers add to whatever document they are given, fresh or already filled.
template <void (*Read)(ReaderContext&, ReaderInput&, PDDXFile&)>
void Native(ReaderContext& context, ReaderInput& input, PDDXFile& document, bool /*append*/)
{
    Read(context, input, document);
}

constexpr std::array<FileFormat, kFormatCount> kFormats = {{
    {FileType::PDDX, "pddx", "PDDX", "optPDDX", "PDDX", true, 6, "DDX", &ReadPDDX, &SniffPDDX},
    {FileType::DynatestF25, "f25", "Dynatest F25", "optF25", "Dynatest F25", true, 2, "F25", &Native<ReadF25File>, &SniffF25},
    {FileType::DynatestF20, "f20", "Dynatest F20 or FWD", "optF20", "Dynatest F20", true, 1, "F20;FWD", &Native<ReadF20File>,
     &SniffF20},
    {FileType::CarlBroFwd, "carlbro", "Carl Bro FWD", "optCarlBroFWD", "Carl Bro FWD", true, 3, "TXT", &Native<ReadCarlBroFwd>,
     &SniffCarlBroFwd},
    {FileType::CarlBroIni, "carlbro-ini", "Carl Bro INI", "optCarlBroINI", "Carl Bro Configuration (Text)", true, 0, "TXT",
     &Native<ReadCarlBroConfig>, &SniffCarlBroConfig},
    {FileType::CarlBroHistory, nullptr, "Carl Bro History", "optCarlBroHist", "Carl Bro History", false, 0, "HST;HIS", nullptr,
     nullptr},
    {FileType::JilsDat, "jils-dat", "JILS DAT", "optJils", "Jils DAT", true, 4, "DAT", &Native<ReadJilsDat>, &SniffJilsDat},
    {FileType::JilsPar, "jils-par", "JILS Setup.Par", "optJILSPAR", "JILS PAR (Setup)", true, -1, "PAR", &Native<ReadJilsSetupPar>,
     &SniffJilsPar},
    {FileType::KuabFwd, "kuab", "KUAB FWD", "optKUABFWD", "KUAB FWD", true, 5, "FWD", &Native<ReadKuabFwd>, &SniffKuabFwd},
    {FileType::KuabIni, "kuab-ini", "KUAB FVO.INI", "optKuabIni", "KUAB INI", true, -1, "INI", &Native<ReadKuabFvoIni>,
     &SniffKuabIni},
    {FileType::JilsCfg, "jils-cfg", "JILS CFG", "optJILSCFG", "JILS CFG (Load cell)", true, -1, "CFG", &Native<ReadJilsCfg>,
     &SniffJilsCfg},
    // Recognised so that it is not read as a data file (one test location per time sample), but
    // it holds no drops of its own to convert.
    {FileType::JilsThy, "jils-thy", "JILS time history", "optJilsThy", "JILS time history", false, -1, "THY", nullptr,
     &SniffJilsThy},
}};

// FindFileFormat takes a row by its type's code: each row sits at its own code.
constexpr bool RowsSitAtTheirCodes()
{
    for (std::size_t i = 0; i < kFormats.size(); ++i)
        if (CodeOf(kFormats[i].Type) != static_cast<std::int32_t>(i)) return false;
    return true;
}
static_assert(RowsSitAtTheirCodes(), "a row of the format table is not at its code");

// Whether `name` ends in one of the format's usual extensions, letter case ignored.
bool HasUsualExtension(const FileFormat& format, std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = name.substr(dot + 1);
    const std::string_view extensions = format.Extensions;
    for (std::size_t at = 0; at <= extensions.size();) {
        const std::size_t end = std::min(extensions.find(';', at), extensions.size());
        if (EqualsIgnoreCase(extensions.substr(at, end - at), extension)) return true;
        at = end + 1;
    }
    return false;
}

}  // namespace

std::span<const FileFormat> FileFormats() { return kFormats; }

const FileFormat* FindFileFormat(FileType type)
{
    const std::int32_t code = CodeOf(type);
    if (code < 0 || code >= static_cast<std::int32_t>(kFormats.size())) return nullptr;
    return &kFormats[static_cast<std::size_t>(code)];
}

std::string FileTypeName(FileType type)
{
    const FileFormat* format = FindFileFormat(type);
    return format ? format->Name : "";
}

std::optional<FileType> FileTypeFromText(std::string_view text)
{
    text = TrimBlanks(text);
    for (const FileFormat& format : kFormats)
        if (text == std::to_string(CodeOf(format.Type)) || (format.ShortName && EqualsIgnoreCase(text, format.ShortName)))
            return format.Type;
    return std::nullopt;
}

std::string FileTypeShortNames()
{
    std::string names;
    for (const FileFormat& format : kFormats)
        if (format.ShortName && format.Read) names += (names.empty() ? "" : ", ") + std::string(format.ShortName);
    return names;
}

bool HasReader(FileType type)
{
    const FileFormat* format = FindFileFormat(type);
    return format && format->Read;
}

std::string NotReadableOnItsOwn(FileType type)
{
    const FileFormat* format = FindFileFormat(type);
    if (!format || format->Read || !format->Sniff) return "";
    return "a " + std::string(format->Name) + ", not readable on its own";
}

std::string ShortNameOf(FileType type)
{
    const FileFormat* format = FindFileFormat(type);
    return format && format->ShortName ? format->ShortName : "unknown";
}

bool Detection::ClearlyOther(FileType chosen) const
{
    return Type != FileType::Unknown && Type != chosen &&
           (!FindFileFormat(chosen) || Scores[static_cast<std::size_t>(CodeOf(chosen))] < kRecognised);
}

Detection DetectFormat(std::string_view head, std::string_view name, bool complete)
{
    const SniffSample sample(head, complete);
    Detection detection;
    int best = 0;
    for (const FileFormat& format : kFormats) {
        const int score = format.Sniff ? format.Sniff(sample) : 0;
        detection.Scores[static_cast<std::size_t>(CodeOf(format.Type))] = score;
        best = std::max(best, score);
    }
    if (best < kRecognised) return detection;
    std::vector<FileType> tied, usual;
    for (const FileFormat& format : kFormats) {
        if (detection.Scores[static_cast<std::size_t>(CodeOf(format.Type))] != best) continue;
        tied.push_back(format.Type);
        if (HasUsualExtension(format, name)) usual.push_back(format.Type);
    }
    if (tied.size() == 1) detection.Type = tied.front();
    else if (usual.size() == 1) detection.Type = usual.front();
    return detection;
}

}  // namespace vantrel
