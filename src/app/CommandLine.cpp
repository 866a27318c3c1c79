#include "app/CommandLine.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "app/Conversion.h"
#include "app/FileTypes.h"
#include "app/Settings.h"
#include "document/Latin1.h"
#include "import/ReadError.h"

namespace vantrel {
namespace {

// A failure that ends the run with an exit status and a message already worded.
struct Stop {
    int status;
    std::string message;
};

std::string JoinWords(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

bool IsWholeNumberText(std::string_view text)
{
    text = TrimBlanks(text);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// Every input is checked before any reader runs, so that a typo does not cost a half-done run.
void CheckReadable(const std::string& fileName)
{
    std::error_code error;
    if (std::filesystem::is_directory(fileName, error)) throw Stop{kExitReadFailure, fileName + ": is a folder"};
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw Stop{kExitReadFailure, fileName + ": cannot open: " + std::strerror(errno)};
}

std::int32_t TypeFromOption(const std::string& text)
{
    if (auto code = FileTypeFromText(text)) return *code;
    throw Stop{kExitUsage, "unknown file type \"" + text + "\" (use 0 to 10 or one of " + FileTypeShortNames() + ")"};
}

bool SamePath(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error);
}

// Runs one reading or writing step, turning its failures into the run's exit status.
template <typename Step>
void Checked(Step&& step)
{
    try {
        step();
    } catch (const UnknownFileType& e) {
        throw Stop{kExitUsage, e.what()};
    } catch (const std::exception& e) {
        throw Stop{kExitReadFailure, e.what()};
    }
}

void WriteOutput(const PDDXFile& document, const std::string& output, std::ostream& out)
{
    if (output == "-") document.PDDX_Output(out);
    else WriteDocument(document, output);
}

class CommandLine {
public:
    CommandLine(std::ostream& out, std::ostream& err, const std::filesystem::path& programFolder)
        : out_(out), err_(err), state_(NewProgramState(programFolder))
    {
        Define();
    }

    int Run(int argc, const char* const* argv)
    {
        try {
            app_.parse(argc, argv);
        } catch (const CLI::ParseError& e) {
            if (e.get_exit_code() == 0) return app_.exit(e, out_, err_);
            err_ << "vantrel: " << e.what() << "\nRun with --help for more information.\n";
            return kExitUsage;
        }
        try {
            return Dispatch();
        } catch (const Stop& stop) {
            err_ << "vantrel: " << stop.message << "\n";
            return stop.status;
        }
    }

private:
    void Define()
    {
        app_.description("Vantrel converts Falling Weight Deflectometer files to AASHTO PDDX (.DDX).\n"
                         "With one argument PATH,CODE it converts PATH with the reader of CODE (0 to 10)\n"
                         "into PATH's root + \"cvt.DDX\" and saves the settings.");
        app_.set_version_flag("--version", VantrelVersionText());
        app_.add_option("--settings", settingsFile_, "Settings file to use instead of Config.bag beside the program");
        app_.add_option("--set", overrides_, "Override one setting for this run, e.g. --set NumSensors=7")
            ->type_name("KEY=VALUE")
            ->allow_extra_args(false);
        app_.add_option("job", job_, "An unattended conversion: input path, a comma and a file type code")
            ->type_name("PATH,CODE");
        app_.require_subcommand(0, 1);

        const std::string types = "File type: 0 to 10 or " + FileTypeShortNames();
        CLI::App* convert = app_.add_subcommand("convert", "Convert each FILE into FILE's root + \".DDX\"");
        convert->add_option("-t,--type", convertType_, types);
        convert->add_option("-o,--output", convertOutput_, "Output file (one FILE only); - for standard output");
        convert->add_option("files", convertFiles_, "Input files")->required()->type_name("FILE");
        convert->fallthrough();

        CLI::App* merge = app_.add_subcommand("merge", "Read the first FILE, merge each further one into it");
        merge->add_option("-o,--output", mergeOutput_, "Output file; - for standard output")->required();
        merge->add_option("-t,--type", mergeTypes_, types + "; applies to the files after it")->allow_extra_args(false);
        merge->add_option("files", mergeFiles_, "Input files")->required()->type_name("FILE");
        merge->fallthrough();
        merge_ = merge;

        CLI::App* batch =
            app_.add_subcommand("batch", "Convert every file in FILE's folder with FILE's extension to root + \"cvt.DDX\"");
        batch->add_option("-t,--type", batchType_, types);
        batch->add_option("file", batchFile_, "One file of the folder")->required()->type_name("FILE");
        batch->fallthrough();

        CLI::App* blank = app_.add_subcommand("blank", "Write the blank PDDX template");
        blank->add_option("-o,--output", blankOutput_, "Output file; - for standard output");
        blank->fallthrough();
    }

    int Dispatch()
    {
        const CLI::App* command = app_.get_subcommands().empty() ? nullptr : app_.get_subcommands().front();
        if (!command && job_.empty()) {
            out_ << app_.help();
            return kExitOk;
        }
        if (command && !job_.empty())
            throw Stop{kExitUsage, "\"" + JoinWords(job_) + "\" cannot stand beside the " + command->get_name() + " command"};

        if (!settingsFile_.empty()) state_.SettingsFile = settingsFile_;
        LoadSettings(state_, !command, err_);
        for (const std::string& assignment : overrides_) {
            const auto equals = assignment.find('=');
            if (equals == std::string::npos) throw Stop{kExitUsage, "--set " + assignment + ": expected KEY=VALUE"};
            try {
                SetSettingsField(state_.Settings, assignment.substr(0, equals), assignment.substr(equals + 1));
            } catch (const std::invalid_argument& e) {
                throw Stop{kExitUsage, std::string("--set: ") + e.what()};
            }
        }

        if (!command) return RunJob(JoinWords(job_));
        const std::string& name = command->get_name();
        if (name == "convert") return RunConvert();
        if (name == "merge") return RunMerge();
        if (name == "batch") return RunBatch();
        return RunBlank();
    }

    // PATH,CODE: convert one file beside itself and keep the code as the default file type.
    int RunJob(const std::string& text)
    {
        std::vector<std::string> fields;
        for (std::size_t start = 0;;) {
            const auto comma = text.find(',', start);
            fields.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        if (fields.size() < 2)
            throw Stop{kExitUsage, "\"" + text + "\" is not PATH,CODE: it holds no comma"};
        if (!IsWholeNumberText(fields[1]))
            throw Stop{kExitUsage, "\"" + text + "\" is not PATH,CODE: \"" + fields[1] + "\" is not a whole number"};
        const std::int32_t code = ToInt32Checked(fields[1]);

        state_.CommandLineRun = true;
        state_.Settings.FileType = code;
        state_.CurrentFileType = code;
        state_.CommandLineOutputName = ConvertedOutputName(fields[0]);
        try {
            ConvertUnattended(state_, fields[0]);
        } catch (const UnknownFileType& e) {
            SaveSettings(state_, err_);  // an orderly end, as after any unattended run
            throw Stop{kExitUsage, e.what()};
        } catch (const std::exception& e) {
            throw Stop{kExitReadFailure, e.what()};  // ends before the settings are saved
        }
        SaveSettings(state_, err_);
        return kExitOk;
    }

    static std::int32_t ToInt32Checked(const std::string& text)
    {
        try {
            return std::stoi(std::string(TrimBlanks(text)));
        } catch (const std::exception&) {
            throw Stop{kExitUsage, "\"" + text + "\" is too large a file type code"};
        }
    }

    std::int32_t DefaultType(const std::string& option) const
    {
        return option.empty() ? state_.Settings.FileType : TypeFromOption(option);
    }

    int RunConvert()
    {
        if (!convertOutput_.empty() && convertFiles_.size() > 1)
            throw Stop{kExitUsage, "-o names the output of one FILE only"};
        const std::int32_t type = DefaultType(convertType_);
        state_.CurrentFileType = type;
        std::vector<std::string> outputs;
        for (const std::string& file : convertFiles_) {
            CheckReadable(file);
            outputs.push_back(convertOutput_.empty() ? ReviewOutputName(file) : convertOutput_);
            if (convertOutput_.empty() && SamePath(file, outputs.back()))
                throw Stop{kExitUsage, file + ": the output would replace the input; name another with -o"};
        }
        int status = kExitOk;
        for (std::size_t i = 0; i < convertFiles_.size(); ++i) {
            try {
                Checked([&] {
                    PDDXFile document;
                    ReadWithReader(state_, type, convertFiles_[i], document, false);
                    WriteOutput(document, outputs[i], out_);
                });
                if (outputs[i] != "-") out_ << convertFiles_[i] << " -> " << outputs[i] << "\n";
            } catch (const Stop& stop) {
                if (stop.status == kExitUsage) throw;
                err_ << "vantrel: " << stop.message << "\n";  // the other files are still converted
                status = stop.status;
            }
        }
        return status;
    }

    int RunMerge()
    {
        // -t applies to the files that follow it, so walk the arguments in the order given.
        std::vector<std::pair<std::int32_t, std::string>> inputs;
        std::int32_t type = state_.Settings.FileType;
        std::size_t nextType = 0, nextFile = 0;
        for (const CLI::Option* option : merge_->parse_order()) {
            if (option->get_name() == "files") inputs.emplace_back(type, mergeFiles_.at(nextFile++));
            else if (option->check_name("-t")) type = TypeFromOption(mergeTypes_.at(nextType++));
        }
        for (const auto& input : inputs) CheckReadable(input.second);

        PDDXFile document;
        bool first = true;
        for (const auto& input : inputs) {
            state_.CurrentFileType = input.first;
            Checked([&] { ReadWithReader(state_, input.first, input.second, document, !first); });
            first = false;
        }
        Checked([&] { WriteOutput(document, mergeOutput_, out_); });
        if (mergeOutput_ != "-") out_ << "merged " << inputs.size() << " files -> " << mergeOutput_ << "\n";
        return kExitOk;
    }

    int RunBatch()
    {
        CheckReadable(batchFile_);
        state_.CurrentFileType = DefaultType(batchType_);
        const std::filesystem::path chosen(batchFile_);
        const std::filesystem::path folder = chosen.has_parent_path() ? chosen.parent_path() : ".";
        const std::vector<std::string> names =
            ListFilesWithExtension(folder, FileExtensionOf(chosen.filename().string()));
        state_.CommandLineRun = true;
        for (const std::string& name : names) {
            const std::string input = (folder / name).string();
            state_.CommandLineOutputName = (folder / ConvertedOutputName(name)).string();
            Checked([&] { ConvertUnattended(state_, input); });  // a failure stops the batch here
            out_ << input << " -> " << state_.CommandLineOutputName << "\n";
        }
        return kExitOk;
    }

    int RunBlank()
    {
        const std::string output = blankOutput_.empty() ? "BlankPDDX.DDX" : blankOutput_;
        Checked([&] { WriteOutput(PDDXFile(), output, out_); });
        if (output != "-") out_ << "blank template -> " << output << "\n";
        return kExitOk;
    }

    std::ostream& out_;
    std::ostream& err_;
    ProgramState state_;
    CLI::App app_{"", "vantrel"};
    CLI::App* merge_ = nullptr;

    std::string settingsFile_;
    std::vector<std::string> overrides_;
    std::vector<std::string> job_;
    std::string convertType_, convertOutput_;
    std::vector<std::string> convertFiles_;
    std::string mergeOutput_;
    std::vector<std::string> mergeTypes_, mergeFiles_;
    std::string batchType_, batchFile_;
    std::string blankOutput_;
};

}  // namespace

int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                   const std::filesystem::path& programFolder)
{
    CommandLine commandLine(out, err, programFolder);
    return commandLine.Run(argc, argv);
}

}  // namespace vantrel
