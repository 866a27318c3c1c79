#pragma once
// Eight characters at a time as one 64-bit word: the byte tricks that let the large files' every
// drop be scanned without a branch per character. No carry crosses a byte.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vantrel {

inline constexpr std::uint64_t kByteOnes = 0x0101010101010101, kByteHighs = kByteOnes * 0x80,
                               kByteLows = kByteOnes * 0x7F;

// The high bit of each byte of `word` that is zero.
constexpr std::uint64_t ZeroBytes(std::uint64_t word)
{
    return ~(((word & kByteLows) + kByteLows) | word) & kByteHighs;
}

// The high bit of each byte of `word` that is `c`.
constexpr std::uint64_t BytesOf(std::uint64_t word, char c)
{
    return ZeroBytes(word ^ (kByteOnes * static_cast<unsigned char>(c)));
}

// The high bit of each byte that is not printable ASCII, or is a quote.
constexpr std::uint64_t SpecialBytes(std::uint64_t word)
{
    const std::uint64_t low = word & kByteLows;
    const std::uint64_t control = ~(word | (low + kByteOnes * (0x80 - ' '))) & kByteHighs;  // below a blank
    const std::uint64_t beyond = (word | (low + kByteOnes)) & kByteHighs;                   // DEL and above
    return control | beyond | BytesOf(word, '"');
}

// Eight characters as a word, the first in its lowest byte.
inline std::uint64_t Word(const char* at)
{
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

// The first of the eight bytes that `marks` (of ZeroBytes and the like, not 0) marks.
inline std::size_t FirstMarked(std::uint64_t marks) { return static_cast<std::size_t>(std::countr_zero(marks)) / 8; }

// The commas of `text`. The marks of each word are summed into its top byte by a multiplication:
// the processors the program is built for need have no popcount instruction, and the library's is
// a call.
inline std::size_t CommasIn(std::string_view text)
{
    std::size_t count = 0, at = 0;
    for (; at + 8 <= text.size(); at += 8)
        count += static_cast<std::size_t>(((BytesOf(Word(text.data() + at), ',') >> 7) * kByteOnes) >> 56);
    for (; at < text.size(); ++at) count += text[at] == ',' ? 1 : 0;
    return count;
}

}  // namespace vantrel
