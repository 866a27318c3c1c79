// Arbitrary bytes as a PDDX file, read into a new document and appended to a second one, then
// written out.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "document/modPDDXRead.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    const ProfileFile profile(std::string(reinterpret_cast<const char*>(data), size));
    std::int16_t numSensors = 0;
    PDDXFile fresh;
    ReadPDDXProfile(profile, fresh, false, numSensors);
    fuzz::WriteOut(fresh);
    PDDXFile merged;
    merged.AddTestLocation();
    ReadPDDXProfile(profile, merged, true, numSensors);
    fuzz::WriteOut(merged);
    return 0;
}
