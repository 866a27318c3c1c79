// Arbitrary bytes as a JILS CFG file, read twice into one document with one program state. A
// ReadError is the expected end of unreadable input; anything else escaping is a finding.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "core/ProgramState.h"
#include "import/FileFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    const std::string_view file = fuzz::InputBytes(data, size);
    ProgramState state = NewProgramState(".");
    state.Settings.NumSensors = 7;
    PDDXFile document;
    ReadingState reading = NewReading(state.Settings);  // the second pass merges into the first
    for (int pass = 0; pass < 2; ++pass) fuzz::ReadQuietly(FileType::JilsCfg, state, file, document, reading);
    fuzz::WriteOut(document);
    return 0;
}
