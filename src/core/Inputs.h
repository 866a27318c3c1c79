#pragma once
// The inputs a user names: files, or standard input read whole beforehand (it cannot be read
// twice, and detection reads the start of an input before its reader reads all of it). What an
// input looks like, from its first bytes.

#include <memory>
#include <string>

#include "base/NativeText.h"
#include "import/FileFormats.h"

namespace vantrel {

struct InputFile {
    std::string Name;                          // as the user gave it; "-" for standard input
    std::shared_ptr<const std::string> Bytes;  // the bytes already read; null: the file called Name

    static InputFile Named(std::string name) { return {std::move(name), nullptr}; }
};

// A source of the input's bytes; ReadError naming the file when it cannot be opened.
ByteSource OpenInput(const InputFile& input);

// The first kSniffLength bytes of an input (all of it when Complete).
struct InputHead {
    std::string Bytes;
    bool Complete = false;
};
InputHead ReadHead(const InputFile& input);

// What the input looks like; ReadError when it cannot be read.
Detection DetectInput(const InputFile& input);

}  // namespace vantrel
