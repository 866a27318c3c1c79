#include "cli/CommandLineApp.h"

#include <nlohmann/json.hpp>

#include "core/Check.h"
#include "core/Export.h"

namespace vantrel {

int CommandLine::RunDetect()
{
    int status = kExitOk;
    for (const std::string& file : detectFiles_) {
        try {
            InputFile input = Input(file);
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

int CommandLine::RunCheck()
{
    if (!Detecting(checkType_)) ChosenType(checkType_);
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    bool found = false, failed = false;
    progress_.Files(checkFiles_.size());
    for (const std::string& name : checkFiles_) {
        std::vector<Finding> findings;
        try {
            InputFile input = Input(name);
            const TypeChoice type = TypeFor(checkType_, input);
            PDDXFile document;
            // A PDDX file is checked as it stands, not as its counters would have it read.
            ReadInto(document, input, type, nullptr, false, type.code == kPDDX ? &ReadPDDXAsWritten : nullptr);
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
                list.push_back({{"file", name}, {"section", finding.Section}, {"key", finding.Key},
                                {"message", finding.Message}});
            else
                out_ << name << ": [" << finding.Section << "] " << finding.Key << ": " << finding.Message << "\n";
        }
    }
    if (checkFormat_ == "json") out_ << list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    return failed ? kExitReadFailure : found ? kExitFindings : kExitOk;
}

int CommandLine::RunExport()
{
    const std::string output = exportOutput_.empty() ? "-" : exportOutput_;
    if (!Detecting(exportType_)) ChosenType(exportType_);
    RefuseOutputConflicts({output}, exportFiles_);
    DropTable table;
    bool failed = false;
    progress_.Files(exportFiles_.size());
    for (const std::string& name : exportFiles_) {
        try {
            InputFile input = Input(name);
            const TypeChoice type = TypeFor(exportType_, input);
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
             std::to_string(exportFiles_.size()) + (exportFiles_.size() == 1 ? " file" : " files") + " -> " + output);
    return kExitOk;
}

}  // namespace vantrel
