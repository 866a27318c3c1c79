#include "cli/CommandLineApp.h"
#include "cli/HelpText.h"

#include "base/Latin1.h"
#include "core/InOrder.h"
#include "core/OutputNames.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <filesystem>
#include <thread>
#include "core/Settings.h"

namespace vantrel {

int CommandLine::RunJob(const std::string& text)
{
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const auto comma = text.find(',', start);
        fields.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (fields.size() < 2)
        throw Stop{kExitUsage,
                   Quoted(text) + " is neither a command (" + kCommands + ") nor PATH,CODE (it holds no comma)"};
    if (TrimBlanks(fields[0]).empty())
        throw Stop{kExitUsage, Quoted(text) + " is not PATH,CODE: no PATH stands before the comma"};
    if (!IsSignedWholeNumber(fields[1]))
        throw Stop{kExitUsage, Quoted(text) + " is not PATH,CODE: " + Quoted(fields[1]) + " is not a whole number"};
    const auto code = static_cast<FileType>(ToInt32Checked(fields[1]));

    const std::string output = ConvertedOutputName(fields[0]);
    if (!HasReader(code)) throw Stop{kExitUsage, UnknownTypeMessage({code, "from the command line " + text})};
    state_.Settings.Type = code;
    state_.CurrentType = code;
    RefuseOutputConflicts({output}, {fields[0]});
    InputFile input = Input(fields[0]);
    // A failure ends before the settings are saved.
    Checked([&] {
        ConvertUnattended(state_.Settings, code, input, output,
                          [&](const ReadReport& report) { Report(fields[0], report); });
    });
    // The code of the job becomes the default type; what --set gave was for this run only.
    ProgramState saved = state_;
    saved.Settings = loadedSettings_;
    saved.Settings.Type = code;
    SaveSettings(saved, err_);
    return kExitOk;
}

std::int32_t CommandLine::ToInt32Checked(const std::string& text)
{
    try {
        return std::stoi(std::string(TrimBlanks(text)));
    } catch (const std::exception&) {
        throw Stop{kExitUsage, Quoted(text) + " is too large a file type code"};
    }
}

// A FILE of convert, read and waiting to be written in its turn.
struct CommandLine::ConvertedFile {
    ReadReport report = {};
    std::shared_ptr<PDDXFile> document = {};  // for standard output, written in its turn
    StagedOutput staged = {};
};

CommandLine::ConvertedFile CommandLine::ReadForOutput(const std::string& file, const std::string& output,
                                                      const BytesRead& bytes)
{
    InputFile input = Input(file);
    const TypeChoice type = TypeFor(convertType_, input);
    ConvertedFile done{.document = std::make_shared<PDDXFile>()};
    ReadingState reading = NewReading(state_.Settings);
    Checked([&] { done.report = ReadInput(state_.Settings, reading, type.code, input, *done.document, false, bytes); });
    if (output != "-") done.staged = StageDocument(std::exchange(done.document, nullptr), output);
    return done;
}

void CommandLine::PutInPlace(const std::string& file, const std::string& output, ConvertedFile& done)
{
    Report(file, done.report);
    if (done.document) return WriteOutput(*done.document, output);
    Checked([&] { done.staged.Commit(); });
    List(file + " -> " + output);
}

int CommandLine::RunConvert()
{
    if (!convertOutput_.empty() && convertFiles_.size() > 1)
        throw Stop{kExitUsage, "-o names the output of one FILE only"};
    if (!convertOutput_.empty() && !outputDir_.empty())
        throw Stop{kExitUsage, "-o and --output-dir cannot go together: -o names the output itself"};
    for (const std::string& file : convertFiles_)
        if (file == "-" && convertOutput_.empty())
            throw Stop{kExitUsage,
                       "standard input (-) has no name to make an output name from; name the output with -o"};
    RequireKnownType(convertType_);
    std::vector<std::string> outputs;
    for (const std::string& file : convertFiles_)
        outputs.push_back(convertOutput_.empty() ? OutputInFolder(ReviewOutputName(file), outputDir_) : convertOutput_);
    RefuseConflicts(outputs, convertFiles_);
    MakeOutputFolder();
    progress_.Files(convertFiles_.size());
    // Each file is opened when its turn comes, so that ten thousand files need few open files;
    // several are read at a time, and what is said of each is said in the files' order.
    const unsigned jobs = Jobs();
    CountsFromThreads bytes(Progress(), jobs);
    const auto convert = [&, counter = bytes.Counter()](std::size_t i) {
        return ReadForOutput(convertFiles_[i], outputs[i], counter);
    };
    int status = kExitOk;
    const auto take = [&](std::size_t i, std::optional<ConvertedFile>& done, const std::exception_ptr& error) {
        bytes.Pass();
        try {
            if (error) std::rethrow_exception(error);
            PutInPlace(convertFiles_[i], outputs[i], *done);
        } catch (const Stop& stop) {
            if (stop.status == kExitUsage) throw;
            Message(stop.message);  // the other files are still converted
            status = stop.status;
        }
        progress_.FileDone();
        return true;
    };
    RunInOrder<ConvertedFile>(
        convertFiles_.size(), jobs,
        {.Work = convert, .Before = [](std::size_t) {}, .Take = take, .Waiting = [&] { bytes.Pass(); }});
    return status;
}

int CommandLine::RunMerge()
{
    // -t applies to the files that follow it, so walk the arguments in the order given.
    std::vector<std::pair<std::string, std::string>> named;  // file, its -t
    std::string option;
    std::size_t nextType = 0, nextFile = 0;
    for (const CLI::Option* given : merge_->parse_order()) {
        if (given->get_name() == "files") named.emplace_back(mergeFiles_.at(nextFile++), option);
        else if (given->check_name("-t")) option = mergeTypes_.at(nextType++);
    }
    for (const auto& [name, type] : named) {
        if (name == "-") throw Stop{kExitUsage, "merge reads files only, not standard input (-)"};
        RequireKnownType(type);
    }
    RefuseConflicts({mergeOutput_}, mergeFiles_);
    progress_.Files(named.size());

    // The first file makes the document; the others are merged into it, each going on from the
    // device configuration the files before it gave.
    PDDXFile document;
    ReadingState reading = NewReading(state_.Settings);
    bool first = true;
    for (const auto& [name, option] : named) {
        InputFile input = Input(name);
        const TypeChoice type = TypeFor(option, input);
        ReadInto(document, input, type, &reading, !first);
        first = false;
        progress_.FileDone();
    }
    WriteOutput(document, mergeOutput_);
    if (mergeOutput_ != "-") List("merged " + std::to_string(named.size()) + " files -> " + mergeOutput_);
    return kExitOk;
}

int CommandLine::RunBatch()
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(batchFile_, error))
        throw Stop{kExitReadFailure, batchFile_ + ": " + (error ? "cannot open: " + error.message() : "not a file")};
    const bool detecting = EqualsIgnoreCase(batchType_, "auto");
    const FileType code = detecting ? FileType::Unknown : ChosenType(batchType_).code;
    const std::vector<BatchFile> files = BatchFiles(batchFile_, outputDir_, batchRecursive_);
    if (files.empty()) throw Stop{kExitReadFailure, batchFile_ + ": no file of its folder ends in its extension"};
    std::vector<std::string> inputs, outputs;
    for (const BatchFile& file : files) {
        if (file.Folder) continue;
        inputs.push_back(file.Input);
        outputs.push_back(file.Output);
    }
    RefuseSettingsConflict(state_.SettingsFile.string(), outputs, inputs);
    MakeOutputFolder();
    progress_.Files(files.size());
    std::size_t current = 0, skipped = 0;
    try {
        Checked([&] {
            ConvertBatch(state_.Settings, code, files,
                         {.Starting = [&](std::size_t i) { current = i; },
                          .Skipped =
                              [&](std::size_t i) {
                                  Message(files[i].Input + (files[i].Folder ? ": " : ": not converted: ") +
                                          files[i].Skipped);
                                  ++skipped;
                                  progress_.FileDone();
                              },
                          .Written =
                              [&](std::size_t i) {
                                  List(files[i].Input + " -> " + files[i].Output);
                                  progress_.FileDone();
                              },
                          .Read = [&](std::size_t i, const ReadReport& report) { Report(files[i].Input, report); },
                          .Bytes = Progress()},
                         Jobs());
        });
    } catch (Stop& stop) {
        // The batch stops at its first failure; say what it leaves undone.
        std::vector<std::string> left;
        for (std::size_t i = current + 1; i < files.size(); ++i) left.push_back(files[i].Input);
        // Two messages, each escaped on its own: the line between them stays a line break.
        if (!left.empty()) {
            Message(stop.message);
            stop.message = "the batch stopped; not converted: " + JoinWords(left, ", ");
        }
        throw;
    }
    return skipped > 0 ? kExitReadFailure : kExitOk;
}

unsigned CommandLine::Jobs() const { return jobs_ > 0 ? jobs_ : std::max(1u, std::thread::hardware_concurrency()); }

int CommandLine::RunBlank()
{
    const std::string output = blankOutput_.empty() ? "BlankPDDX.DDX" : blankOutput_;
    RefuseConflicts({output}, {});
    WriteOutput(PDDXFile(), output);
    if (output != "-") List("blank template -> " + output);
    return kExitOk;
}

}  // namespace vantrel
