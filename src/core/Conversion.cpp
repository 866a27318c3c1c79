#include "core/Conversion.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

#include "base/AtomicFile.h"
#include "base/Platform.h"
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

// Whether `path` lies inside `folder`, both made absolute with "." and ".." resolved.
bool LiesInside(const std::filesystem::path& path, const std::filesystem::path& folder)
{
    std::error_code error;
    const std::filesystem::path below =
        std::filesystem::absolute(path, error)
            .lexically_normal()
            .lexically_relative(std::filesystem::absolute(folder, error).lexically_normal());
    return !error && !below.empty() && *below.begin() != "..";
}

// The walk of a batch's folder tree, one folder at a time, named by the path of names that
// leads to it from the top: a link is followed under its own name, and no name the walk takes
// can lead out of the tree it keeps under the output folder.
class BatchWalk {
public:
    BatchWalk(std::filesystem::path top, std::string extension, std::string outputFolder)
        : top_(std::move(top)), extension_(std::move(extension)), outputFolder_(std::move(outputFolder))
    {
        platform::FileIdentity output;
        if (!outputFolder_.empty() && platform::IdentifyFile(outputFolder_, output)) output_ = Key(output);
    }

    // Takes the files of the folder `below` the top into `files`, and gives the folders in it,
    // both in byte order of their names, the output folder left out. A folder already walked
    // (reached again through a link) gives nothing; one that cannot be listed is marked in `files`.
    std::vector<std::vector<std::string>> Take(const std::vector<std::string>& below, std::vector<BatchFile>& files)
    {
        std::filesystem::path path;
        for (const std::string& name : below) path /= name;
        const std::filesystem::path from = below.empty() ? top_ : top_ / path;
        platform::FileIdentity identity;
        std::vector<platform::FolderEntry> entries;
        std::string error;
        if (!platform::ListFolder(top_, below, identity, entries, error)) {
            files.push_back({below.empty() ? "." : path.string(), from.string(), "", std::nullopt,
                             "the folder cannot be listed (" + error + "); nothing in it is converted", true});
            return {};
        }
        if (!walked_.insert(Key(identity)).second) return {};
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.Name < b.Name; });
        // The tree is kept under the output folder.
        const std::string outputs = outputFolder_.empty() || below.empty()
                                        ? outputFolder_
                                        : (std::filesystem::path(outputFolder_) / path).string();
        std::vector<std::vector<std::string>> folders;
        for (const platform::FolderEntry& entry : entries) {
            // The output folder's files are the batch's outputs, not its inputs.
            if (entry.Kind == platform::FileKind::Folder && Key(entry.Identity) != output_)
                folders.push_back(below), folders.back().push_back(entry.Name);
            if (entry.Kind == platform::FileKind::Folder || !EndsInExtension(entry.Name, extension_)) continue;
            if (entry.Kind == platform::FileKind::Other && entry.Error.empty()) continue;
            BatchFile file{below.empty() ? entry.Name : (path / entry.Name).string(), (from / entry.Name).string(),
                           OutputInFolder((from / ConvertedOutputName(entry.Name)).string(), outputs), std::nullopt,
                           Unreachable(entry)};
            if (file.Skipped.empty()) file.Skipped = Unreachable(file);
            files.push_back(std::move(file));
        }
        return folders;
    }

private:
    using Identity = std::pair<std::uint64_t, std::uint64_t>;
    static Identity Key(const platform::FileIdentity& identity) { return {identity.Device, identity.Number}; }

    static std::string Unreachable(const platform::FolderEntry& entry)
    {
        return entry.Error.empty() ? "" : "it cannot be reached (" + entry.Error + ")";
    }

    // Why a file the listing showed cannot be converted under the names it would be read and
    // written by: a path longer than the system takes, a folder that may be listed but not entered.
    std::string Unreachable(const BatchFile& file) const
    {
        std::error_code error;
        if (!std::filesystem::exists(file.Input, error))
            return "it cannot be reached by its name (" + (error ? error.message() : "it is gone") + ")";
        if (!std::filesystem::exists(file.Output, error) && error == std::errc::filename_too_long)
            return "its output " + file.Output + " cannot be written (" + error.message() + ")";
        if (!outputFolder_.empty() && !LiesInside(file.Output, outputFolder_))
            return "its output " + file.Output + " would lie outside the output folder " + outputFolder_;
        return "";
    }

    std::filesystem::path top_;
    std::string extension_;
    std::string outputFolder_;
    std::optional<Identity> output_;
    std::set<Identity> walked_;
};

}  // namespace

std::vector<BatchFile> BatchFiles(const std::string& chosenFile, const std::string& outputFolder, bool recursive)
{
    const std::filesystem::path chosen(chosenFile);
    BatchWalk walk(chosen.has_parent_path() ? chosen.parent_path() : ".", FileExtensionOf(chosen.filename().string()),
                   outputFolder);
    std::vector<BatchFile> files;
    // Depth first, so that a folder's tree follows it in the order.
    std::vector<std::vector<std::string>> pending = {{}};
    while (!pending.empty()) {
        const std::vector<std::string> below = std::move(pending.back());
        pending.pop_back();
        std::vector<std::vector<std::string>> folders = walk.Take(below, files);
        if (recursive) pending.insert(pending.end(), folders.rbegin(), folders.rend());
    }
    std::vector<std::string> inputs, outputs;
    std::vector<std::size_t> at;  // the files whose outputs are checked against each other
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i].Skipped.empty()) continue;
        inputs.push_back(files[i].Input);
        outputs.push_back(files[i].Output);
        at.push_back(i);
    }
    for (const OutputConflict& conflict : FindOutputConflicts(outputs, inputs)) {
        const bool shared = conflict.Is == OutputConflict::Kind::SharedOutput;
        files[at[conflict.Output]].Skipped = "its output " + outputs[conflict.Output] +
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
