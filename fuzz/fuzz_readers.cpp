// Arbitrary bytes read by every reader of the format table: into a new document, then, going on
// from the reading the first left, into one that already holds what an earlier file may have given
// (a test location, a sensor count, serial numbers); both written out. A format is fuzzed as soon
// as its row is in the table, seeded with its examples. A ReadError is a fine outcome; nothing
// else is.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "FuzzSupport.h"
#include "core/ProgramState.h"
#include "import/FileFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    const std::string_view bytes = fuzz::InputBytes(data, size);
    const std::uint8_t first = size > 0 ? data[0] : 0, last = size > 0 ? data[size - 1] : 0;
    ProgramState state = NewProgramState(std::filesystem::temp_directory_path());
    // The sensor count and JILS defaults the settings may give.
    state.Settings.NumSensors = first % 42;
    state.Settings.LoadPlateRadius = "6";
    static const char* const kCounts[] = {"", "3", "-2", "40000", "x", " 7 "};
    for (const FileFormat& format : FileFormats()) {
        if (!format.Read) continue;
        ReadingState reading = NewReading(state.Settings);
        PDDXFile fresh;
        fuzz::ReadQuietly(format.Type, state, bytes, fresh, reading);
        fuzz::WriteOut(fresh);

        PDDXFile merged;
        merged.AddTestLocation();
        merged.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors).SetValue(kCounts[last % 6]);
        merged.Element(pddx::DeviceInformation::SensorSerialNumbers).SetValue("earlier");
        reading.NumSensors = last % 42 - 1;
        fuzz::ReadQuietly(format.Type, state, bytes, merged, reading, true);
        fuzz::WriteOut(merged);
    }
    return 0;
}
