#include "app/Conversion.h"

#include <array>

#include "app/AtomicFile.h"
#include "app/FileTypes.h"
#include "document/modPDDXRead.h"
#include "import/modCarlBroRead.h"
#include "import/modF20Read.h"
#include "import/modF25Read.h"
#include "import/modJilsConfigRead.h"
#include "import/modJilsRead.h"
#include "import/modKUABRead.h"

namespace vantrel {
namespace {

using Reader = void (*)(ProgramState&, const std::string& fileName, PDDXFile& document, bool append);

void ReadPDDX(ProgramState& state, const std::string& fileName, PDDXFile& document, bool append)
{
    ReadPDDXFile(fileName, document, append, state.Settings.NumSensors);
}

// The native readers add to whatever document they are given, fresh or already filled, so the
// append flag means nothing to them.
template <void (*Read)(ProgramState&, const std::string&, PDDXFile&)>
void Native(ProgramState& state, const std::string& fileName, PDDXFile& document, bool /*append*/)
{
    Read(state, fileName, document);
}

// One reader per code.
constexpr std::array<Reader, 11> kReaders = {
    &ReadPDDX,                     // 0 PDDX
    &Native<ReadF25File>,          // 1 Dynatest F25
    &Native<ReadF20File>,          // 2 Dynatest F20
    &Native<ReadCarlBroFwd>,       // 3 Carl Bro FWD
    &Native<ReadCarlBroConfig>,    // 4 Carl Bro INI
    nullptr,                       // 5 Carl Bro History: there is no such reader
    &Native<ReadJilsDat>,          // 6 JILS DAT
    &Native<ReadJilsSetupPar>,     // 7 JILS Setup.Par
    &Native<ReadKuabFwd>,          // 8 KUAB FWD
    &Native<ReadKuabFvoIni>,       // 9 KUAB FVO.INI
    &Native<ReadJilsCfg>,          // 10 JILS CFG
};

}  // namespace

bool HasReader(std::int32_t code)
{
    return code >= 0 && code < static_cast<std::int32_t>(kReaders.size()) && kReaders[static_cast<std::size_t>(code)];
}

void ReadWithReader(ProgramState& state, std::int32_t code, const std::string& fileName, PDDXFile& document,
                    bool append)
{
    if (!HasReader(code)) throw UnknownFileType();
    kReaders[static_cast<std::size_t>(code)](state, fileName, document, append);
}

void WriteDocument(const PDDXFile& document, const std::string& outputName)
{
    WriteFileAtomically(outputName, [&document](std::ostream& out) { document.PDDX_Output(out); });
}

std::unique_ptr<PDDXFile> ConvertUnattended(ProgramState& state, const std::string& inputFileName)
{
    if (inputFileName.empty()) return nullptr;
    auto document = std::make_unique<PDDXFile>();
    ReadWithReader(state, state.CurrentFileType, inputFileName, *document, false);
    if (state.CommandLineRun) WriteDocument(*document, state.CommandLineOutputName);
    return document;
}

}  // namespace vantrel
