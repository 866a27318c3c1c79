#pragma once
// The inputs a user names: files, or standard input. Each is opened once and read once: what it
// looks like is told from its first bytes, looked at before its reader reads them, so that a
// pipe or standard input can be detected and read as a file is.

#include <memory>
#include <string>

#include "base/NativeText.h"
#include "import/FileFormats.h"

namespace vantrel {

struct InputFile {
    std::string Name;                    // as the user gave it; "-" for standard input
    std::shared_ptr<ByteSource> Source;  // open, nothing taken yet; null: the file called Name, opened when read

    static InputFile Named(std::string name) { return {std::move(name), nullptr}; }
};

// Opens an input: standard input for "-", else the file `name` (a pipe or device too). ReadError
// naming it when it cannot be opened or is a folder.
InputFile OpenInputFile(const std::string& name);

// The input's bytes to read: its open source, or the file called Name opened now (ReadError when
// it cannot be). Only an opened input can be read; it can be read once.
ByteSource& SourceOf(InputFile& input);

// The first kSniffLength bytes of an input (all of it when Complete), not taken from it.
struct InputHead {
    std::string Bytes;
    bool Complete = false;
};
InputHead ReadHead(InputFile& input);

// What the input looks like; ReadError when it cannot be read.
Detection DetectInput(InputFile& input);

}  // namespace vantrel
