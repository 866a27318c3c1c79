#include "app/Conversion.h"

#include <array>

#include "app/AtomicFile.h"
#include "app/FileTypes.h"
#include "document/modPDDXRead.h"

namespace vantrel {
namespace {

using Reader = void (*)(ProgramState&, const std::string& fileName, PDDXFile& document, bool append);

void ReadPDDX(ProgramState& state, const std::string& fileName, PDDXFile& document, bool append)
{
    ReadPDDXFile(fileName, document, append, state.Settings.NumSensors);
}

// One reader per code; empty where this build has none yet.
constexpr std::array<Reader, 11> kReaders = {
    &ReadPDDX,  // 0 PDDX
    nullptr,    // 1 Dynatest F25
    nullptr,    // 2 Dynatest F20
    nullptr,    // 3 Carl Bro FWD
    nullptr,    // 4 Carl Bro INI
    nullptr,    // 5 Carl Bro History: there is no such reader
    nullptr,    // 6 JILS DAT
    nullptr,    // 7 JILS Setup.Par
    nullptr,    // 8 KUAB FWD
    nullptr,    // 9 KUAB FVO.INI
    nullptr,    // 10 JILS CFG
};

}  // namespace

void ReadWithReader(ProgramState& state, std::int32_t code, const std::string& fileName, PDDXFile& document,
                    bool append)
{
    if (code < 0 || code >= static_cast<std::int32_t>(kReaders.size()) || code == kCarlBroHistory)
        throw UnknownFileType();
    const Reader reader = kReaders[static_cast<std::size_t>(code)];
    if (!reader) throw FormatNotAvailable("the " + FileTypeName(code) + " format cannot be read by this version yet");
    reader(state, fileName, document, append);
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
