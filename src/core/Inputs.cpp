#include "core/Inputs.h"

namespace vantrel {

ByteSource OpenInput(const InputFile& input)
{
    return input.Bytes ? ByteSource::InMemory(input.Name, *input.Bytes) : ByteSource::OpenFile(input.Name);
}

InputHead ReadHead(const InputFile& input)
{
    InputHead head;
    ByteSource source = OpenInput(input);
    if (const std::string_view* memory = source.Memory()) {  // without its byte-order mark
        head.Bytes = memory->substr(0, kSniffLength);
        head.Complete = head.Bytes.size() == memory->size();
        return head;
    }
    head.Bytes.resize(kSniffLength);
    std::size_t got = 0;
    for (std::size_t n; got < kSniffLength && (n = source.Read(head.Bytes.data() + got, kSniffLength - got)) > 0;)
        got += n;
    head.Bytes.resize(got);
    // A head that filled the buffer may be the whole file all the same: one more byte tells.
    char more;
    head.Complete = got < kSniffLength || source.Read(&more, 1) == 0;
    return head;
}

Detection DetectInput(const InputFile& input)
{
    const InputHead head = ReadHead(input);
    return DetectFormat(head.Bytes, input.Name, head.Complete);
}

}  // namespace vantrel
