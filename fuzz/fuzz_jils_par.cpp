// Arbitrary bytes as a JILS Setup.Par file, read into a fresh document and into one whose sensor
// count is taken from the input (empty, a number or a word). A ReadError is the expected end of
// unreadable input; anything else escaping is a finding.

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
    PDDXFile fresh;
    fuzz::ReadQuietly(FileType::JilsPar, state, file, fresh);
    fuzz::WriteOut(fresh);

    PDDXFile counted;
    const char* counts[] = {"", "3", "-2", "40000", "x", " 7 "};
    counted.Element("Device Configuration", "NumberOfDeflectionSensors")
        .SetValue(counts[size > 0 ? data[0] % 6 : 0]);
    fuzz::ReadQuietly(FileType::JilsPar, state, file, counted);
    fuzz::WriteOut(counted);
    return 0;
}
