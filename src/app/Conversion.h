#pragma once
// The dispatch from a FileTypeCode to its reader, and the unattended conversion that writes the
// result straight to a .DDX file.

#include <memory>
#include <stdexcept>
#include <string>

#include "app/ProgramState.h"
#include "document/PDDXFile.h"

namespace vantrel {

// Code 5 (no reader) or a code outside 0 to 10. Its message is the program's "unknown file type".
class UnknownFileType : public std::runtime_error {
public:
    UnknownFileType() : std::runtime_error("unknown file type") {}
};

// Whether a code has a reader (0 to 10 but 5).
bool HasReader(std::int32_t code);

// Reads `fileName` with the reader of `code` into `document`: a new document, or with `append`
// one that already holds data (merging). A reader's failure is a ReadError naming file and line.
void ReadWithReader(ProgramState& state, std::int32_t code, const std::string& fileName, PDDXFile& document,
                    bool append);

// Writes a document as PDDX text, replacing `outputName` only once the whole text is written.
void WriteDocument(const PDDXFile& document, const std::string& outputName);

// The unattended road: a new document read with the reader of CurrentFileType and, while
// CommandLineRun is set, written to CommandLineOutputName. An empty name does nothing.
std::unique_ptr<PDDXFile> ConvertUnattended(ProgramState& state, const std::string& inputFileName);

}  // namespace vantrel
