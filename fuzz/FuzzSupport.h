#pragma once
// Shared by the fuzz targets: the readers read files, so each input is put in one first.

#include <cstddef>
#include <cstdint>
#include <string>

#include "document/PDDXFile.h"

namespace vantrel::fuzz {

// Writes the input to this process's scratch file (the same one every call) and returns its name.
const std::string& InputAsFile(const std::uint8_t* data, std::size_t size);

// Writes the document as PDDX text into memory, as a conversion would write it.
void WriteOut(const PDDXFile& document);

}  // namespace vantrel::fuzz
