// Arbitrary bytes as a PDDX file, read into a new document and appended to a second one, then
// written out.

#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "core/ProgramState.h"
#include "import/FileFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ProgramState state = NewProgramState(".");
    ReadingState reading = NewReading(state.Settings);
    PDDXFile fresh;
    fuzz::ReadQuietly(FileType::PDDX, state, bytes, fresh, reading);
    fuzz::WriteOut(fresh);
    PDDXFile merged;
    merged.AddTestLocation();
    fuzz::ReadQuietly(FileType::PDDX, state, bytes, merged, reading, true);
    fuzz::WriteOut(merged);
    return 0;
}
