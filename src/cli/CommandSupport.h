#pragma once
// What the commands share: a failure that ends the run with its exit status, the file type
// chosen for an input with where the choice came from, and the checks made before anything is
// read or written.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandLine.h"
#include "core/Conversion.h"

namespace vantrel {

// A failure that ends the run with an exit status and a message already worded.
struct Stop {
    int status;
    std::string message;
};

// A file type code with where it came from, for a message that says what to change.
struct TypeChoice {
    FileType code = FileType::PDDX;
    std::string origin;
};

std::string JoinWords(const std::vector<std::string>& words, const char* separator = " ");
// Digits with an optional sign, blanks around allowed.
bool IsSignedWholeNumber(std::string_view text);

// The type a -t names; a Stop for a text that names none.
TypeChoice TypeFromOption(const std::string& text);
// -t auto, or no -t where the content decides.
bool Detecting(const std::string& option);
std::string UnknownTypeMessage(const TypeChoice& type);
void RequireReader(const TypeChoice& type);

// Refuses, before anything is written, an output that is one of the inputs under any name (a
// link, "./a.F25", standard input redirected from it), and two inputs given one output: writing
// would destroy an input, or one output would replace the other.
void RefuseOutputConflicts(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs);

// Refuses, before anything is written, a settings file that is one of the command's inputs or
// outputs: it is read as settings and may be written as such.
void RefuseSettingsConflict(const std::string& settingsFile, const std::vector<std::string>& outputs,
                            const std::vector<std::string>& inputs);

// The failure of a write to standard output, with the system's reason when it gave one.
Stop OutputFailure();

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

}  // namespace vantrel
