#pragma once
// Reading a file with the reader of its FileTypeCode, writing documents, and the unattended
// conversions (one file, or a batch) that write the result straight to a .DDX file.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Inputs.h"
#include "core/ProgramState.h"
#include "document/PDDXFile.h"
#include "import/FileFormats.h"
#include "import/ReaderInput.h"

namespace vantrel {

// Code 5 (no reader) or a code outside 0 to 10. Its message is the program's "unknown file type".
class UnknownFileType : public std::runtime_error {
public:
    UnknownFileType() : std::runtime_error("unknown file type") {}
};

// What the readers may touch of the program's state, and where they leave their warnings.
ReaderContext ReaderContextOf(ProgramState& state, ReadWarnings& warnings);

// Reads `fileName` with the reader of `code` into `document`: a new document, or with `append`
// one that already holds data (merging). A reader's failure is a ReadError naming file and line.
// Gives the lines the reader skipped or took only in part.
ReadWarnings ReadWithReader(ProgramState& state, std::int32_t code, const std::string& fileName, PDDXFile& document,
                            bool append);

// Told how many bytes a reading has just brought in.
using BytesRead = std::function<void(std::size_t)>;

// What a reading took from its input.
struct ReadReport {
    // Empty when all is well. Otherwise, when the reading took nothing, why, for the user:
    // "nothing was read as f25 (it looks like kuab)", with a word on line ends that the reader
    // does not take for line ends, or on an empty file; or, when the reader took a file whose lines
    // end with line feeds alone for one line, that.
    std::string Warning;
    // The lines the reader skipped or took only in part.
    ReadWarnings Lines;
};

// As ReadWithReader, for any input, saying whether anything was read: a reading that leaves the
// document without a new test location or drop, and without a value changed other than those
// its reader sets whatever the file holds, read nothing; and whether the file's line ends were
// taken for line ends. A failure of a reader that does not
// take the input's line ends for line ends says so. `reader` reads in place of the reader of
// `code` when one is given.
ReadReport ReadInput(ProgramState& state, std::int32_t code, const InputFile& input, PDDXFile& document, bool append,
                     const BytesRead& progress = {}, Reader reader = nullptr);

// Writes a document as PDDX text, replacing `outputName` only once the whole text is written.
void WriteDocument(const PDDXFile& document, const std::string& outputName);

// Told what a reading gave before its document is written; throwing stops the conversion there,
// with nothing written.
using ReadCheck = std::function<void(const ReadReport&)>;

// The unattended road: a new document read with the reader of CurrentFileType and, while
// CommandLineRun is set, written to CommandLineOutputName. An empty name does nothing.
std::unique_ptr<PDDXFile> ConvertUnattended(ProgramState& state, const std::string& inputFileName,
                                            const ReadCheck& check = {}, const BytesRead& progress = {});

// One file of a batch: its name in the folder, and the paths read and written.
struct BatchFile {
    std::string Name;
    std::string Input;
    std::string Output;  // its name up to the last "." + "cvt.DDX", beside the input by default
    std::optional<std::int32_t> Type;  // the type to read it as; none: CurrentFileType
};

// The files a batch converts: those of `chosenFile`'s folder whose names end in its extension.
// Their outputs go to `outputFolder` when one is named.
std::vector<BatchFile> BatchFiles(const std::string& chosenFile, const std::string& outputFolder = "");

// Told before each file of a batch is read, what its reading gave (before it is written; a throw
// stops the batch there) and after its output is written (by index); and of the bytes read. Stop
// is asked before each file: true ends the batch there, the files from that one on not tried.
struct BatchProgress {
    std::function<void(std::size_t)> Starting;
    std::function<void(std::size_t)> Written;
    std::function<void(std::size_t, const ReadReport&)> Read = {};
    BytesRead Bytes = {};
    std::function<bool()> Stop = {};
};

// Converts each file in order, unattended, with the reader of CurrentFileType. The first failure
// ends the batch by its exception: the outputs written before it stay, and CommandLineRun stays
// set afterwards. Gives the number of files written.
std::size_t ConvertBatch(ProgramState& state, const std::vector<BatchFile>& files, const BatchProgress& progress = {});

}  // namespace vantrel
