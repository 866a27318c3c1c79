#include "core/Conversion.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>

#include "base/AtomicFile.h"
#include "base/ReadError.h"
#include "core/InOrder.h"
#include "core/OutputChecks.h"
#include "core/OutputNames.h"
#include "import/FileFormats.h"

namespace vantrel {

ReadingState NewReading(const SettingsRecord& settings) { return ReadingState{settings.NumSensors, {}}; }

ReaderContext ReaderContextOf(const SettingsRecord& settings, ReadingState& reading, ReadWarnings& warnings)
{
    return ReaderContext{reading.NumSensors,
                         {settings.LoadPlateRadius, settings.SensorXAxis, settings.SensorYAxis},
                         reading.CarryOver,
                         warnings};
}

namespace {

// The refusal of a code without a reader: a file of a kind that is recognised is named with what
// it is; any other code is an unknown file type.
void RequireReaderFor(FileType code, const std::string& fileName)
{
    if (HasReader(code)) return;
    if (const std::string why = NotReadableOnItsOwn(code); !why.empty()) throw ReadError(fileName, 0, why);
    throw UnknownFileType();
}

void ReadOnce(const SettingsRecord& settings, ReadingState& reading, FileType code, InputFile& input,
              PDDXFile& document, bool append, const BytesRead& progress, const ReaderCall& reader,
              ReadWarnings& warnings)
{
    ByteSource nothing = ByteSource::InMemory(input.Name, "");
    ByteSource* bytes = &nothing;
    try {
        bytes = &SourceOf(input);
    } catch (const ReadError&) {
        // A PDDX file that cannot be opened reads as one without sections, as a profile lookup
        // in a missing file gives nothing; every other reader needs its file.
        if (code != FileType::PDDX) throw;
    }
    if (progress) bytes->ObserveReads(progress);
    bytes->ReportTo(&warnings);
    // Standard input has no date of its own: the day it is read stands in.
    std::optional<std::chrono::year_month_day> modified = LocalModificationDay(input.Name);
    const bool readingDay = input.Name == "-" || !modified;
    if (readingDay) modified = LocalToday();
    ReaderInput readerInput{input.Name, *bytes, modified, readingDay};
    ReaderContext context = ReaderContextOf(settings, reading, warnings);
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

// What the reader of `code` sets whatever its input holds: its reading of an empty input, with a
// copy of the reading's state. A reading that fails keeps what it set.
DocumentShape ShapeOfNothingRead(const SettingsRecord& settings, const ReadingState& reading, const ReaderCall& reader,
                                 const std::string& name, bool append)
{
    PDDXFile document;
    ReadingState copy = reading;
    ReadWarnings warnings;
    ReaderContext context = ReaderContextOf(settings, copy, warnings);
    ByteSource nothing = ByteSource::InMemory(name, "");
    ReaderInput input{name, nothing, std::nullopt};
    try {
        reader(context, input, document, append);
    } catch (const ReadError&) {
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

// What the user should know of a reading: that it took nothing from the file (and what the file
// looks like then), or that it took something although the file clearly is of another type.
std::string Warning(FileType code, const std::string& name, const std::optional<InputHead>& head, bool nothingRead)
{
    const std::string nothing = "nothing was read as " + ShortNameOf(code);
    if (!head) return nothingRead ? nothing : "";
    const Detection detection = DetectFormat(head->Bytes, name, head->Complete);
    if (!nothingRead)
        return detection.ClearlyOther(code)
                   ? "read as " + ShortNameOf(code) + ", but it looks like " + ShortNameOf(detection.Type)
                   : "";
    // A PDDX file is the document itself: a blank one read as PDDX is a template, read whole.
    if (code == FileType::PDDX && detection.Type == code) return "";
    std::string warning = nothing;
    if (detection.Type != FileType::Unknown && detection.Type != code)
        warning += " (it looks like " + ShortNameOf(detection.Type) + ")";
    if (head->Bytes.empty()) warning += ": the file is empty";
    return warning;
}

}  // namespace

ReadWarnings ReadWithReader(const ProgramState& state, FileType code, InputFile& input, PDDXFile& document, bool append,
                            ReadingState* reading)
{
    RequireReaderFor(code, input.Name);
    ReadingState fresh = NewReading(state.Settings);
    ReadWarnings warnings;
    ReadOnce(state.Settings, reading ? *reading : fresh, code, input, document, append, {}, FindFileFormat(code)->Read,
             warnings);
    return warnings;
}

ReadReport ReadInput(const SettingsRecord& settings, ReadingState& reading, FileType code, InputFile& input,
                     PDDXFile& document, bool append, const BytesRead& progress, const ReaderCall& reader)
{
    RequireReaderFor(code, input.Name);
    const ReaderCall read = reader ? reader : ReaderCall(FindFileFormat(code)->Read);
    // What the input looks like is told from its head, looked at before the reader takes it.
    std::optional<InputHead> head;
    try {
        head = ReadHead(input);
    } catch (const ReadError&) {
    }
    const DocumentShape before = ShapeOf(document);
    ReadReport report;
    ReadOnce(settings, reading, code, input, document, append, progress, read, report.Lines);
    // A reading that added sections or elements took something; only one that did not needs the
    // comparison with what its reader sets from nothing (a second reading, of an empty input).
    const DocumentShape after = ShapeOf(document);
    const bool nothingRead = after.Sections == before.Sections && after.Elements == before.Elements &&
                             ChangedNothingOfItsInput(before, after, ShapeOf(PDDXFile()),
                                                      ShapeOfNothingRead(settings, reading, read, input.Name, append));
    report.Warning = Warning(code, input.Name, head, nothingRead);
    return report;
}

void WriteDocument(const PDDXFile& document, const std::string& outputName)
{
    WriteFileAtomically(outputName, [&document](std::ostream& out) { document.WriteText(out); });
}

StagedOutput StageDocument(std::shared_ptr<const PDDXFile> document, const std::string& outputName)
{
    StagedOutput staged;
    try {
        staged.File.emplace(outputName,
                            [document = std::move(document)](std::ostream& out) { document->WriteText(out); });
    } catch (const std::exception&) {
        staged.WriteFailure = std::current_exception();
    }
    return staged;
}

void ConvertUnattended(const SettingsRecord& settings, FileType code, InputFile& input, const std::string& outputName,
                       const ReadCheck& check, const BytesRead& progress)
{
    PDDXFile document;
    ReadingState reading = NewReading(settings);
    const ReadReport report = ReadInput(settings, reading, code, input, document, false, progress);
    if (check) check(report);
    WriteDocument(document, outputName);
}

namespace {

// The folders a batch takes its files from, as paths relative to `folder`: the folder itself,
// then with `recursive` every folder below it in name order, except the output folder (whose
// files are the batch's outputs, not its inputs). Folders that cannot be read are passed over.
std::vector<std::filesystem::path> BatchFolders(const std::filesystem::path& folder, bool recursive,
                                                const std::string& outputFolder)
{
    std::vector<std::filesystem::path> folders = {"."};
    if (!recursive) return folders;
    std::error_code error;
    const std::filesystem::path output = outputFolder.empty() ? std::filesystem::path()
                                                              : std::filesystem::weakly_canonical(outputFolder, error);
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    for (std::filesystem::recursive_directory_iterator it(folder, options, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code kindError;
        if (!it->is_directory(kindError)) continue;
        if (!output.empty() && std::filesystem::weakly_canonical(it->path(), kindError) == output) {
            it.disable_recursion_pending();
            continue;
        }
        folders.push_back(std::filesystem::relative(it->path(), folder, kindError));
    }
    std::sort(folders.begin() + 1, folders.end());
    return folders;
}

}  // namespace

std::vector<BatchFile> BatchFiles(const std::string& chosenFile, const std::string& outputFolder, bool recursive)
{
    const std::filesystem::path chosen(chosenFile);
    const std::filesystem::path folder = chosen.has_parent_path() ? chosen.parent_path() : ".";
    const std::string extension = FileExtensionOf(chosen.filename().string());
    std::vector<BatchFile> files;
    std::vector<std::string> inputs, outputs;
    for (const std::filesystem::path& below : BatchFolders(folder, recursive, outputFolder)) {
        // The tree is kept under the output folder.
        const std::string outputsBelow = outputFolder.empty() || below == "."
                                             ? outputFolder
                                             : (std::filesystem::path(outputFolder) / below).string();
        const std::filesystem::path from = below == "." ? folder : folder / below;
        for (std::string& name : ListFilesWithExtension(from, extension)) {
            std::string input = (from / name).string();
            std::string output = OutputInFolder((from / ConvertedOutputName(name)).string(), outputsBelow);
            inputs.push_back(input);
            outputs.push_back(output);
            if (below != ".") name = (below / name).string();
            files.push_back({std::move(name), std::move(input), std::move(output), std::nullopt, {}});
        }
    }
    for (const OutputConflict& conflict : FindOutputConflicts(outputs, inputs)) {
        const bool shared = conflict.Is == OutputConflict::Kind::SharedOutput;
        files[conflict.Output].Skipped = "its output " + outputs[conflict.Output] +
                                         (shared ? " is also the output of " : " is a file of the batch, ") +
                                         (shared ? inputs[conflict.Other] : "which would be replaced");
    }
    return files;
}

namespace {

// Thrown out of a reading when the batch is stopped. Not a std::exception, so that no reader's
// handling of its own failures (which turns them into a ReadError or skips a line) can take it.
struct BatchStopped {};

// The file's own type, else the batch's, else the one its content shows.
FileType BatchFileType(const BatchFile& file, FileType code, InputFile& input)
{
    const FileType type = file.Type.value_or(code);
    if (type != FileType::Unknown) return type;
    const FileType detected = DetectInput(input).Type;
    if (detected == FileType::Unknown)
        throw ReadError(file.Input, 0, "its content matches no file type; name its type with -t");
    return detected;
}

}  // namespace

namespace {

// One file of a batch, read and waiting to be put in place; nothing for a file passed over.
struct BatchConversion {
    bool Skipped = false;
    ReadReport Report = {};
    StagedOutput Output = {};
};

BatchConversion ReadAndStage(const SettingsRecord& settings, FileType code, const BatchFile& file,
                             const BytesRead& bytes)
{
    if (!file.Skipped.empty()) return {.Skipped = true};
    ReadingCheck::Run();
    InputFile input = OpenInputFile(file.Input);
    const FileType type = BatchFileType(file, code, input);
    auto document = std::make_shared<PDDXFile>();
    ReadingState reading = NewReading(settings);
    BatchConversion done{.Report = ReadInput(settings, reading, type, input, *document, false, bytes)};
    ReadingCheck::Run();
    // A batch that keeps a folder tree writes into folders made as they are needed.
    const std::filesystem::path folder = std::filesystem::path(file.Output).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error) &&
        !std::filesystem::create_directories(folder, error) && error)
        throw ReadError(file.Output, 0, "cannot make its folder: " + error.message());
    done.Output = StageDocument(std::move(document), file.Output);
    return done;
}

// Tells what file i's reading gave and puts its output in place; false for a file passed over.
bool PutInPlace(std::size_t i, BatchConversion& done, const BatchProgress& progress)
{
    if (done.Skipped) {
        if (progress.Skipped) progress.Skipped(i);
        return false;
    }
    if (progress.Read) progress.Read(i, done.Report);
    done.Output.Commit();
    if (progress.Written) progress.Written(i);
    return true;
}

}  // namespace

std::size_t ConvertBatch(const SettingsRecord& settings, FileType code, const std::vector<BatchFile>& files,
                         const BatchProgress& progress, unsigned jobs)
{
    // Once a file fails or the batch is stopped, the files being read beside it are abandoned.
    std::atomic<bool> ended = false;
    const auto stopAsked = [&] { return ended || (progress.Stop && progress.Stop()); };
    CountsFromThreads bytes(progress.Bytes, jobs);
    const auto convert = [&, counter = bytes.Counter()](std::size_t i) {
        // Asked while a file is read as well, so that a stop reaches into a large file at once.
        const ReadingCheck whileReading([&] {
            if (stopAsked()) throw BatchStopped();
        });
        return ReadAndStage(settings, code, files[i], counter);
    };
    const auto starting = [&](std::size_t i) {
        if (files[i].Skipped.empty() && !stopAsked() && progress.Starting) progress.Starting(i);
    };
    std::size_t written = 0;
    const auto take = [&](std::size_t i, std::optional<BatchConversion>& done, const std::exception_ptr& error) {
        bytes.Pass();
        try {
            // Always thrown before an output is put in place: nothing of the file is written.
            if (stopAsked()) throw BatchStopped();
            if (error) std::rethrow_exception(error);
            written += PutInPlace(i, *done, progress) ? 1 : 0;
            return true;
        } catch (const BatchStopped&) {
            ended = true;
            return false;
        } catch (...) {
            ended = true;
            throw;
        }
    };
    RunInOrder<BatchConversion>(files.size(), jobs,
                                {.Work = convert, .Before = starting, .Take = take, .Waiting = [&] { bytes.Pass(); }});
    return written;
}

}  // namespace vantrel
