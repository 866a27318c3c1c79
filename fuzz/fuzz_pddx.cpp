// Arbitrary bytes as a PDDX file, read into a new document and appended to a second one, then
// written out.

#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "document/modPDDXRead.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    int numSensors = 0;
    ReadWarnings warnings;
    try {
        PDDXFile fresh;
        ByteSource input = ByteSource::InMemory("fuzz.DDX", bytes);
        ReadPDDXFile(input, fresh, false, numSensors, warnings);
        fuzz::WriteOut(fresh);
        PDDXFile merged;
        merged.AddTestLocation();
        input.Rewind();
        ReadPDDXFile(input, merged, true, numSensors, warnings);
        fuzz::WriteOut(merged);
    } catch (const ReadError&) {
        // A line too long for any reader: a clear error, as intended.
    }
    return 0;
}
