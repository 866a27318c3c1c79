#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "core/Conversion.h"
#include "core/OutputNames.h"
#include "import/FileFormats.h"
#include "core/Settings.h"
#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/ReadError.h"

namespace vantrel {
namespace {

// A failure that ends the run with an exit status and a message already worded.
struct Stop {
    int status;
    std::string message;
};

std::string JoinWords(const std::vector<std::string>& words, const char* separator = " ")
{
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : separator) + word;
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
    try {
        ByteSource::OpenFile(fileName);
    } catch (const ReadError& e) {
        throw Stop{kExitReadFailure, e.what()};
    }
}

// A file type code with where it came from, for a message that says what to change.
struct TypeChoice {
    std::int32_t code = 0;
    std::string origin;
};

TypeChoice TypeFromOption(const std::string& text)
{
    if (auto code = FileTypeFromText(text)) return {*code, "given with -t"};
    throw Stop{kExitUsage, "unknown file type " + Quoted(text) + " given with -t (use 0 to 10 or one of " +
                               FileTypeShortNames() + ")"};
}

std::string UnknownTypeMessage(const TypeChoice& type)
{
    const std::string name = FileTypeName(type.code);
    return "unknown file type " + std::to_string(type.code) + " (" + type.origin + "): " +
           (name.empty() ? "there is no such type" : name + " has no reader") + "; the types are " +
           FileTypeShortNames() + " (0 to 4 and 6 to 10)";
}

void RequireReader(const TypeChoice& type)
{
    if (!HasReader(type.code)) throw Stop{kExitUsage, UnknownTypeMessage(type)};
}

// Refuses any output that is one of the inputs under another name (a link, "./a.F25"): writing
// it would destroy the input. Compared as files, not as texts.
void RefuseOverwritingInputs(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs)
{
    for (const std::string& output : outputs) {
        if (output == "-") continue;
        for (const std::string& input : inputs) {
            std::error_code error;
            if (std::filesystem::equivalent(output, input, error))
                throw Stop{kExitUsage, output + ": the output would replace the input " + input +
                                           "; name another output with -o"};
        }
    }
}

// Runs one reading or writing step, turning its failures into the run's exit status.
template <typename Step>
void Checked(Step&& step)
{
    try {
        step();
    } catch (const Stop&) {
        throw;
    } catch (const UnknownFileType& e) {
        throw Stop{kExitUsage, e.what()};
    } catch (const std::exception& e) {
        throw Stop{kExitReadFailure, e.what()};
    }
}

Stop OutputFailure()
{
    const int error = errno;
    return Stop{kExitReadFailure,
                std::string("cannot write to standard output") + (error ? std::string(": ") + std::strerror(error) : "")};
}

// The usage lines say what CLI11 cannot: the one PATH,CODE job, and the desktop program.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App* app, std::string name) const override
    {
        if (app->get_parent()) return CLI::Formatter::make_usage(app, std::move(name));
        return "\nUsage: vantrel [OPTIONS] SUBCOMMAND [ARGS]   (vantrel help SUBCOMMAND for its options)\n"
               "       vantrel [OPTIONS] PATH,CODE\n"
               "       vantrel                              (no argument: the desktop program)\n";
    }
};

std::string TypeTable()
{
    std::string table = "File types (-t TYPE, and CODE of PATH,CODE):\n";
    for (const FileFormat& format : FileFormats()) {
        char line[128];
        std::snprintf(line, sizeof line, "  %2d  %-12s %s%s\n", format.Code, format.ShortName ? format.ShortName : "-",
                      format.Name, format.Read ? "" : " (no reader)");
        table += line;
    }
    return table;
}

const char* const kFooter =
    "Exit status: 0 done; 1 a file could not be read or written; 2 a usage error or an unknown\n"
    "file type.\n"
    "\n"
    "Examples:\n"
    "  vantrel convert -t kuab RUN1.FWD          writes RUN1.DDX beside RUN1.FWD\n"
    "  vantrel merge -o road.DDX -t kuab RUN1.FWD -t kuab-ini FVO.INI\n"
    "  vantrel batch -t f25 data/A.F25           converts every .F25 file of data/\n"
    "  vantrel convert -t f25 -- -odd.F25        a file whose name starts with \"-\"\n"
    "  vantrel 'C:\\data\\run1.fwd,8'              writes C:\\data\\run1cvt.DDX, keeps 8 as the default type";

class CommandLine {
public:
    CommandLine(std::ostream& out, std::ostream& err, const std::filesystem::path& programFolder)
        : out_(out), err_(err), state_(InstalledProgramState(programFolder))
    {
        Define();
    }

    int Run(int argc, const char* const* argv)
    {
        if (const int at = HelpWord(argc, argv); at >= 0) return Help(argc - at, argv + at);
        int status;
        try {
            app_.parse(argc, argv);
            status = Dispatch();
        } catch (const CLI::ParseError& e) {
            if (e.get_exit_code() == 0) {
                app_.exit(e, out_, err_);
                status = kExitOk;
            } else {
                err_ << "vantrel: " << EscapeControls(e.what()) << "\n" << DashHint(argc, argv)
                     << "Run with --help for more information.\n";
                status = kExitUsage;
            }
        } catch (const Stop& stop) {
            err_ << "vantrel: " << EscapeControls(stop.message) << "\n";
            status = stop.status;
        }
        // Listings and documents written to a full disk or a closed pipe are a failure too.
        errno = 0;
        if (!out_.flush() && !outputFailed_) {
            err_ << "vantrel: " << OutputFailure().message << "\n";
            return kExitReadFailure;
        }
        return status;
    }

private:
    void Define()
    {
        app_.formatter(std::make_shared<HelpFormatter>());
        app_.description("Vantrel converts Falling Weight Deflectometer files to AASHTO PDDX (.DDX).\n"
                         "With one argument PATH,CODE it converts PATH with the reader of CODE\n"
                         "into PATH's root + \"cvt.DDX\" and saves CODE as the default file type.");
        app_.set_version_flag("--version", VantrelVersionText());
        app_.add_option("--settings", settingsFile_, "Settings file to use instead of the usual one (see --paths)")
            ->type_name("FILE");
        app_.add_flag("--paths", paths_, "Print which settings file and program folder are used, and exit");
        app_.add_option("--set", overrides_, "Override one setting for this run, e.g. --set NumSensors=7")
            ->type_name("KEY=VALUE")
            ->allow_extra_args(false);
        // The job is described in the usage lines; its words are joined as one command line.
        app_.add_option("job", job_)->group("");
        app_.require_subcommand(0, 1);

        const std::string types = "File type: a code or a short name (see vantrel --help)";
        CLI::App* convert = app_.add_subcommand("convert", "Convert each FILE into FILE's root + \".DDX\"");
        convert->add_option("-t,--type", convertType_, types)->type_name("TYPE");
        convert->add_option("-o,--output", convertOutput_, "Output file (one FILE only); - for standard output")
            ->type_name("OUTPUT");
        convert->add_option("files", convertFiles_, "Input files")->required()->type_name("FILE");
        convert->fallthrough();

        CLI::App* merge = app_.add_subcommand("merge", "Read the first FILE, merge each further one into it");
        merge->add_option("-o,--output", mergeOutput_, "Output file; - for standard output")
            ->required()
            ->type_name("OUTPUT");
        merge->add_option("-t,--type", mergeTypes_, types + "; applies to the files after it")
            ->allow_extra_args(false)
            ->type_name("TYPE");
        merge->add_option("files", mergeFiles_, "Input files")->required()->type_name("FILE");
        merge->fallthrough();
        merge_ = merge;

        CLI::App* batch = app_.add_subcommand(
            "batch", "Convert every file in FILE's folder with FILE's extension to root + \"cvt.DDX\"");
        batch->add_option("-t,--type", batchType_, types)->type_name("TYPE");
        batch->add_option("file", batchFile_, "One file of the folder; its folder and extension choose the files")
            ->required()
            ->type_name("FILE");
        batch->fallthrough();

        CLI::App* blank = app_.add_subcommand("blank", "Write the blank PDDX template");
        blank->add_option("-o,--output", blankOutput_, "Output file (default BlankPDDX.DDX); - for standard output")
            ->type_name("OUTPUT");
        blank->fallthrough();

        app_.footer(TypeTable() + "\n" + kFooter);
    }

    // How many words stand before "help" as the command (the program name and common options);
    // -1 when there is no such word.
    static int HelpWord(int argc, const char* const* argv)
    {
        for (int i = 1; i < argc; ++i) {
            const std::string_view arg = argv[i];
            if (arg == "--settings" || arg == "--set") ++i;
            else if (arg == "help") return i - 1;
            else if (!arg.starts_with("--settings=") && !arg.starts_with("--set=")) return -1;
        }
        return -1;
    }

    // argv[1] is "help", argv[2] (if any) the command to explain.
    int Help(int argc, const char* const* argv)
    {
        if (argc == 2) {
            out_ << app_.help();
            return kExitOk;
        }
        try {
            out_ << app_.get_subcommand(argv[2])->help("vantrel");
            return kExitOk;
        } catch (const CLI::OptionNotFound&) {
            err_ << "vantrel: help: there is no command " << Quoted(argv[2])
                 << " (convert, merge, batch, blank)\n";
            return kExitUsage;
        }
    }

    // CLI11 takes "-x.F25" for an option; say how to name such a file.
    std::string DashHint(int argc, const char* const* argv) const
    {
        for (int i = 1; i < argc; ++i) {
            const std::string_view arg = argv[i];
            if (arg == "--") break;
            if (arg.size() < 2 || arg[0] != '-' || IsKnownOption(arg)) continue;
            return "\"" + EscapeControls(arg) + "\" is not an option; a file whose name starts with \"-\" goes after \"--\""
                   " (vantrel convert -t TYPE -- " + EscapeControls(arg) + ").\n";
        }
        return {};
    }

    bool IsKnownOption(std::string_view arg) const
    {
        const std::string name(arg.starts_with("--") ? arg.substr(0, arg.find('=')) : arg.substr(0, 2));
        const auto knows = [&](const CLI::App* app) {
            for (const CLI::Option* option : app->get_options())
                if (option->check_name(name)) return true;
            return false;
        };
        if (knows(&app_)) return true;
        for (const CLI::App* command : app_.get_subcommands({}))
            if (knows(command)) return true;
        return false;
    }

    int Dispatch()
    {
        if (!settingsFile_.empty()) state_.SettingsFile = settingsFile_;
        if (paths_) {
            out_ << "settings file: " << state_.SettingsFile.string() << "\nprogram folder: "
                 << state_.ProgramFolder.string() << "\n";
            return kExitOk;
        }
        const CLI::App* command = app_.get_subcommands().empty() ? nullptr : app_.get_subcommands().front();
        if (!command && job_.empty()) {
            out_ << app_.help();
            return kExitOk;
        }
        if (command && !job_.empty()) {
            if (command->get_name() == "batch")
                throw Stop{kExitUsage, "batch takes one FILE, whose folder and extension choose the files to convert, "
                                       "but " + Quoted(JoinWords(job_)) + " followed it (a shell pattern such as "
                                       "*.F25 gives many files: quote it, or name the files with convert)"};
            throw Stop{kExitUsage, Quoted(JoinWords(job_)) + " cannot stand beside the " + command->get_name() +
                                       " command"};
        }

        LoadSettings(state_, !command, err_);
        settingsTypeOrigin_ = "FileType in the settings file " + state_.SettingsFile.string();
        for (const std::string& assignment : overrides_) {
            const auto equals = assignment.find('=');
            if (equals == std::string::npos) throw Stop{kExitUsage, "--set " + assignment + ": expected KEY=VALUE"};
            try {
                SetSettingsField(state_.Settings, assignment.substr(0, equals), assignment.substr(equals + 1));
            } catch (const std::invalid_argument& e) {
                throw Stop{kExitUsage, std::string("--set: ") + e.what()};
            }
            if (EqualsIgnoreCase(assignment.substr(0, equals), "FileType")) settingsTypeOrigin_ = "given with --set";
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
        if (fields.size() < 2) throw Stop{kExitUsage, Quoted(text) + " is not PATH,CODE: it holds no comma"};
        if (!IsWholeNumberText(fields[1]))
            throw Stop{kExitUsage, Quoted(text) + " is not PATH,CODE: " + Quoted(fields[1]) + " is not a whole number"};
        const std::int32_t code = ToInt32Checked(fields[1]);

        state_.CommandLineRun = true;
        state_.Settings.FileType = code;
        state_.CurrentFileType = code;
        state_.CommandLineOutputName = ConvertedOutputName(fields[0]);
        if (!HasReader(code)) {
            SaveSettings(state_, err_);  // an orderly end, as after any unattended run
            throw Stop{kExitUsage, UnknownTypeMessage({code, "from the command line " + text})};
        }
        CheckReadable(fields[0]);
        RefuseOverwritingInputs({state_.CommandLineOutputName}, {fields[0]});
        Checked([&] { ConvertUnattended(state_, fields[0]); });  // a failure ends before the settings are saved
        SaveSettings(state_, err_);
        return kExitOk;
    }

    static std::int32_t ToInt32Checked(const std::string& text)
    {
        try {
            return std::stoi(std::string(TrimBlanks(text)));
        } catch (const std::exception&) {
            throw Stop{kExitUsage, Quoted(text) + " is too large a file type code"};
        }
    }

    TypeChoice ChosenType(const std::string& option) const
    {
        const TypeChoice type = option.empty() ? TypeChoice{state_.Settings.FileType, settingsTypeOrigin_}
                                               : TypeFromOption(option);
        RequireReader(type);
        return type;
    }

    // Writes a document to a file, or to standard output for "-".
    void WriteOutput(const PDDXFile& document, const std::string& output)
    {
        if (output != "-") {
            Checked([&] { WriteDocument(document, output); });
            return;
        }
        errno = 0;
        document.PDDX_Output(out_);
        if (!out_.flush()) {
            outputFailed_ = true;
            throw OutputFailure();
        }
    }

    int RunConvert()
    {
        if (!convertOutput_.empty() && convertFiles_.size() > 1)
            throw Stop{kExitUsage, "-o names the output of one FILE only"};
        const TypeChoice type = ChosenType(convertType_);
        state_.CurrentFileType = type.code;
        std::vector<std::string> outputs;
        for (const std::string& file : convertFiles_) {
            CheckReadable(file);
            outputs.push_back(convertOutput_.empty() ? ReviewOutputName(file) : convertOutput_);
        }
        RefuseOverwritingInputs(outputs, convertFiles_);
        int status = kExitOk;
        for (std::size_t i = 0; i < convertFiles_.size(); ++i) {
            try {
                PDDXFile document;
                Checked([&] { ReadWithReader(state_, type.code, convertFiles_[i], document, false); });
                WriteOutput(document, outputs[i]);
                if (outputs[i] != "-") out_ << convertFiles_[i] << " -> " << outputs[i] << "\n";
            } catch (const Stop& stop) {
                if (stop.status == kExitUsage) throw;
                err_ << "vantrel: " << EscapeControls(stop.message) << "\n";  // the other files are still converted
                status = stop.status;
            }
        }
        return status;
    }

    int RunMerge()
    {
        // -t applies to the files that follow it, so walk the arguments in the order given.
        std::vector<std::pair<TypeChoice, std::string>> inputs;
        TypeChoice type{state_.Settings.FileType, settingsTypeOrigin_};
        std::size_t nextType = 0, nextFile = 0;
        for (const CLI::Option* option : merge_->parse_order()) {
            if (option->get_name() == "files") inputs.emplace_back(type, mergeFiles_.at(nextFile++));
            else if (option->check_name("-t")) type = TypeFromOption(mergeTypes_.at(nextType++));
        }
        std::vector<std::string> names;
        for (const auto& input : inputs) {
            RequireReader(input.first);
            CheckReadable(input.second);
            names.push_back(input.second);
        }
        RefuseOverwritingInputs({mergeOutput_}, names);

        PDDXFile document;
        bool first = true;
        for (const auto& input : inputs) {
            state_.CurrentFileType = input.first.code;
            Checked([&] { ReadWithReader(state_, input.first.code, input.second, document, !first); });
            first = false;
        }
        WriteOutput(document, mergeOutput_);
        if (mergeOutput_ != "-") out_ << "merged " << inputs.size() << " files -> " << mergeOutput_ << "\n";
        return kExitOk;
    }

    int RunBatch()
    {
        CheckReadable(batchFile_);
        state_.CurrentFileType = ChosenType(batchType_).code;
        const std::vector<BatchFile> files = BatchFiles(batchFile_);
        std::vector<std::string> inputs, outputs;
        for (const BatchFile& file : files) {
            inputs.push_back(file.Input);
            outputs.push_back(file.Output);
        }
        RefuseOverwritingInputs(outputs, inputs);
        std::size_t current = 0;
        try {
            Checked([&] {
                ConvertBatch(state_, files,
                             {[&](std::size_t i) { current = i; },
                              [&](std::size_t i) { out_ << inputs[i] << " -> " << outputs[i] << "\n"; }});
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

    int RunBlank()
    {
        const std::string output = blankOutput_.empty() ? "BlankPDDX.DDX" : blankOutput_;
        WriteOutput(PDDXFile(), output);
        if (output != "-") out_ << "blank template -> " << output << "\n";
        return kExitOk;
    }

    std::ostream& out_;
    std::ostream& err_;
    ProgramState state_;
    CLI::App app_{"", "vantrel"};
    CLI::App* merge_ = nullptr;
    std::string settingsTypeOrigin_;
    bool outputFailed_ = false;  // already reported

    std::string settingsFile_;
    bool paths_ = false;
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
