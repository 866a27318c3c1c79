// Arbitrary bytes as a JILS DAT file, read twice into one document with one program state, as
// a merge of two files would: first with seven sensors, then with a count taken from the input
// (-1 to 40), so that both layouts and the field-array limits are reached. A ReadError is the
// expected end of unreadable input; anything else escaping is a finding.

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
    state.Settings.LoadPlateRadius = "6";
    PDDXFile document;
    ReadingState reading = NewReading(state.Settings);
    fuzz::ReadQuietly(FileType::JilsDat, state, file, document, reading);
    // Merged again with the sensor count an earlier file may have left.
    reading.NumSensors = size > 0 ? data[size - 1] % 42 - 1 : 0;
    fuzz::ReadQuietly(FileType::JilsDat, state, file, document, reading);
    fuzz::WriteOut(document);
    return 0;
}
