#pragma once
// The command line as one object: its options as CLI11 parses them, the program state it runs
// on, and one member per command (CommandLine.cpp: parsing, inputs and outputs; ConvertCommands.cpp:
// PATH,CODE, convert, merge, batch and blank; DocumentCommands.cpp: detect, check and export).

#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/CommandSupport.h"
#include "cli/Progress.h"
#include "import/PddxDrops.h"
#include "core/Conversion.h"
#include "core/DropMeasures.h"
#include "core/Inputs.h"
#include "core/ProgramState.h"
#include "import/FileFormats.h"

namespace vantrel {

class CommandLine {
public:
    CommandLine(std::ostream& out, std::ostream& err, const std::filesystem::path& programFolder);
    int Run(int argc, const char* const* argv);

private:
    void Define();
    // How many words stand before "help" as the command (the program name and common options);
    // -1 when there is no such word.
    static int HelpWord(int argc, const char* const* argv);
    // argv[1] is "help", argv[2] (if any) the command to explain.
    int Help(int argc, const char* const* argv);
    // CLI11 takes "-x.F25" for an option; say how to name such a file.
    std::string DashHint(int argc, const char* const* argv) const;
    // The option `arg` names ("-j", "-j4", "--jobs=4"), of any command; nullptr for none.
    const CLI::Option* KnownOption(std::string_view arg) const;
    int Dispatch();
    // PATH,CODE writes the settings file (and makes it when it is missing, before it reads
    // anything): never over PATH or its output, which is refused before the settings are loaded.
    void RefuseJobConflicts() const;
    // The --set assignments, over the settings loaded; a Stop for one that cannot be taken.
    void ApplyOverrides();
    // PATH,CODE: convert one file beside itself and keep the code as the default file type.
    int RunJob(const std::string& text);
    static std::int32_t ToInt32Checked(const std::string& text);
    TypeChoice ChosenType(const std::string& option) const;
    // A -t that names no type (or one without a reader) ends the run before any file is opened.
    void RequireKnownType(const std::string& option) const;
    // The type to read an input as: the one given with -t, or the one its content shows. For a
    // content that shows none, -t auto refuses the file and no -t takes the settings' default.
    TypeChoice TypeFor(const std::string& option, InputFile& input) const;
    // A file named by the user, opened (once: it is read from what is opened here); "-" is
    // standard input, read as it comes.
    InputFile Input(const std::string& name);
    void Message(const std::string& text);
    // A line of the listing: the progress line, on the same terminal, makes way for it.
    void List(const std::string& text);
    // Passes on what a reading warns of (it took nothing, or it took the file for one line); with
    // --strict that fails the file.
    void Report(const std::string& name, const ReadReport& report);
    // Reads one input into a document: a new one, or with `append` one that holds data already;
    // going on from `reading` (what the document's earlier files left) or from a new one.
    void ReadInto(PDDXFile& document, InputFile& input, const TypeChoice& type, ReadingState* reading = nullptr,
                  bool append = false, const ReaderCall& reader = {});
    // Reads a PDDX file as ReadInto does, but for its drops, which go to `drops`.
    void ReadDropsApart(PDDXFile& document, InputFile& input, const TypeChoice& type, PDDXDropValues& drops);
    BytesRead Progress();
    // The output checks of a command, its settings file taking part (CommandSupport.h).
    void RefuseConflicts(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs) const;
    void MakeOutputFolder();
    // Writes a document to a file, or to standard output for "-".
    void WriteOutput(const PDDXFile& document, const std::string& output);
    void WriteText(const std::string& output, const std::function<void(std::ostream&)>& write);
    int RunConvert();
    int RunMerge();
    int RunBatch();
    int RunDetect();
    int RunCheck();
    int RunExport();
    void RefuseExportOptionClashes() const;
    int RunBlank();
    // How many files a batch converts at once.
    unsigned Jobs() const;
    // A FILE of convert read, and its output written beside its place (standard output: kept).
    struct ConvertedFile;
    ConvertedFile ReadForOutput(const std::string& file, const std::string& output, const BytesRead& bytes);
    // What the reading gave said, and the output put in place (Stop when it cannot be).
    void PutInPlace(const std::string& file, const std::string& output, ConvertedFile& done);

    std::ostream& out_;
    std::ostream& err_;
    ProgramState state_;
    ProgressLine progress_{err_, false};
    bool standardInputRead_ = false;
    CLI::App app_{"", "vantrel"};
    CLI::App* merge_ = nullptr;
    std::string settingsTypeOrigin_;
    SettingsRecord loadedSettings_;  // as the settings file gave them, before any --set
    bool outputFailed_ = false;      // already reported
    std::string listingFailure_;     // why the first line of the listing could not be written

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
    bool batchRecursive_ = false;
    unsigned jobs_ = 0;  // 0: one for each processor
    std::string blankOutput_;
    std::vector<std::string> detectFiles_;
    std::string checkType_, checkFormat_ = "text", checkFailOn_ = "note";
    bool checkRules_ = false;
    std::vector<std::string> checkFiles_;
    std::string exportType_, exportOutput_, exportFormat_;
    std::vector<std::string> exportFiles_;
    ExportOptions exportOptions_;
};

}  // namespace vantrel
