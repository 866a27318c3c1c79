// Arbitrary bytes told by the sniffers (as a whole file and as the start of a longer one), then
// read as PDDX text as it stands, checked and exported as CSV; and decoded from each encoding.

#include <cstdint>
#include <sstream>

#include "FuzzSupport.h"
#include "base/NativeText.h"
#include "base/TextEncoding.h"
#include "core/Check.h"
#include "core/Export.h"
#include "import/FileFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    const std::string_view bytes = fuzz::InputBytes(data, size);
    DetectFormat(bytes, "fuzz.TXT", true);
    DetectFormat(bytes, "fuzz.TXT", false);
    ProgramState state = NewProgramState(".");
    PDDXFile document;
    fuzz::ReadQuietly(&ReadPDDXAsWritten, state, bytes, document);
    std::size_t findings = 0;
    CheckDocument(document, [&findings](const Finding&) { ++findings; });
    DropTable table;
    table.Add("fuzz.in", document);
    std::ostringstream out;
    table.Write(out);
    ByteSource source = ByteSource::InMemory("fuzz.in", bytes);
    ReadAllText(source);
    ValidUtf8(bytes);
    return 0;
}
