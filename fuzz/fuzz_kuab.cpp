// Arbitrary bytes as a KUAB FWD file, read twice in one run (the second time with the table
// layout and offsets the first reading left) into a fresh document and one that already has a
// test location, then written out. A ReadError is an expected outcome; anything else is a bug.

#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "core/ProgramState.h"
#include "import/FileFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    const std::string_view file = fuzz::InputBytes(data, size);
    ProgramState state = NewProgramState(std::filesystem::temp_directory_path());
    state.Settings.NumSensors = size > 0 ? data[0] % 8 : 0;
    fuzz::ReadFreshThenMerged(FileType::KuabFwd, state, file);
    return 0;
}
