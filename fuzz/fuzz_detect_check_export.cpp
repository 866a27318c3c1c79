// Arbitrary bytes told by the sniffers (as a whole file and as the start of a longer one), then
// read as PDDX text, checked and exported as CSV; and decoded from each encoding.

#include <cstdint>
#include <memory>
#include <sstream>

#include "FuzzSupport.h"
#include "base/NativeText.h"
#include "base/ReadError.h"
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
    auto document = std::make_shared<PDDXFile>();
    fuzz::ReadQuietly(&ReadPDDX, state, bytes, *document);
    std::size_t findings = 0;
    CheckDocument(*document, [&findings](const Finding&) { ++findings; });
    // Each table export writes; a document whose loads cannot be normalised is refused.
    for (const ExportOptions& options : {ExportOptions{}, ExportOptions{.NormalLoad = 40, .Indices = true},
                                         ExportOptions{.Histories = true}, ExportOptions{.GeoJson = true}}) {
        const std::unique_ptr<ExportTable> table = MakeExportTable(options);
        try {
            table->Add("fuzz.in", document);
        } catch (const ReadError&) {
            continue;
        }
        std::ostringstream out;
        table->Write(out);
    }
    ByteSource source = ByteSource::InMemory("fuzz.in", bytes);
    try {
        ReadAllText(source);
    } catch (const ReadError&) {
        // A line beyond the limit is refused, as it must be.
    }
    ValidUtf8(bytes);
    return 0;
}
