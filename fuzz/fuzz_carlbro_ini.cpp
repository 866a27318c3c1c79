// Arbitrary bytes as a Carl Bro configuration text, read into a new document and then again into
// the same one (as when merging). A reading may end with a ReadError; anything else escaping is a
// finding.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "core/ProgramState.h"
#include "import/FileFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    ProgramState state = NewProgramState(".");
    const std::string_view file = fuzz::InputBytes(data, size);
    PDDXFile document;
    ReadingState reading = NewReading(state.Settings);  // the second pass merges into the first
    for (int pass = 0; pass < 2; ++pass) fuzz::ReadQuietly(FileType::CarlBroIni, state, file, document, reading);
    fuzz::WriteOut(document);
    return 0;
}
