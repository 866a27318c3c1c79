#include "base/TextEncoding.h"

#include <algorithm>

namespace vantrel {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF", kUtf16LittleMark = "\xFF\xFE", kUtf16BigMark = "\xFE\xFF";

// One UTF-8 sequence at the start of `bytes` (whose first byte is above 127).
struct Utf8Sequence {
    enum Kind { Invalid, Incomplete, Valid } Is = Invalid;
    std::size_t Length = 0;
    unsigned CodePoint = 0;
};

Utf8Sequence ReadUtf8Sequence(std::string_view bytes)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    Utf8Sequence sequence;
    unsigned minimum;
    if (lead >= 0xC2 && lead <= 0xDF) sequence = {Utf8Sequence::Valid, 2, lead & 0x1Fu}, minimum = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF) sequence = {Utf8Sequence::Valid, 3, lead & 0x0Fu}, minimum = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4) sequence = {Utf8Sequence::Valid, 4, lead & 0x07u}, minimum = 0x10000;
    else return {};
    for (std::size_t i = 1; i < sequence.Length; ++i) {
        if (i == bytes.size()) return {Utf8Sequence::Incomplete, i, 0};
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0) != 0x80) return {};
        sequence.CodePoint = sequence.CodePoint << 6 | (next & 0x3Fu);
    }
    if (sequence.CodePoint < minimum || sequence.CodePoint > 0x10FFFF ||
        (sequence.CodePoint >= 0xD800 && sequence.CodePoint <= 0xDFFF))
        return {};
    return sequence;
}

// Whether the bytes above 127 all form UTF-8 sequences, at least one of them; a sequence cut
// off by the end of an incomplete head counts as one.
bool LooksLikeUtf8(std::string_view head, bool complete)
{
    bool any = false;
    for (std::size_t i = 0; i < head.size();) {
        if (static_cast<unsigned char>(head[i]) < 0x80) {
            ++i;
            continue;
        }
        const Utf8Sequence sequence = ReadUtf8Sequence(head.substr(i));
        if (sequence.Is == Utf8Sequence::Invalid || (sequence.Is == Utf8Sequence::Incomplete && complete)) return false;
        any = true;
        i += sequence.Length;
    }
    return any;
}

// Every second byte NUL, starting at `first`, and text in the others: UTF-16 of Latin-1 text.
bool NulEverySecondByte(std::string_view head, std::size_t first)
{
    if (head.size() < 4) return false;
    bool text = false;
    for (std::size_t i = 0; i + 1 < head.size(); i += 2) {
        if (head[i + first] != '\0') return false;
        text = text || head[i + 1 - first] != '\0';
    }
    return text;
}

// Where decoded characters go: room for Capacity of them, Written so far; a character outside
// Latin-1 is written "?" and counted in Replaced.
struct Latin1Output {
    char* Data;
    std::size_t Capacity;
    std::size_t& Replaced;
    std::size_t Written = 0;

    bool Full() const { return Written >= Capacity; }
    void Put(char c) { Data[Written++] = c; }
    void PutCodePoint(unsigned codePoint)
    {
        if (codePoint > 0xFF) ++Replaced;
        Put(codePoint > 0xFF ? '?' : static_cast<char>(codePoint));
    }
};

// Returns the bytes used: an incomplete sequence at the end is left unless `atEnd`.
std::size_t DecodeUtf8(std::string_view in, bool atEnd, Latin1Output& out)
{
    std::size_t i = 0;
    while (i < in.size() && !out.Full()) {
        const auto byte = static_cast<unsigned char>(in[i]);
        if (byte < 0x80) {
            out.Put(static_cast<char>(byte));
            ++i;
            continue;
        }
        const Utf8Sequence sequence = ReadUtf8Sequence(in.substr(i));
        if (sequence.Is == Utf8Sequence::Incomplete && !atEnd) break;
        if (sequence.Is == Utf8Sequence::Valid) {
            out.PutCodePoint(sequence.CodePoint);
            i += sequence.Length;
        } else {
            out.Put(static_cast<char>(byte));  // a stray Latin-1 byte
            ++i;
        }
    }
    return i;
}

// Returns the bytes used: half a unit at the end is left unless `atEnd`.
std::size_t DecodeUtf16(std::string_view in, bool bigEndian, bool atEnd, Latin1Output& out)
{
    std::size_t i = 0;
    for (; i + 1 < in.size() && !out.Full(); i += 2) {
        const auto first = static_cast<unsigned char>(in[i]), second = static_cast<unsigned char>(in[i + 1]);
        const unsigned unit = bigEndian ? (first << 8 | second) : (second << 8 | first);
        if (unit >= 0xDC00 && unit <= 0xDFFF) continue;  // the second half of a pair already counted
        out.PutCodePoint(unit);
    }
    if (atEnd && i + 1 == in.size()) ++i;  // half a unit at the very end holds no character
    return i;
}

}  // namespace

HeadEncoding TellEncoding(std::string_view head, bool complete)
{
    if (head.starts_with(kUtf8Mark)) return {TextEncoding::Utf8, kUtf8Mark.size()};
    if (head.starts_with(kUtf16LittleMark)) return {TextEncoding::Utf16LittleEndian, kUtf16LittleMark.size()};
    if (head.starts_with(kUtf16BigMark)) return {TextEncoding::Utf16BigEndian, kUtf16BigMark.size()};
    if (NulEverySecondByte(head, 1)) return {TextEncoding::Utf16LittleEndian, 0};
    if (NulEverySecondByte(head, 0)) return {TextEncoding::Utf16BigEndian, 0};
    if (LooksLikeUtf8(head, complete)) return {TextEncoding::Utf8, 0};
    return {};
}

std::string ValidUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            out += bytes[i++];
            continue;
        }
        const Utf8Sequence sequence = ReadUtf8Sequence(bytes.substr(i));
        if (sequence.Is == Utf8Sequence::Valid) {
            out.append(bytes.substr(i, sequence.Length));
            i += sequence.Length;
            continue;
        }
        static constexpr char kHex[] = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(bytes[i++]);
        out.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 0xF]);
    }
    return out;
}

std::size_t Latin1Decoder::MaxBytesPerCharacter() const
{
    return encoding_ == TextEncoding::Latin1 ? 1 : 4;  // UTF-8's longest sequence, a UTF-16 surrogate pair
}

std::size_t Latin1Decoder::Decode(std::string_view in, bool atEnd, char* out, std::size_t capacity,
                                  std::size_t& consumed)
{
    Latin1Output output{out, capacity, replaced_};
    if (encoding_ == TextEncoding::Latin1) {
        output.Written = std::min(in.size(), capacity);
        in.copy(out, output.Written);
        consumed = output.Written;
    } else if (encoding_ == TextEncoding::Utf8) {
        consumed = DecodeUtf8(in, atEnd, output);
    } else {
        consumed = DecodeUtf16(in, encoding_ == TextEncoding::Utf16BigEndian, atEnd, output);
    }
    return output.Written;
}

}  // namespace vantrel
