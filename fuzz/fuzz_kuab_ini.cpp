// Arbitrary bytes as a KUAB FVO.INI file, read into a fresh document and into one that already
// holds data, then written out. A ReadError is an expected outcome; anything else is a bug.

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
    for (int round = 0; round < 2; ++round) {
        PDDXFile document;
        if (round == 1) document.Element("Device Information", "SensorSerialNumbers").SetValue("earlier");
        fuzz::ReadQuietly(FileType::KuabIni, state, file, document);
        fuzz::WriteOut(document);
    }
    return 0;
}
