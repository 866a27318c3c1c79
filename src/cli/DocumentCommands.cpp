#include "cli/CommandLineApp.h"

#include <nlohmann/json.hpp>

#include "core/Check.h"
#include "core/Export.h"
#include "import/PddxDrops.h"
#include "base/TextEncoding.h"

namespace vantrel {

int CommandLine::RunDetect()
{
    int status = kExitOk;
    for (const std::string& file : detectFiles_) {
        try {
            InputFile input = Input(file);
            Detection detection;
            Checked([&] { detection = DetectInput(input); });
            out_ << EscapeControls(file) << ": " << ShortNameOf(detection.Type) << "\n";
            if (detection.Type == FileType::Unknown) status = kExitReadFailure;
        } catch (const Stop& stop) {
            if (stop.status == kExitUsage) throw;
            Message(stop.message);
            status = kExitReadFailure;
        }
    }
    return status;
}

namespace {

// Each line of a JSON text indented by two more blanks, as an item of the array around it.
std::string Indented(const std::string& json)
{
    std::string out = "  ";
    for (const char c : json) {
        out += c;
        if (c == '\n') out += "  ";
    }
    return out;
}

// One finding as text or as an item of the JSON array (`first`: the array's first).
void WriteFinding(std::ostream& out, bool json, bool first, const std::string& name, const Finding& finding)
{
    if (json) {
        nlohmann::ordered_json item = {{"file", ValidUtf8(name)},
                                       {"section", finding.Section},
                                       {"key", finding.Key},
                                       {"message", finding.Message}};
        if (!finding.Code.empty()) {
            item["code"] = finding.Code;
            item["severity"] = SeverityName(finding.Level);
        }
        out << (first ? "[\n" : ",\n")
            << Indented(item.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
        return;
    }
    out << EscapeControls(name) << ": " << FindingLine(finding) << "\n";
}

Severity SeverityNamed(const std::string& name)
{
    return name == "error" ? Severity::Error : name == "warning" ? Severity::Warning : Severity::Note;
}

}  // namespace

void CommandLine::ReadDropsApart(PDDXFile& document, InputFile& input, const TypeChoice& type, PDDXDropValues& drops)
{
    ReadInto(document, input, type, nullptr, false,
             [&drops](ReaderContext& context, ReaderInput& in, PDDXFile& read, bool /*append*/) {
                 ReadPDDXDropsApart(context, in, read, drops);
             });
}

int CommandLine::RunCheck()
{
    const CheckLimits& limits = state_.Settings.Check;
    if (checkRules_) {
        if (!checkFiles_.empty())
            throw Stop{kExitUsage, "check --rules lists the rules and checks no FILE, but " +
                                       Quoted(JoinWords(checkFiles_)) + " followed it"};
        out_ << RulesListing(limits);
        return kExitOk;
    }
    if (checkFiles_.empty()) throw Stop{kExitUsage, "check: name at least one FILE, or --rules"};
    RequireKnownType(checkType_);
    const bool json = checkFormat_ == "json";
    const Severity failOn = SeverityNamed(checkFailOn_);
    bool found = false, failed = false, failing = false;
    progress_.Files(checkFiles_.size());
    // Findings are written as they are made: a document with a million of them is never held twice.
    const auto write = [&](const std::string& name, const Finding& finding) {
        failing = failing || finding.Level <= failOn;
        WriteFinding(out_, json, !found, name, finding);
        found = true;
    };
    for (const std::string& name : checkFiles_) {
        try {
            InputFile input = Input(name);
            const TypeChoice type = TypeFor(checkType_, input);
            PDDXFile document;
            const auto found = [&](const Finding& finding) {
                progress_.Wipe();
                write(name, finding);
            };
            // Read as convert reads it, so that the findings are those of its conversion; what
            // the reading warns of is told as for any file. A PDDX file's drops are read apart,
            // as export reads them, so that a million of them are never elements.
            if (type.code == FileType::PDDX) {
                PDDXDropValues drops;
                ReadDropsApart(document, input, type, drops);
                CheckDocument(document, found, limits, &drops);
            } else {
                ReadInto(document, input, type);
                CheckDocument(document, found, limits);
            }
        } catch (const Stop& stop) {
            if (stop.status == kExitUsage) throw;
            Message(stop.message);
            failed = true;
        }
        progress_.FileDone();
    }
    if (json) out_ << (found ? "\n]\n" : "[]\n");
    return failed ? kExitReadFailure : failing ? kExitFindings : kExitOk;
}

int CommandLine::RunExport()
{
    const std::string output = exportOutput_.empty() ? "-" : exportOutput_;
    RequireKnownType(exportType_);
    exportOptions_.GeoJson = exportFormat_ == "geojson";
    exportOptions_.Jobs = Jobs();
    RefuseExportOptionClashes();
    RefuseConflicts({output}, exportFiles_);
    const std::unique_ptr<ExportTable> table = MakeExportTable(exportOptions_);
    bool failed = false;
    progress_.Files(exportFiles_.size());
    for (const std::string& name : exportFiles_) {
        try {
            InputFile input = Input(name);
            const TypeChoice type = TypeFor(exportType_, input);
            auto document = std::make_shared<PDDXFile>();
            std::string note;
            // A PDDX file's drops are read apart, so that a million of them are never elements.
            DropsApartTable* const apart = type.code == FileType::PDDX ? table->DropsApart() : nullptr;
            if (apart) {
                PDDXDropValues drops;
                ReadDropsApart(*document, input, type, drops);
                Checked([&] { note = apart->Add(input.Name, std::move(document), std::move(drops)); });
            } else {
                ReadInto(*document, input, type);
                Checked([&] { note = table->Add(input.Name, std::move(document)); });
            }
            if (!note.empty() && !quiet_) Message(input.Name + ": note: " + note);
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
    WriteText(output, [&table](std::ostream& out) { table->Write(out); });
    const std::string rows(table->RowName());
    if (output != "-")
        List("exported " + std::to_string(table->Rows()) + " " + rows + (table->Rows() == 1 ? "" : "s") + " of " +
             std::to_string(exportFiles_.size()) + (exportFiles_.size() == 1 ? " file" : " files") + " -> " + output);
    return kExitOk;
}

void CommandLine::RefuseExportOptionClashes() const
{
    const ExportOptions& options = exportOptions_;
    const char* table = options.Histories ? "--histories" : options.GeoJson ? "--format geojson" : nullptr;
    if (!table) return;
    if (options.Histories && options.GeoJson)
        throw Stop{kExitUsage, "--histories writes CSV: it cannot stand with --format geojson"};
    if (options.NormalLoad > 0 || options.Indices)
        throw Stop{kExitUsage, std::string(table) + " cannot stand with " +
                                   (options.Indices ? "--indices" : "--normalise") +
                                   ", which apply to the table of drops"};
}

}  // namespace vantrel
