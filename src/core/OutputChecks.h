#pragma once
// Before a command writes anything: outputs that would replace one of its inputs, and outputs
// that would replace each other (two inputs with one output name). One look at each file, so
// that ten thousand files are checked as fast as ten.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

struct OutputConflict {
    enum class Kind { SharedOutput, ReplacesInput };
    Kind Is;
    std::size_t Output;  // the output that must not be written
    std::size_t Other;   // SharedOutput: the earlier output it is; ReplacesInput: the input it is
};

// In output order. An output "-" (standard output) meets nothing; an input "-" is standard input,
// compared by the file it reads, as named inputs are. Outputs are the same when their names are
// (made absolute, "." and ".." resolved) or when they are one existing file.
std::vector<OutputConflict> FindOutputConflicts(const std::vector<std::string>& outputs,
                                                const std::vector<std::string>& inputs);

// Whether one more file the command writes (its settings file) is one of its inputs
// (ReplacesInput, Other: the input) or one of its outputs (SharedOutput, Other: the output), by
// name or as one existing file; Output is 0.
std::optional<OutputConflict> FindConflictOf(const std::string& file, const std::vector<std::string>& outputs,
                                             const std::vector<std::string>& inputs);

}  // namespace vantrel
