#pragma once
// The encodings FWD files are found in, and their text as the single-byte (Latin-1) text the
// program works in. Field programs write Latin-1; files that passed through other tools arrive as
// UTF-8 or UTF-16, with or without a byte-order mark.

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

enum class TextEncoding { Latin1, Utf8, Utf16LittleEndian, Utf16BigEndian };

struct HeadEncoding {
    TextEncoding Encoding = TextEncoding::Latin1;
    std::size_t MarkLength = 0;  // the byte-order mark's bytes, to be skipped
};

// How much of a file TellEncoding should be given, when there is that much.
constexpr std::size_t kEncodingHeadLength = 4096;

// The encoding of a file from its first bytes (`complete`: they are the whole file):
// - a byte-order mark names it;
// - without one, UTF-16 when every second byte is NUL (little-endian when the odd ones are);
// - UTF-8 when the bytes above 127 all form UTF-8 sequences and there is at least one;
// - Latin-1 otherwise.
HeadEncoding TellEncoding(std::string_view head, bool complete);

// Turns encoded bytes into Latin-1, piece by piece. A character outside Latin-1 becomes "?" and
// is counted. In UTF-8 a byte that starts no valid sequence is taken as the Latin-1 character it
// is, so that a file mostly UTF-8 loses nothing of a stray Latin-1 letter.
class Latin1Decoder {
public:
    explicit Latin1Decoder(TextEncoding encoding) : encoding_(encoding) {}

    // Decodes from `in` into `out` (room for `capacity` characters); gives the characters written
    // and sets `consumed` to the bytes used. An incomplete character at the end of `in` is left
    // for the next piece unless `atEnd`, when it is taken byte by byte.
    std::size_t Decode(std::string_view in, bool atEnd, char* out, std::size_t capacity, std::size_t& consumed);

    TextEncoding Encoding() const { return encoding_; }

    // Characters replaced by "?" so far.
    std::size_t Replaced() const { return replaced_; }

    // The most bytes one character of this encoding takes.
    std::size_t MaxBytesPerCharacter() const;

private:
    TextEncoding encoding_;
    std::size_t replaced_ = 0;
};

// The bytes as valid UTF-8: UTF-8 characters as they are, every other byte written "\xNN", so
// that a file name of any bytes can stand in JSON or a UTF-8 table.
std::string ValidUtf8(std::string_view bytes);

}  // namespace vantrel
