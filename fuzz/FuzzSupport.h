#pragma once
// Shared by the fuzz targets: the readers are handed the fuzzer's bytes directly.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/Conversion.h"
#include "core/ProgramState.h"
#include "document/PDDXFile.h"
#include "import/FileFormats.h"
#include "import/ReaderInput.h"

namespace vantrel::fuzz {

inline std::string_view InputBytes(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Writes the document as PDDX text into memory, as a conversion would write it.
void WriteOut(const PDDXFile& document);

// Reads the bytes into the document; for arbitrary bytes a ReadError is a fine outcome, anything
// else is a finding.
// With `reading` going on from earlier readings into the same document, or from a new one.
void ReadQuietly(Reader read, const ProgramState& state, std::string_view bytes, PDDXFile& document,
                 ReadingState& reading, bool append = false);
void ReadQuietly(FileType type, const ProgramState& state, std::string_view bytes, PDDXFile& document,
                 ReadingState& reading, bool append = false);
void ReadQuietly(Reader read, const ProgramState& state, std::string_view bytes, PDDXFile& document);

}  // namespace vantrel::fuzz
