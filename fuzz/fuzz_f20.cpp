// Arbitrary bytes as a Dynatest F20 file, read into a new document and into one that already
// holds a test location, then written out. A ReadError is a fine outcome; nothing else is.

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
    // The sensor count an earlier file or the settings may have left.
    state.Settings.NumSensors = size > 0 ? data[0] % 42 : 0;
    fuzz::ReadFreshThenMerged(FileType::DynatestF20, state, file);
    return 0;
}
