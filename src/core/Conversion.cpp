#include "core/Conversion.h"

#include <optional>

#include "base/AtomicFile.h"
#include "base/ReadError.h"
#include "core/OutputNames.h"
#include "import/FileFormats.h"

namespace vantrel {

ReaderContext ReaderContextOf(ProgramState& state, ReadWarnings& warnings)
{
    const SettingsRecord& s = state.Settings;
    return ReaderContext{state.Settings.NumSensors, {s.LoadPlateRadius, s.SensorXAxis, s.SensorYAxis}, state.Readers,
                         warnings};
}

namespace {

void ReadOnce(ProgramState& state, std::int32_t code, const InputFile& input, PDDXFile& document, bool append,
              const BytesRead& progress, Reader reader, ReadWarnings& warnings)
{
    std::optional<ByteSource> bytes;
    try {
        bytes.emplace(OpenInput(input));
    } catch (const ReadError&) {
        // A PDDX file that cannot be opened reads as one without sections, as a profile lookup
        // in a missing file gives nothing; every other reader needs its file.
        if (code != kPDDX) throw;
        bytes.emplace(ByteSource::InMemory(input.Name, ""));
    }
    if (progress) bytes->ObserveReads(progress);
    ReaderInput readerInput{input.Name, *bytes, input.Bytes ? std::nullopt : LocalModificationDay(input.Name)};
    ReaderContext context = ReaderContextOf(state, warnings);
    reader(context, readerInput, document, append);
}

// The values of the standard template's elements in a document, in template order, and the size
// of the document: enough to tell what a reading changed.
struct DocumentShape {
    std::vector<std::string> Values;
    int Sections = 0;
    long long Elements = 0;
};

DocumentShape ShapeOf(const PDDXFile& document)
{
    DocumentShape shape;
    const PDDXFile blank;
    for (const PDDXSection& section : blank.Sections())
        for (const PDDXElement& element : section.Elements())
            shape.Values.emplace_back(document.Element(section.Handle(), element.Handle()).Value());
    for (const PDDXSection& section : document.Sections()) {
        ++shape.Sections;
        shape.Elements += section.Elements().Count();
    }
    return shape;
}

// What the reader of `code` sets whatever its input holds: its reading of an empty input, with
// copies of what it may change of the program's state. A reading that fails keeps what it set.
DocumentShape ShapeOfNothingRead(const ProgramState& state, Reader reader, const std::string& name, bool append)
{
    PDDXFile document;
    int numSensors = state.Settings.NumSensors;
    ReaderCarryOver carryOver = state.Readers;
    const SettingsRecord& s = state.Settings;
    ReadWarnings warnings;
    ReaderContext context{numSensors, {s.LoadPlateRadius, s.SensorXAxis, s.SensorYAxis}, carryOver, warnings};
    ByteSource nothing = ByteSource::InMemory(name, "");
    ReaderInput input{name, nothing, std::nullopt};
    try {
        reader(context, input, document, append);
    } catch (const std::exception&) {
    }
    return ShapeOf(document);
}

// Whether a reading that added no section and no element changed only what its reader sets
// whatever the input holds.
bool ChangedNothingOfItsInput(const DocumentShape& before, const DocumentShape& after, const DocumentShape& blank,
                              const DocumentShape& nothing)
{
    for (std::size_t i = 0; i < after.Values.size(); ++i) {
        const bool setWhateverTheInput = nothing.Values[i] != blank.Values[i] && after.Values[i] == nothing.Values[i];
        if (after.Values[i] != before.Values[i] && !setWhateverTheInput) return false;
    }
    return true;
}

std::string LineEndsNote(std::int32_t code)
{
    return "its lines end with a line feed alone, and " + ShortNameOf(code) + " lines end with a carriage return";
}

// What the user should know of a reading: that it took nothing from the file (and what the file
// looks like then), or that the reader took a file of line feeds alone for one line.
std::string Warning(std::int32_t code, const InputFile& input, bool nothingRead)
{
    const std::string nothing = "nothing was read as " + ShortNameOf(code);
    InputHead head;
    try {
        head = ReadHead(input);
    } catch (const ReadError&) {
        return nothingRead ? nothing : "";
    }
    const bool lineFeeds = head.LineFeedsOnly() && !FindFileFormat(code)->LineFeedsEndLines;
    if (!nothingRead) return lineFeeds ? LineEndsNote(code) + ", so the whole file was read as one line" : "";
    std::string warning = nothing;
    const Detection detection = DetectFormat(head.Bytes, input.Name, head.Complete);
    if (detection.Code != kUnknownType && detection.Code != code)
        warning += " (it looks like " + ShortNameOf(detection.Code) + ")";
    if (head.Bytes.empty()) warning += ": the file is empty";
    else if (lineFeeds) warning += "; " + LineEndsNote(code);
    return warning;
}

}  // namespace

ReadWarnings ReadWithReader(ProgramState& state, std::int32_t code, const std::string& fileName, PDDXFile& document,
                            bool append)
{
    if (!HasReader(code)) throw UnknownFileType();
    ReadWarnings warnings;
    ReadOnce(state, code, InputFile::Named(fileName), document, append, {}, FindFileFormat(code)->Read, warnings);
    return warnings;
}

ReadReport ReadInput(ProgramState& state, std::int32_t code, const InputFile& input, PDDXFile& document, bool append,
                     const BytesRead& progress, Reader reader)
{
    if (!HasReader(code)) throw UnknownFileType();
    if (!reader) reader = FindFileFormat(code)->Read;
    const DocumentShape before = ShapeOf(document);
    ReadReport report;
    try {
        ReadOnce(state, code, input, document, append, progress, reader, report.Lines);
    } catch (const ReadError& failure) {
        // A file whose line feeds the reader does not take for line ends is one long line.
        const FileFormat& format = *FindFileFormat(code);
        bool lineFeedsOnly = false;
        try {
            lineFeedsOnly = ReadHead(input).LineFeedsOnly();
        } catch (const ReadError&) {
        }
        if (!lineFeedsOnly || format.LineFeedsEndLines) throw;
        throw ReadError(failure.File(), failure.Line(), failure.Reason() + "; " + LineEndsNote(code));
    }
    // A reading that added sections or elements took something; only one that did not needs the
    // comparison with what its reader sets from nothing (a second reading, of an empty input).
    const DocumentShape after = ShapeOf(document);
    const bool nothingRead = after.Sections == before.Sections && after.Elements == before.Elements &&
                             ChangedNothingOfItsInput(before, after, ShapeOf(PDDXFile()),
                                                      ShapeOfNothingRead(state, reader, input.Name, append));
    report.Warning = Warning(code, input, nothingRead);
    return report;
}

void WriteDocument(const PDDXFile& document, const std::string& outputName)
{
    WriteFileAtomically(outputName, [&document](std::ostream& out) { document.PDDX_Output(out); });
}

std::unique_ptr<PDDXFile> ConvertUnattended(ProgramState& state, const std::string& inputFileName,
                                            const ReadCheck& check, const BytesRead& progress)
{
    if (inputFileName.empty()) return nullptr;
    auto document = std::make_unique<PDDXFile>();
    const ReadReport report =
        ReadInput(state, state.CurrentFileType, InputFile::Named(inputFileName), *document, false, progress);
    if (check) check(report);
    if (state.CommandLineRun) WriteDocument(*document, state.CommandLineOutputName);
    return document;
}

std::vector<BatchFile> BatchFiles(const std::string& chosenFile, const std::string& outputFolder)
{
    const std::filesystem::path chosen(chosenFile);
    const std::filesystem::path folder = chosen.has_parent_path() ? chosen.parent_path() : ".";
    std::vector<BatchFile> files;
    for (std::string& name : ListFilesWithExtension(folder, FileExtensionOf(chosen.filename().string()))) {
        std::string input = (folder / name).string();
        std::string output = OutputInFolder((folder / ConvertedOutputName(name)).string(), outputFolder);
        files.push_back({std::move(name), std::move(input), std::move(output), std::nullopt});
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
        if (files[i].Type) state.CurrentFileType = *files[i].Type;
        ConvertUnattended(
            state, files[i].Input,
            [&](const ReadReport& report) {
                if (progress.Read) progress.Read(i, report);
            },
            progress.Bytes);
        if (progress.Written) progress.Written(i);
    }
    return files.size();
}

}  // namespace vantrel
