#pragma once
// Reading a file with the reader of its FileTypeCode, writing documents, and the unattended
// conversions (one file, or a batch) that write the result straight to a .DDX file.

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/ProgramState.h"
#include "document/PDDXFile.h"
#include "import/ReaderInput.h"

namespace vantrel {

// Code 5 (no reader) or a code outside 0 to 10. Its message is the program's "unknown file type".
class UnknownFileType : public std::runtime_error {
public:
    UnknownFileType() : std::runtime_error("unknown file type") {}
};

// What the readers may touch of the program's state.
ReaderContext ReaderContextOf(ProgramState& state);

// Reads `fileName` with the reader of `code` into `document`: a new document, or with `append`
// one that already holds data (merging). A reader's failure is a ReadError naming file and line.
void ReadWithReader(ProgramState& state, std::int32_t code, const std::string& fileName, PDDXFile& document,
                    bool append);

// Writes a document as PDDX text, replacing `outputName` only once the whole text is written.
void WriteDocument(const PDDXFile& document, const std::string& outputName);

// The unattended road: a new document read with the reader of CurrentFileType and, while
// CommandLineRun is set, written to CommandLineOutputName. An empty name does nothing.
std::unique_ptr<PDDXFile> ConvertUnattended(ProgramState& state, const std::string& inputFileName);

// One file of a batch: its name in the folder, and the paths read and written.
struct BatchFile {
    std::string Name;
    std::string Input;
    std::string Output;  // beside the input: its name up to the last "." + "cvt.DDX"
};

// The files a batch converts: those of `chosenFile`'s folder whose names end in its extension.
std::vector<BatchFile> BatchFiles(const std::string& chosenFile);

// Told before each file of a batch is read and after its output is written (by index). Stop is
// asked before each file: true ends the batch there, the files from that one on not tried.
struct BatchProgress {
    std::function<void(std::size_t)> Starting;
    std::function<void(std::size_t)> Written;
    std::function<bool()> Stop = {};
};

// Converts each file in order, unattended, with the reader of CurrentFileType. The first failure
// ends the batch by its exception: the outputs written before it stay, and CommandLineRun stays
// set afterwards. Gives the number of files written.
std::size_t ConvertBatch(ProgramState& state, const std::vector<BatchFile>& files, const BatchProgress& progress = {});

}  // namespace vantrel
