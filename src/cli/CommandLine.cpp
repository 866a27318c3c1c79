#include "cli/CommandLine.h"

#include <cerrno>
#include <iostream>

#include "base/AtomicFile.h"
#include "base/Latin1.h"
#include "base/NumberText.h"
#include "base/Platform.h"
#include "cli/CommandLineApp.h"
#include "cli/HelpText.h"
#include "core/CheckLimits.h"
#include "core/OutputNames.h"
#include "core/Settings.h"

namespace vantrel {

CommandLine::CommandLine(std::ostream& out, std::ostream& err, const std::filesystem::path& programFolder)
    : out_(out), err_(err), state_(InstalledProgramState(programFolder))
{
    Define();
}

int CommandLine::Run(int argc, const char* const* argv)
{
    int status;
    try {
        if (const int at = HelpWord(argc, argv); at >= 0) {
            status = Help(argc - at, argv + at);
        } else {
            app_.parse(argc, argv);
            status = Dispatch();
        }
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            app_.exit(e, out_, err_);
            status = kExitOk;
        } else {
            err_ << "vantrel: " << EscapeControls(e.what()) << "\n"
                 << DashHint(argc, argv) << "Run with --help for more information.\n";
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
        err_ << "vantrel: " << (listingFailure_.empty() ? OutputFailure().message : listingFailure_) << "\n";
        return kExitReadFailure;
    }
    return status;
}

namespace {

// "-o ''" would otherwise stand for no option at all.
const CLI::Validator kNamesAFile(
    [](std::string& name) { return name.empty() ? std::string("an empty name names no file") : std::string(); }, "",
    "NONEMPTY");

// A number from `least` to `most`, for an option whose value is printed and computed with: a
// thousand-digit value would fill a heading, an overflowing one fail after writing has begun.
CLI::Validator Within(double least, double most, const std::string& unit)
{
    const std::string range = "a number from " + DoubleText(least) + " to " + DoubleText(most) + " " + unit;
    return CLI::Validator(
        [least, most, range](std::string& text) {
            std::optional<double> number;
            try {
                number = ParseNumber(text);
            } catch (const std::exception&) {
                // beyond the range of a number: refused below as any other
            }
            if (number && *number >= least && *number <= most) return std::string();
            return Quoted(text) + " is not " + range;
        },
        "", "RANGE");
}

}  // namespace

void CommandLine::Define()
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
        ->check(kNamesAFile)
        ->type_name("OUTPUT");
    convert->add_option("--output-dir", outputDir_, "Write the outputs into DIR under the names they would have")
        ->check(kNamesAFile)
        ->type_name("DIR");
    convert->add_option("-j,--jobs", jobs_, "Files converted at once; default: one for each processor")
        ->check(CLI::Range(1u, 256u))
        ->type_name("N");
    convert->add_option("files", convertFiles_, files + " (then -o is needed)")->required()->type_name("FILE");
    convert->fallthrough();

    CLI::App* merge = app_.add_subcommand("merge", "Read the first FILE, merge each further one into it");
    merge->add_option("-o,--output", mergeOutput_, "Output file; - for standard output")
        ->check(kNamesAFile)
        ->required()
        ->type_name("OUTPUT");
    merge->add_option("-t,--type", mergeTypes_, types + "; applies to the files after it")
        ->allow_extra_args(false)
        ->type_name("TYPE");
    merge->add_option("files", mergeFiles_, "Input files")->required()->type_name("FILE");
    merge->fallthrough();
    merge_ = merge;

    CLI::App* batch =
        app_.add_subcommand("batch", "Convert every file in FILE's folder with FILE's extension to root + \"cvt.DDX\"");
    batch
        ->add_option("-t,--type", batchType_,
                     "File type: a code, a short name, or auto to tell each file's from its content; "
                     "default: the default type of the settings")
        ->type_name("TYPE");
    batch->add_option("--output-dir", outputDir_, "Write the outputs into DIR under the names they would have")
        ->check(kNamesAFile)
        ->type_name("DIR");
    batch->add_option("-j,--jobs", jobs_, "Files converted at once; default: one for each processor")
        ->check(CLI::Range(1u, 256u))
        ->type_name("N");
    batch->add_flag("-r,--recursive", batchRecursive_,
                    "Convert the files with FILE's extension in every folder below FILE's too, keeping the "
                    "tree under --output-dir");
    batch->add_option("file", batchFile_, "One file of the folder; its folder and extension choose the files")
        ->required()
        ->type_name("FILE");
    batch->fallthrough();

    CLI::App* blank = app_.add_subcommand("blank", "Write the blank PDDX template");
    blank->add_option("-o,--output", blankOutput_, "Output file (default BlankPDDX.DDX); - for standard output")
        ->check(kNamesAFile)
        ->type_name("OUTPUT");
    blank->fallthrough();

    CLI::App* detect = app_.add_subcommand("detect", "Print the type each FILE looks like: FILE: NAME");
    detect->add_option("files", detectFiles_, files)->required()->type_name("FILE");
    detect->fallthrough();

    CLI::App* check = app_.add_subcommand(
        "check", "Say what each FILE lacks for a calibration, one line per finding: FILE: [SECTION] KEY: what");
    check->add_option("-t,--type", checkType_, types)->type_name("TYPE");
    check
        ->add_option("--format", checkFormat_,
                     "text (the default), or json: an array of objects with the "
                     "keys file, section, key, message, and code and severity for what a rule finds")
        ->check(CLI::IsMember({"text", "json"}))
        ->type_name("FORMAT");
    check
        ->add_option("--fail-on", checkFailOn_,
                     "The least a finding must be to give exit status 4: error, warning or note (the default)")
        ->check(CLI::IsMember({"error", "warning", "note"}))
        ->type_name("LEVEL");
    check->add_flag("--rules", checkRules_, "List the calibration rules, their limits (--set) and sources, and exit");
    check->add_option("files", checkFiles_, files)->type_name("FILE");
    check->fallthrough();

    CLI::App* exporter = app_.add_subcommand("export", "Write the drops of every FILE as one CSV table");
    exporter->add_option("-t,--type", exportType_, types)->type_name("TYPE");
    exporter->add_option("-o,--output", exportOutput_, "Output file; - (the default) for standard output")
        ->check(kNamesAFile)
        ->type_name("OUTPUT");
    exporter
        ->add_option("--normalise", exportOptions_.NormalLoad,
                     "Scale each drop's deflections to the load LOAD in kN (0.1 to 1000), as deflection times "
                     "LOAD / the drop's load")
        ->check(Within(0.1, 1000, "kN"))
        ->type_name("LOAD");
    CLI::Option* indices = exporter->add_flag(
        "--indices", exportOptions_.Indices,
        "Add the columns SCI, BDI, BCI (in the deflection units), AREA (inches) and E0 (MPa) after the deflections");
    exporter->add_option("--poisson", exportOptions_.Poisson, "Poisson's ratio for E0; default 0.35")
        ->check(CLI::Range(0.0, 0.5))
        ->needs(indices)
        ->type_name("NU");
    exporter
        ->add_option("--tolerance", exportOptions_.Tolerance,
                     "How far in mm (0.1 to 1000) a sensor may be from 0, 300, 600 or 900 mm to count as there; "
                     "default 25")
        ->check(Within(0.1, 1000, "mm"))
        ->needs(indices)
        ->type_name("MM");
    exporter->add_flag("--histories", exportOptions_.Histories,
                       "Write the time histories instead, one row per sample: file, location, drop, sample, "
                       "time (s), load, D1 ... Dn");
    exporter
        ->add_option("--format", exportFormat_,
                     "csv (the default), or geojson: a GeoJSON FeatureCollection of the test locations "
                     "with a GPS fix, with their station and peak load and D1")
        ->check(CLI::IsMember({"csv", "geojson"}))
        ->type_name("FORMAT");
    exporter->add_option("-j,--jobs", jobs_, "Threads that write the drops' rows; default: one for each processor")
        ->check(CLI::Range(1u, 256u))
        ->type_name("N");
    exporter->add_option("files", exportFiles_, files)->required()->type_name("FILE");
    exporter->fallthrough();

    app_.footer(TypeTable() + "\n" + kFooter);
}

int CommandLine::HelpWord(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--settings" || arg == "--set") ++i;
        else if (arg == "help") return i - 1;
        else if (!arg.starts_with("--settings=") && !arg.starts_with("--set=")) return -1;
    }
    return -1;
}

int CommandLine::Help(int argc, const char* const* argv)
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

std::string CommandLine::DashHint(int argc, const char* const* argv) const
{
    std::string command;  // the command word given, if any: the hint shows where the name goes
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        for (const CLI::App* named : app_.get_subcommands({}))
            if (command.empty() && named->get_name() == arg) command = arg;
        const CLI::Option* option = KnownOption(arg);
        // "-j -1": the value of an option, which CLI11 has already named in its message.
        const bool valueApart = arg.starts_with("--") ? arg.find('=') == std::string_view::npos : arg.size() == 2;
        if (option && option->get_items_expected_min() > 0 && valueApart) ++i;
        if (arg.size() < 2 || arg[0] != '-' || option) continue;
        const bool job = command.empty() && arg.find(',') != std::string_view::npos;
        const std::string what = job ? "a PATH,CODE whose PATH" : "a file whose name";
        return "\"" + EscapeControls(arg) + "\" is not an option; " + what +
               " starts with \"-\" goes after \"--\" (vantrel " + (command.empty() ? "" : command + " ") + "-- " +
               EscapeControls(arg) + ").\n";
    }
    return {};
}

const CLI::Option* CommandLine::KnownOption(std::string_view arg) const
{
    if (arg.size() < 2 || arg[0] != '-') return nullptr;
    const std::string name(arg.starts_with("--") ? arg.substr(0, arg.find('=')) : arg.substr(0, 2));
    const auto known = [&](const CLI::App* app) -> const CLI::Option* {
        for (const CLI::Option* option : app->get_options())
            if (option->check_name(name)) return option;
        return nullptr;
    };
    if (const CLI::Option* option = known(&app_)) return option;
    for (const CLI::App* command : app_.get_subcommands({}))
        if (const CLI::Option* option = known(command)) return option;
    return nullptr;
}

int CommandLine::Dispatch()
{
    if (!settingsFile_.empty()) state_.SettingsFile = settingsFile_;
    if (paths_) {
        out_ << "settings file: " << state_.SettingsFile.string()
             << "\nprogram folder: " << state_.ProgramFolder.string() << "\n";
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
                                   "but " +
                                       Quoted(JoinWords(job_)) +
                                       " followed it (a shell pattern such as "
                                       "*.F25 gives many files: quote it, or name the files with convert)"};
        throw Stop{kExitUsage,
                   Quoted(JoinWords(job_)) + " cannot stand beside the " + command->get_name() + " command"};
    }

    if (!command) RefuseJobConflicts();
    LoadSettings(state_, !command, err_);
    loadedSettings_ = state_.Settings;
    settingsTypeOrigin_ = "FileType in the settings file " + state_.SettingsFile.string();
    ApplyOverrides();

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

void CommandLine::RefuseJobConflicts() const
{
    const std::string text = JoinWords(job_);
    const std::string path = text.substr(0, text.find(','));
    if (path != text && !TrimBlanks(path).empty()) RefuseConflicts({ConvertedOutputName(path)}, {path});
}

void CommandLine::ApplyOverrides()
{
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
    // Checked once every --set is in, so that they may come in any order.
    if (state_.Settings.Check != loadedSettings_.Check)
        if (const std::string fault = LimitsFault(state_.Settings.Check); !fault.empty())
            throw Stop{kExitUsage, "--set: " + fault};
}

TypeChoice CommandLine::ChosenType(const std::string& option) const
{
    TypeChoice type = option.empty() ? TypeChoice{state_.Settings.Type, settingsTypeOrigin_} : TypeFromOption(option);
    RequireReader(type);
    return type;
}

void CommandLine::RequireKnownType(const std::string& option) const
{
    if (!Detecting(option)) ChosenType(option);
}

TypeChoice CommandLine::TypeFor(const std::string& option, InputFile& input) const
{
    if (!Detecting(option)) return ChosenType(option);
    Detection detection;
    Checked([&] { detection = DetectInput(input); });
    if (detection.Type != FileType::Unknown) return {detection.Type, "told by the content of " + input.Name};
    if (!option.empty())
        throw Stop{kExitReadFailure, input.Name + ": its content matches no file type; name its type with -t"};
    return ChosenType("");
}

InputFile CommandLine::Input(const std::string& name)
{
    if (name == "-") {
        if (standardInputRead_) throw Stop{kExitUsage, "standard input (-) can be read only once"};
        standardInputRead_ = true;
    }
    InputFile input;
    Checked([&] { input = OpenInputFile(name); });
    return input;
}

void CommandLine::Message(const std::string& text)
{
    progress_.Wipe();
    err_ << "vantrel: " << EscapeControls(text) << "\n";
}

void CommandLine::List(const std::string& text)
{
    progress_.Wipe();
    // Out before the next file starts, so that a run ended by a signal has listed what it wrote.
    errno = 0;
    out_ << EscapeControls(text) << "\n" << std::flush;
    if (!out_ && listingFailure_.empty()) listingFailure_ = OutputFailure().message;
}

void CommandLine::Report(const std::string& name, const ReadReport& report)
{
    std::vector<std::string> warnings = WarningLines(name, report.Lines, "warning: ");
    if (!report.Warning.empty()) warnings.push_back(name + ": warning: " + report.Warning);
    if (warnings.empty()) return;
    if (strict_) {
        for (std::size_t i = 0; i + 1 < warnings.size(); ++i) Message(warnings[i]);
        throw Stop{kExitReadFailure, warnings.back() + "; with --strict nothing is written for it"};
    }
    if (!quiet_)
        for (const std::string& warning : warnings) Message(warning);
}

void CommandLine::ReadInto(PDDXFile& document, InputFile& input, const TypeChoice& type, ReadingState* reading,
                           bool append, const ReaderCall& reader)
{
    ReadingState fresh = NewReading(state_.Settings);
    if (!reading) reading = &fresh;
    state_.CurrentType = type.code;
    ReadReport report;
    Checked([&] {
        report = ReadInput(state_.Settings, *reading, type.code, input, document, append, Progress(), reader);
    });
    Report(input.Name, report);
}

BytesRead CommandLine::Progress()
{
    return [this](std::size_t bytes) { progress_.Read(bytes); };
}

void CommandLine::RefuseConflicts(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs) const
{
    RefuseOutputConflicts(outputs, inputs);
    RefuseSettingsConflict(state_.SettingsFile.string(), outputs, inputs);
}

void CommandLine::MakeOutputFolder()
{
    std::error_code error;
    if (!outputDir_.empty() && !std::filesystem::is_directory(outputDir_, error) &&
        !std::filesystem::create_directories(outputDir_, error))
        throw Stop{kExitReadFailure, "cannot make the output folder " + outputDir_ + ": " + error.message()};
}

void CommandLine::WriteOutput(const PDDXFile& document, const std::string& output)
{
    WriteText(output, [&document](std::ostream& out) { document.WriteText(out); });
}

void CommandLine::WriteText(const std::string& output, const std::function<void(std::ostream&)>& write)
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

int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                   const std::filesystem::path& programFolder)
{
    CommandLine commandLine(out, err, programFolder);
    return commandLine.Run(argc, argv);
}

}  // namespace vantrel
