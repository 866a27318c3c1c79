#include "core/Conversion.h"

#include <optional>

#include "base/AtomicFile.h"
#include "core/OutputNames.h"
#include "import/FileFormats.h"

namespace vantrel {

ReaderContext ReaderContextOf(ProgramState& state)
{
    const SettingsRecord& s = state.Settings;
    return ReaderContext{state.Settings.NumSensors, {s.LoadPlateRadius, s.SensorXAxis, s.SensorYAxis}, state.Readers};
}

void ReadWithReader(ProgramState& state, std::int32_t code, const std::string& fileName, PDDXFile& document,
                    bool append)
{
    if (!HasReader(code)) throw UnknownFileType();
    std::optional<ByteSource> bytes;
    try {
        bytes.emplace(ByteSource::OpenFile(fileName));
    } catch (const ReadError&) {
        // A PDDX file that cannot be opened reads as one without sections, as a profile lookup
        // in a missing file gives nothing; every other reader needs its file.
        if (code != kPDDX) throw;
        bytes.emplace(ByteSource::InMemory(fileName, ""));
    }
    ReaderInput input{fileName, *bytes, LocalModificationDay(fileName)};
    ReaderContext context = ReaderContextOf(state);
    FindFileFormat(code)->Read(context, input, document, append);
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

std::vector<BatchFile> BatchFiles(const std::string& chosenFile)
{
    const std::filesystem::path chosen(chosenFile);
    const std::filesystem::path folder = chosen.has_parent_path() ? chosen.parent_path() : ".";
    std::vector<BatchFile> files;
    for (std::string& name : ListFilesWithExtension(folder, FileExtensionOf(chosen.filename().string()))) {
        std::string input = (folder / name).string();
        std::string output = (folder / ConvertedOutputName(name)).string();
        files.push_back({std::move(name), std::move(input), std::move(output)});
    }
    return files;
}

std::size_t ConvertBatch(ProgramState& state, const std::vector<BatchFile>& files, const BatchProgress& progress)
{
    state.CommandLineRun = true;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (progress.Stop && progress.Stop()) return i;
        if (progress.Starting) progress.Starting(i);
        state.CommandLineOutputName = files[i].Output;
        ConvertUnattended(state, files[i].Input);
        if (progress.Written) progress.Written(i);
    }
    return files.size();
}

}  // namespace vantrel
