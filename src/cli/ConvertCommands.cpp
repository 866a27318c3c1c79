#include "cli/CommandLineApp.h"

#include "base/Latin1.h"
#include "core/OutputNames.h"
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
    if (fields.size() < 2) throw Stop{kExitUsage, Quoted(text) + " is not PATH,CODE: it holds no comma"};
    if (!IsSignedWholeNumber(fields[1]))
        throw Stop{kExitUsage, Quoted(text) + " is not PATH,CODE: " + Quoted(fields[1]) + " is not a whole number"};
    const std::int32_t code = ToInt32Checked(fields[1]);

    state_.Settings.FileType = code;
    state_.CurrentFileType = code;
    const std::string output = ConvertedOutputName(fields[0]);
    if (!HasReader(code)) {
        SaveSettings(state_, err_);  // an orderly end, as after any unattended run
        throw Stop{kExitUsage, UnknownTypeMessage({code, "from the command line " + text})};
    }
    CheckReadable(fields[0]);
    RefuseOverwritingInputs({output}, {fields[0]});
    // A failure ends before the settings are saved.
    Checked([&] {
        ConvertUnattended(state_.Settings, code, fields[0], output,
                          [&](const ReadReport& report) { Report(fields[0], report); });
    });
    SaveSettings(state_, err_);
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

int CommandLine::RunConvert()
{
    if (!convertOutput_.empty() && convertFiles_.size() > 1)
        throw Stop{kExitUsage, "-o names the output of one FILE only"};
    if (!convertOutput_.empty() && !outputDir_.empty())
        throw Stop{kExitUsage, "-o and --output-dir cannot go together: -o names the output itself"};
    for (const std::string& file : convertFiles_)
        if (file == "-" && convertOutput_.empty())
            throw Stop{kExitUsage, "standard input (-) has no name to make an output name from; name the output with -o"};
    std::vector<std::string> outputs;
    for (const std::string& file : convertFiles_)
        outputs.push_back(convertOutput_.empty() ? OutputInFolder(ReviewOutputName(file), outputDir_) : convertOutput_);
    const auto inputs = Inputs(convertFiles_, convertType_);
    RefuseOverwritingInputs(outputs, convertFiles_);
    MakeOutputFolder();
    int status = kExitOk;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        try {
            PDDXFile document;
            ReadInto(document, inputs[i].first, inputs[i].second);
            WriteOutput(document, outputs[i]);
            if (outputs[i] != "-") List(convertFiles_[i] + " -> " + outputs[i]);
        } catch (const Stop& stop) {
            if (stop.status == kExitUsage) throw;
            Message(stop.message);  // the other files are still converted
            status = stop.status;
        }
        progress_.FileDone();
    }
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
    std::vector<std::pair<InputFile, TypeChoice>> inputs;
    for (const auto& [name, type] : named) {
        if (name == "-") throw Stop{kExitUsage, "merge reads files only, not standard input (-)"};
        InputFile input = Input(name);
        TypeChoice choice = TypeFor(type, input);
        inputs.emplace_back(std::move(input), std::move(choice));
    }
    RefuseOverwritingInputs({mergeOutput_}, mergeFiles_);
    progress_.Files(inputs.size());

    // The first file makes the document; the others are merged into it, each going on from the
    // device configuration the files before it gave.
    PDDXFile document;
    ReadingState reading = NewReading(state_.Settings);
    bool first = true;
    for (const auto& [input, type] : inputs) {
        ReadInto(document, input, type, &reading, !first);
        first = false;
        progress_.FileDone();
    }
    WriteOutput(document, mergeOutput_);
    if (mergeOutput_ != "-") List("merged " + std::to_string(inputs.size()) + " files -> " + mergeOutput_);
    return kExitOk;
}

int CommandLine::RunBatch()
{
    CheckReadable(batchFile_);
    const bool detecting = EqualsIgnoreCase(batchType_, "auto");
    const std::int32_t code = detecting ? kUnknownType : ChosenType(batchType_).code;
    std::vector<BatchFile> files = BatchFiles(batchFile_, outputDir_);
    std::vector<std::string> inputs, outputs;
    for (BatchFile& file : files) {
        inputs.push_back(file.Input);
        outputs.push_back(file.Output);
        if (detecting) file.Type = TypeFor(batchType_, InputFile::Named(file.Input)).code;
    }
    RefuseOverwritingInputs(outputs, inputs);
    MakeOutputFolder();
    progress_.Files(files.size());
    std::size_t current = 0;
    try {
        Checked([&] {
            ConvertBatch(state_.Settings, code, files,
                         {[&](std::size_t i) { current = i; },
                          [&](std::size_t i) {
                              List(inputs[i] + " -> " + outputs[i]);
                              progress_.FileDone();
                          },
                          [&](std::size_t i, const ReadReport& report) { Report(inputs[i], report); }, Progress()});
        });
    } catch (Stop& stop) {
        // The batch stops at its first failure; say what it leaves undone.
        if (current + 1 < inputs.size())
            stop.message += "\nvantrel: the batch stopped; not converted: " +
                            JoinWords({inputs.begin() + static_cast<std::ptrdiff_t>(current) + 1, inputs.end()}, ", ");
        throw;
    }
    return kExitOk;
}

int CommandLine::RunBlank()
{
    const std::string output = blankOutput_.empty() ? "BlankPDDX.DDX" : blankOutput_;
    WriteOutput(PDDXFile(), output);
    if (output != "-") out_ << "blank template -> " << output << "\n";
    return kExitOk;
}

}  // namespace vantrel
