#include "FuzzSupport.h"

#include <sstream>

#include "base/ReadError.h"
#include "core/Conversion.h"

namespace vantrel::fuzz {

void WriteOut(const PDDXFile& document)
{
    std::ostringstream out;
    document.WriteText(out);
}

void ReadQuietly(Reader read, const ProgramState& state, std::string_view bytes, PDDXFile& document)
{
    ReadingState reading = NewReading(state.Settings);
    ReadQuietly(read, state, bytes, document, reading);
}

void ReadQuietly(FileType type, const ProgramState& state, std::string_view bytes, PDDXFile& document,
                 ReadingState& reading, bool append)
{
    ReadQuietly(FindFileFormat(type)->Read, state, bytes, document, reading, append);
}

void ReadQuietly(Reader read, const ProgramState& state, std::string_view bytes, PDDXFile& document,
                 ReadingState& reading, bool append)
{
    ByteSource source = ByteSource::InMemory("fuzz.in", bytes);
    using namespace std::chrono;
    ReaderInput input{"fuzz.in", source, year_month_day{year{2004}, April, day{7}}};
    ReadWarnings warnings;
    ReaderContext context = ReaderContextOf(state.Settings, reading, warnings);
    try {
        read(context, input, document, append);
    } catch (const ReadError&) {
    }
}

}  // namespace vantrel::fuzz
