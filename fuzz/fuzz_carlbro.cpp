// Arbitrary bytes as a Carl Bro FWD text file, read twice in one run: into a new document, then
// into that same document again with what the first reading carried over. The sensor count the
// run starts with comes from the first byte, so that negative and oversized counts are tried.
// A reading may end with a ReadError; anything else escaping is a finding.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "core/ProgramState.h"
#include "import/FileFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    ProgramState state = NewProgramState(".");
    if (size > 0) state.Settings.NumSensors = static_cast<std::int8_t>(data[0]);
    const std::string_view file = fuzz::InputBytes(data, size);
    PDDXFile document;
    ReadingState reading = NewReading(state.Settings);  // the second pass merges into the first
    for (int pass = 0; pass < 2; ++pass) fuzz::ReadQuietly(FileType::CarlBroFwd, state, file, document, reading);
    fuzz::WriteOut(document);
    return 0;
}
