#include "core/Inputs.h"

namespace vantrel {

InputFile OpenInputFile(const std::string& name)
{
    auto source =
        std::make_shared<ByteSource>(name == "-" ? ByteSource::StandardInput(name) : ByteSource::OpenFile(name));
    return {name, std::move(source)};
}

ByteSource& SourceOf(InputFile& input)
{
    if (!input.Source) input.Source = std::make_shared<ByteSource>(ByteSource::OpenFile(input.Name));
    return *input.Source;
}

InputHead ReadHead(InputFile& input)
{
    // One byte more than is looked at tells whether the head is the whole input.
    const std::string_view bytes = SourceOf(input).Peek(kSniffLength + 1);
    return {std::string(bytes.substr(0, kSniffLength)), bytes.size() <= kSniffLength};
}

Detection DetectInput(InputFile& input)
{
    const InputHead head = ReadHead(input);
    return DetectFormat(head.Bytes, input.Name, head.Complete);
}

}  // namespace vantrel
