#include "FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "import/ReadError.h"

namespace vantrel::fuzz {

namespace {

// The scratch file of this process, removed when the fuzzer exits.
struct ScratchFile {
    std::string name =
        (std::filesystem::temp_directory_path() / ("vantrel-fuzz-" + std::to_string(::getpid()) + ".in")).string();
    ~ScratchFile() { std::remove(name.c_str()); }
};

}  // namespace

const std::string& InputAsFile(const std::uint8_t* data, std::size_t size)
{
    static const ScratchFile scratch;
    const std::string& name = scratch.name;
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (file) {
        if (size > 0) std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return name;
}

void WriteOut(const PDDXFile& document)
{
    std::ostringstream out;
    document.PDDX_Output(out);
}

void ReadQuietly(NativeReader read, ProgramState& state, const std::string& file, PDDXFile& document)
{
    try {
        read(state, file, document);
    } catch (const ReadError&) {
    }
}

void ReadFreshThenMerged(NativeReader read, ProgramState& state, const std::string& file)
{
    PDDXFile fresh;
    ReadQuietly(read, state, file, fresh);
    WriteOut(fresh);
    PDDXFile merged;
    merged.AddTestLocation();
    ReadQuietly(read, state, file, merged);
    WriteOut(merged);
}

}  // namespace vantrel::fuzz
