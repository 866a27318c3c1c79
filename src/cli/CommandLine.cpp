#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "base/AtomicFile.h"
#include "cli/Progress.h"
#include "core/Check.h"
#include "core/Conversion.h"
#include "core/Export.h"
#include "core/OutputNames.h"
#include "import/FileFormats.h"
#include "core/Settings.h"
#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/Platform.h"
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
    throw Stop{kExitUsage, "unknown file type " + Quoted(text) + " given with -t (use 0 to 10, auto or one of " +
                               FileTypeShortNames() + ")"};
}

// -t auto, or no -t where the content decides.
bool Detecting(const std::string& option) { return option.empty() || EqualsIgnoreCase(option, "auto"); }

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
            if (input == "-") continue;  // standard input, not a file of that name
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

const char* const kCommands = "convert, merge, batch, blank, detect, check, export";

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
    "Without -t, convert, merge, check and export tell each file's type from its content (detect\n"
    "shows what they see), and take the default type of the settings for a file that matches none;\n"
    "-t auto does the same, but refuses such a file. FILE - is standard input.\n"
    "\n"
    "Exit status: 0 done; 1 a file could not be read or written (or, with --strict, a warning);\n"
    "2 a usage error or an unknown file type; detect: 1 when a file matches no type; check: 4\n"
    "when it found something the calibration lacks.\n"
    "\n"
    "Examples:\n"
    "  vantrel convert RUN1.FWD                  writes RUN1.DDX beside RUN1.FWD, of the type it looks like\n"
    "  vantrel convert -t kuab RUN1.FWD          reads it as KUAB FWD whatever it looks like\n"
    "  vantrel merge -o road.DDX -t kuab RUN1.FWD -t kuab-ini FVO.INI\n"
    "  vantrel batch -t auto --output-dir out data/A.F25   every .F25 file of data/ into out/\n"
    "  vantrel detect data/*                     one line per file: data/A.F25: f25\n"
    "  vantrel check road.DDX                    what road.DDX lacks for a calibration\n"
    "  vantrel export -o drops.csv road.DDX      every drop as a row of a CSV table\n"
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
            Message(stop.message);
            status = stop.status;
        }
        progress_.Wipe();
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
        app_.add_flag("--strict", strict_, "A warning is a failure: exit status 1 and no output for that file");
        app_.add_flag("-q,--quiet", quiet_, "No warnings and no progress line");
        // The job is described in the usage lines; its words are joined as one command line.
        app_.add_option("job", job_)->group("");
        app_.require_subcommand(0, 1);

        const std::string types = "File type: a code, a short name or auto (see vantrel --help); default: "
                                  "told by the content";
        const std::string files = "Input files; - for standard input";
        CLI::App* convert = app_.add_subcommand("convert", "Convert each FILE into FILE's root + \".DDX\"");
        convert->add_option("-t,--type", convertType_, types)->type_name("TYPE");
        convert->add_option("-o,--output", convertOutput_, "Output file (one FILE only); - for standard output")
            ->type_name("OUTPUT");
        convert->add_option("--output-dir", outputDir_, "Write the outputs into DIR under the names they would have")
            ->type_name("DIR");
        convert->add_option("files", convertFiles_, files + " (then -o is needed)")->required()->type_name("FILE");
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
        batch->add_option("-t,--type", batchType_,
                          "File type: a code, a short name, or auto to tell each file's from its content; "
                          "default: the default type of the settings")
            ->type_name("TYPE");
        batch->add_option("--output-dir", outputDir_, "Write the outputs into DIR under the names they would have")
            ->type_name("DIR");
        batch->add_option("file", batchFile_, "One file of the folder; its folder and extension choose the files")
            ->required()
            ->type_name("FILE");
        batch->fallthrough();

        CLI::App* blank = app_.add_subcommand("blank", "Write the blank PDDX template");
        blank->add_option("-o,--output", blankOutput_, "Output file (default BlankPDDX.DDX); - for standard output")
            ->type_name("OUTPUT");
        blank->fallthrough();

        CLI::App* detect = app_.add_subcommand("detect", "Print the type each FILE looks like: FILE: NAME");
        detect->add_option("files", detectFiles_, files)->required()->type_name("FILE");
        detect->fallthrough();

        CLI::App* check = app_.add_subcommand(
            "check", "Say what each FILE lacks for a calibration, one line per finding: FILE: [SECTION] KEY: what");
        check->add_option("-t,--type", checkType_, types)->type_name("TYPE");
        check->add_option("--format", checkFormat_, "text (the default), or json: an array of objects with the "
                                                    "keys file, section, key, message")
            ->check(CLI::IsMember({"text", "json"}))
            ->type_name("FORMAT");
        check->add_option("files", checkFiles_, files)->required()->type_name("FILE");
        check->fallthrough();

        CLI::App* exporter = app_.add_subcommand("export", "Write the drops of every FILE as one CSV table");
        exporter->add_option("-t,--type", exportType_, types)->type_name("TYPE");
        exporter->add_option("-o,--output", exportOutput_, "Output file; - (the default) for standard output")
            ->type_name("OUTPUT");
        exporter->add_option("files", exportFiles_, files)->required()->type_name("FILE");
        exporter->fallthrough();

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
            err_ << "vantrel: help: there is no command " << Quoted(argv[2]) << " (" << kCommands << ")\n";
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

        // A progress line only where someone watches it.
        progress_.Show(!quiet_ && &err_ == &std::cerr && platform::StandardErrorIsTerminal());
        if (!command) return RunJob(JoinWords(job_));
        const std::string& name = command->get_name();
        if (name == "convert") return RunConvert();
        if (name == "merge") return RunMerge();
        if (name == "batch") return RunBatch();
        if (name == "detect") return RunDetect();
        if (name == "check") return RunCheck();
        if (name == "export") return RunExport();
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
        // A failure ends before the settings are saved.
        Checked([&] { ConvertUnattended(state_, fields[0], [&](const ReadReport& report) { Report(fields[0], report); }); });
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

    // The type to read an input as: the one given with -t, or the one its content shows. For a
    // content that shows none, -t auto refuses the file and no -t takes the settings' default.
    TypeChoice TypeFor(const std::string& option, const InputFile& input) const
    {
        if (!Detecting(option)) return ChosenType(option);
        Detection detection;
        Checked([&] { detection = DetectInput(input); });
        if (detection.Code != kUnknownType) return {detection.Code, "told by the content of " + input.Name};
        if (!option.empty())
            throw Stop{kExitUsage, input.Name + ": its content matches no file type; name its type with -t"};
        return ChosenType("");
    }

    // A file named by the user, checked before any reader runs; "-" reads standard input whole.
    InputFile Input(const std::string& name)
    {
        if (name != "-") {
            CheckReadable(name);
            return InputFile::Named(name);
        }
        if (standardInputRead_) throw Stop{kExitUsage, "standard input (-) can be read only once"};
        standardInputRead_ = true;
        auto bytes = std::make_shared<std::string>();
        char chunk[1 << 16];
        for (;;) {
            std::string error;
            const long long got = platform::ReadBytes(platform::StandardInput(), chunk, sizeof chunk, error);
            if (got == 0) break;
            if (got < 0) throw Stop{kExitReadFailure, "cannot read standard input: " + error};
            bytes->append(chunk, static_cast<std::size_t>(got));
            progress_.Read(static_cast<std::size_t>(got));
        }
        return {name, std::move(bytes)};
    }

    // The inputs of a command with their types, all checked before anything is read.
    std::vector<std::pair<InputFile, TypeChoice>> Inputs(const std::vector<std::string>& names, const std::string& option)
    {
        std::vector<std::pair<InputFile, TypeChoice>> inputs;
        for (const std::string& name : names) {
            InputFile input = Input(name);
            TypeChoice type = TypeFor(option, input);
            inputs.emplace_back(std::move(input), std::move(type));
        }
        progress_.Files(inputs.size());
        return inputs;
    }

    void Message(const std::string& text)
    {
        progress_.Wipe();
        err_ << "vantrel: " << EscapeControls(text) << "\n";
    }

    // A line of the listing: the progress line, on the same terminal, makes way for it.
    void List(const std::string& text)
    {
        progress_.Wipe();
        out_ << text << "\n";
        if (progress_.Shown()) out_.flush();
    }

    // Passes on what a reading warns of (it took nothing, or it took the file for one line); with
    // --strict that fails the file.
    void Report(const std::string& name, const ReadReport& report)
    {
        if (report.Warning.empty()) return;
        const std::string warning = name + ": warning: " + report.Warning;
        if (strict_) throw Stop{kExitReadFailure, warning + "; with --strict nothing is written for it"};
        if (!quiet_) Message(warning);
    }

    // Reads one input into a document: a new one, or with `append` one that holds data already.
    void ReadInto(PDDXFile& document, const InputFile& input, const TypeChoice& type, bool append = false,
                  Reader reader = nullptr)
    {
        state_.CurrentFileType = type.code;
        ReadReport report;
        Checked([&] { report = ReadInput(state_, type.code, input, document, append, Progress(), reader); });
        Report(input.Name, report);
    }

    BytesRead Progress()
    {
        return [this](std::size_t bytes) { progress_.Read(bytes); };
    }

    void MakeOutputFolder()
    {
        std::error_code error;
        if (!outputDir_.empty() && !std::filesystem::is_directory(outputDir_, error) &&
            !std::filesystem::create_directories(outputDir_, error))
            throw Stop{kExitReadFailure, "cannot make the output folder " + outputDir_ + ": " + error.message()};
    }

    // Writes a document to a file, or to standard output for "-".
    void WriteOutput(const PDDXFile& document, const std::string& output)
    {
        WriteText(output, [&document](std::ostream& out) { document.PDDX_Output(out); });
    }

    void WriteText(const std::string& output, const std::function<void(std::ostream&)>& write)
    {
        if (output != "-") {
            Checked([&] { WriteFileAtomically(output, write); });
            return;
        }
        progress_.Wipe();
        errno = 0;
        write(out_);
        if (!out_.flush()) {
            outputFailed_ = true;
            throw OutputFailure();
        }
    }

    int RunConvert()
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

    int RunMerge()
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

        PDDXFile document;
        bool first = true;
        for (const auto& [input, type] : inputs) {
            ReadInto(document, input, type, !first);
            first = false;
            progress_.FileDone();
        }
        WriteOutput(document, mergeOutput_);
        if (mergeOutput_ != "-") List("merged " + std::to_string(inputs.size()) + " files -> " + mergeOutput_);
        return kExitOk;
    }

    int RunBatch()
    {
        CheckReadable(batchFile_);
        const bool detecting = EqualsIgnoreCase(batchType_, "auto");
        if (!detecting) state_.CurrentFileType = ChosenType(batchType_).code;
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
                ConvertBatch(state_, files,
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

    int RunDetect()
    {
        int status = kExitOk;
        for (const std::string& file : detectFiles_) {
            try {
                const InputFile input = Input(file);
                Detection detection;
                Checked([&] { detection = DetectInput(input); });
                out_ << file << ": " << ShortNameOf(detection.Code) << "\n";
                if (detection.Code == kUnknownType) status = kExitReadFailure;
            } catch (const Stop& stop) {
                if (stop.status == kExitUsage) throw;
                Message(stop.message);
                status = kExitReadFailure;
            }
        }
        return status;
    }

    int RunCheck()
    {
        const auto inputs = Inputs(checkFiles_, checkType_);
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        bool found = false, failed = false;
        for (const auto& [input, type] : inputs) {
            std::vector<Finding> findings;
            try {
                PDDXFile document;
                // A PDDX file is checked as it stands, not as its counters would have it read.
                ReadInto(document, input, type, false, type.code == kPDDX ? &ReadPDDXAsWritten : nullptr);
                findings = CheckDocument(document);
            } catch (const Stop& stop) {
                if (stop.status == kExitUsage) throw;
                Message(stop.message);
                failed = true;
            }
            progress_.FileDone();
            found = found || !findings.empty();
            for (const Finding& finding : findings) {
                if (checkFormat_ == "json")
                    list.push_back({{"file", input.Name}, {"section", finding.Section}, {"key", finding.Key},
                                    {"message", finding.Message}});
                else
                    out_ << input.Name << ": [" << finding.Section << "] " << finding.Key << ": " << finding.Message << "\n";
            }
        }
        if (checkFormat_ == "json") out_ << list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
        return failed ? kExitReadFailure : found ? kExitFindings : kExitOk;
    }

    int RunExport()
    {
        const std::string output = exportOutput_.empty() ? "-" : exportOutput_;
        const auto inputs = Inputs(exportFiles_, exportType_);
        RefuseOverwritingInputs({output}, exportFiles_);
        DropTable table;
        bool failed = false;
        for (const auto& [input, type] : inputs) {
            try {
                PDDXFile document;
                ReadInto(document, input, type);
                table.Add(input.Name, document);
            } catch (const Stop& stop) {
                if (stop.status == kExitUsage) throw;
                Message(stop.message);
                failed = true;
            }
            progress_.FileDone();
        }
        // One table of every file or none: a table that silently lacks a file would mislead.
        if (failed) {
            Message("nothing exported, as not every file could be read");
            return kExitReadFailure;
        }
        WriteText(output, [&table](std::ostream& out) { table.Write(out); });
        if (output != "-")
            List("exported " + std::to_string(table.Rows()) + (table.Rows() == 1 ? " drop" : " drops") + " of " +
                 std::to_string(inputs.size()) + (inputs.size() == 1 ? " file" : " files") + " -> " + output);
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
    ProgressLine progress_{err_, false};
    bool standardInputRead_ = false;
    CLI::App app_{"", "vantrel"};
    CLI::App* merge_ = nullptr;
    std::string settingsTypeOrigin_;
    bool outputFailed_ = false;  // already reported

    std::string settingsFile_;
    bool paths_ = false;
    std::vector<std::string> overrides_;
    bool strict_ = false, quiet_ = false;
    std::string outputDir_;
    std::vector<std::string> job_;
    std::string convertType_, convertOutput_;
    std::vector<std::string> convertFiles_;
    std::string mergeOutput_;
    std::vector<std::string> mergeTypes_, mergeFiles_;
    std::string batchType_, batchFile_;
    std::string blankOutput_;
    std::vector<std::string> detectFiles_;
    std::string checkType_, checkFormat_ = "text";
    std::vector<std::string> checkFiles_;
    std::string exportType_, exportOutput_;
    std::vector<std::string> exportFiles_;
};

}  // namespace

int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                   const std::filesystem::path& programFolder)
{
    CommandLine commandLine(out, err, programFolder);
    return commandLine.Run(argc, argv);
}

}  // namespace vantrel
