#include "import/FileFormats.h"

#include <array>

#include "base/Latin1.h"
#include "document/modPDDXRead.h"
#include "import/modCarlBroRead.h"
#include "import/modF20Read.h"
#include "import/modF25Read.h"
#include "import/modJilsConfigRead.h"
#include "import/modJilsRead.h"
#include "import/modKUABRead.h"

namespace vantrel {
namespace {

void ReadPDDX(ReaderContext& context, ReaderInput& input, PDDXFile& document, bool append)
{
    ReadPDDXFile(input.Bytes, document, append, context.NumSensors);
}

// The native readers add to whatever document they are given, fresh or already filled.
template <void (*Read)(ReaderContext&, ReaderInput&, PDDXFile&)>
void Native(ReaderContext& context, ReaderInput& input, PDDXFile& document, bool /*append*/)
{
    Read(context, input, document);
}

constexpr std::array<FileFormat, 11> kFormats = {{
    {kPDDX, "pddx", "PDDX", "optPDDX", "PDDX", true, 6, "DDX", &ReadPDDX},
    {kDynatestF25, "f25", "Dynatest F25", "optF25", "Dynatest F25", true, 2, "F25", &Native<ReadF25File>},
    {kDynatestF20, "f20", "Dynatest F20 or FWD", "optF20", "Dynatest F20", true, 1, "F20;FWD", &Native<ReadF20File>},
    {kCarlBroFWD, "carlbro", "Carl Bro FWD", "optCarlBroFWD", "Carl Bro FWD", true, 3, "TXT", &Native<ReadCarlBroFwd>},
    {kCarlBroINI, "carlbro-ini", "Carl Bro INI", "optCarlBroINI", "Carl Bro Configuration (Text)", true, 0, "TXT",
     &Native<ReadCarlBroConfig>},
    {kCarlBroHistory, nullptr, "Carl Bro History", "optCarlBroHist", "Carl Bro History", false, 0, "HST;HIS", nullptr},
    {kJilsDAT, "jils-dat", "JILS DAT", "optJils", "Jils DAT", true, 4, "DAT", &Native<ReadJilsDat>},
    {kJilsPAR, "jils-par", "JILS Setup.Par", "optJILSPAR", "JILS PAR (Setup)", true, -1, "PAR", &Native<ReadJilsSetupPar>},
    {kKuabFWD, "kuab", "KUAB FWD", "optKUABFWD", "KUAB FWD", true, 5, "FWD", &Native<ReadKuabFwd>},
    {kKuabINI, "kuab-ini", "KUAB FVO.INI", "optKuabIni", "KUAB INI", true, -1, "INI", &Native<ReadKuabFvoIni>},
    {kJilsCFG, "jils-cfg", "JILS CFG", "optJILSCFG", "JILS CFG (Load cell)", true, -1, "CFG", &Native<ReadJilsCfg>},
}};

}  // namespace

std::span<const FileFormat> FileFormats() { return kFormats; }

const FileFormat* FindFileFormat(std::int32_t code)
{
    if (code < 0 || code >= static_cast<std::int32_t>(kFormats.size())) return nullptr;
    return &kFormats[static_cast<std::size_t>(code)];
}

std::string FileTypeName(std::int32_t code)
{
    const FileFormat* format = FindFileFormat(code);
    return format ? format->Name : "";
}

std::optional<std::int32_t> FileTypeFromText(std::string_view text)
{
    text = TrimBlanks(text);
    for (const FileFormat& format : kFormats)
        if (text == std::to_string(format.Code) || (format.ShortName && EqualsIgnoreCase(text, format.ShortName)))
            return format.Code;
    return std::nullopt;
}

std::string FileTypeShortNames()
{
    std::string names;
    for (const FileFormat& format : kFormats)
        if (format.ShortName) names += (names.empty() ? "" : ", ") + std::string(format.ShortName);
    return names;
}

bool HasReader(std::int32_t code)
{
    const FileFormat* format = FindFileFormat(code);
    return format && format->Read;
}

}  // namespace vantrel
