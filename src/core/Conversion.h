#pragma once
// Reading a file with the reader of its FileTypeCode, writing documents, and the unattended
// conversions (one file, or a batch) that write the result straight to a .DDX file.

#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/AtomicFile.h"
#include "core/Inputs.h"
#include "core/ProgramState.h"
#include "document/PDDXFile.h"
#include "import/FileFormats.h"
#include "import/ReaderInput.h"

namespace vantrel {

// A format without a reader that is never recognised (code 5), or a code outside the table. Its
// message is the program's "unknown file type". A recognised format without a reader (a JILS
// time history) is refused instead with a ReadError naming the file and what it is.
class UnknownFileType : public std::runtime_error {
public:
    UnknownFileType() : std::runtime_error("unknown file type") {}
};

// A reading for a new document: the settings' sensor count, nothing carried over.
ReadingState NewReading(const SettingsRecord& settings);

// What a reader may touch: the settings it reads with, the state of its reading, and where it
// leaves its warnings.
ReaderContext ReaderContextOf(const SettingsRecord& settings, ReadingState& reading, ReadWarnings& warnings);

// Reads `input` with the reader of `code` into `document`: a new document, or with `append`
// one that already holds data (merging). A reader's failure is a ReadError naming file and line.
// Gives the lines the reader skipped or took only in part. The reading goes on from `reading`
// (the state earlier files left in the document) when one is given, else from a new one.
ReadWarnings ReadWithReader(const ProgramState& state, FileType code, InputFile& input, PDDXFile& document, bool append,
                            ReadingState* reading = nullptr);

// Told how many bytes a reading has just brought in.
using BytesRead = std::function<void(std::size_t)>;

// What a reading took from its input.
struct ReadReport {
    // Empty when all is well. Otherwise, when the reading took nothing, why, for the user:
    // "nothing was read as f25 (it looks like kuab)", or with a word on an empty file; or, when
    // it took something from a file that clearly is of another type, "read as jils-cfg, but it
    // looks like f25".
    std::string Warning;
    // The lines the reader skipped or took only in part.
    ReadWarnings Lines;
};

// As ReadWithReader, for any input, going on from `reading`, saying whether anything was read: a
// reading that leaves the document without a new test location or drop, and without a value
// changed other than those its reader sets whatever the file holds, read nothing. `reader` reads
// in place of the reader of `code` when one is given.
ReadReport ReadInput(const SettingsRecord& settings, ReadingState& reading, FileType code, InputFile& input,
                     PDDXFile& document, bool append, const BytesRead& progress = {}, const ReaderCall& reader = {});

// Writes a document as PDDX text, replacing `outputName` only once the whole text is written.
void WriteDocument(const PDDXFile& document, const std::string& outputName);

// A document written beside its output, where it waits to take its place, so that files converted
// side by side are put in place in their own order. A failure to write it is kept, to be told
// after what the reading gave, as it would be had the file been written in its turn.
struct StagedOutput {
    std::optional<StagedFile> File = {};
    std::exception_ptr WriteFailure = {};

    void Commit()
    {
        if (WriteFailure) std::rethrow_exception(WriteFailure);
        File->Commit();
    }
};
StagedOutput StageDocument(std::shared_ptr<const PDDXFile> document, const std::string& outputName);

// Told what a reading gave before its document is written; throwing stops the conversion there,
// with nothing written.
using ReadCheck = std::function<void(const ReadReport&)>;

// The unattended road: `input` read with the reader of `code` into a new document of its own,
// written to `outputName`.
void ConvertUnattended(const SettingsRecord& settings, FileType code, InputFile& input, const std::string& outputName,
                       const ReadCheck& check = {}, const BytesRead& progress = {});

// One file of a batch: its name in the folder, and the paths read and written. A folder the batch
// could not list stands in the order where its files would, marked Skipped with why.
struct BatchFile {
    std::string Name;
    std::string Input;
    std::string Output;            // its name up to the last "." + "cvt.DDX", beside the input by default
    std::optional<FileType> Type;  // the type to read it as; none: the batch's
    std::string Skipped;           // why it is not converted: its output is another file's, or a file of the batch
    bool Folder = false;           // a folder that could not be listed
};

// The files a batch converts: those of `chosenFile`'s folder whose names end in its extension,
// and with `recursive` those of every folder below it too (Name then holds the path below it),
// links to folders followed but each folder walked once, the output folder not at all. Names
// are taken in byte order, a folder's files before the folders in it. Their outputs go to
// `outputFolder` when one is named, in the same tree, under the names the walk took (a linked
// folder's outputs under the link's own name). A file whose output would replace a file of the
// batch, or the output of a file before it, or lie outside the output folder, a file that cannot
// be reached by its name, and a folder that cannot be listed are marked Skipped.
std::vector<BatchFile> BatchFiles(const std::string& chosenFile, const std::string& outputFolder = "",
                                  bool recursive = false);

// Told when each file's turn comes (one file at a time: before it is read), what its reading gave
// (before it is written; a throw stops the batch there) and after its output is written (by
// index); and of the bytes read. Stop
// is asked before each file, while a file is read (between lines) and before its output is written:
// true ends the batch there, the file being converted left unwritten and those after it not
// tried. It is asked from the threads reading, so what it answers must be safe to read from them.
struct BatchProgress {
    std::function<void(std::size_t)> Starting;
    std::function<void(std::size_t)> Skipped = {};
    std::function<void(std::size_t)> Written;
    std::function<void(std::size_t, const ReadReport&)> Read = {};
    BytesRead Bytes = {};
    std::function<bool()> Stop = {};
};

// Converts each file, unattended, each into a document of its own, with the reader of its Type or
// else of `code` (FileType::Unknown: the type its content shows), `jobs` files at a time. Each file
// is opened once. What is told is told in the files' order, on the calling thread (Bytes and Stop
// excepted, which the threads reading call), and the outputs are put in place in that order: files
// marked Skipped are passed over (told to Skipped); the first failure ends the batch by its
// exception, the outputs of the files before it written, none of those after it. Gives the number
// of files written, also when Stop ended the batch.
std::size_t ConvertBatch(const SettingsRecord& settings, FileType code, const std::vector<BatchFile>& files,
                         const BatchProgress& progress = {}, unsigned jobs = 1);

}  // namespace vantrel
