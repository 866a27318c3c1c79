#pragma once
// Shared by the fuzz targets: the readers read files, so each input is put in one first.

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/ProgramState.h"
#include "document/PDDXFile.h"

namespace vantrel::fuzz {

// Writes the input to this process's scratch file (the same one every call) and returns its name.
const std::string& InputAsFile(const std::uint8_t* data, std::size_t size);

// Writes the document as PDDX text into memory, as a conversion would write it.
void WriteOut(const PDDXFile& document);

using NativeReader = void (*)(ProgramState&, const std::string& fileName, PDDXFile& document);

// Reads the file into the document; for arbitrary bytes a ReadError is a fine outcome, anything
// else is a finding.
void ReadQuietly(NativeReader read, ProgramState& state, const std::string& file, PDDXFile& document);

// The common run: the file read into a new document, then, with the state the first reading
// left, into one that already holds a test location; both written out.
void ReadFreshThenMerged(NativeReader read, ProgramState& state, const std::string& file);

}  // namespace vantrel::fuzz
