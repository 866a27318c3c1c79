#pragma once
// Single-byte (Latin-1) text helpers: the files and the document hold one byte per character.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

// Upper case of one Latin-1 character: a-z and the accented letters à-þ (but not ÷); the micro
// sign, ß and ÿ have no single-byte upper case and stay as they are.
constexpr char UpperCharOf(unsigned char u)
{
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 0x20);
    return static_cast<char>(u);
}

// By table: keys are compared and hashed a character at a time, millions of times a file.
struct UpperTable {
    char upper[256];
    constexpr UpperTable() : upper()
    {
        for (int u = 0; u < 256; ++u) upper[u] = UpperCharOf(static_cast<unsigned char>(u));
    }
};
inline constexpr UpperTable kUpperTable;

constexpr char UpperChar(char c) { return kUpperTable.upper[static_cast<unsigned char>(c)]; }

inline std::string UpperCase(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = UpperChar(c);
    return out;
}

inline bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperChar(a[i]) != UpperChar(b[i])) return false;
    return true;
}

// Finds a text in others, letters in any case. The characters that can begin it are looked for
// with memchr, many times faster than comparing at every place: a review grid's find bar looks
// through ten million values at each key typed.
class CaseBlindFind {
public:
    explicit CaseBlindFind(std::string_view needle);
    bool In(std::string_view text) const;

private:
    std::string upper_;
    std::string firsts_;  // each character whose upper case begins the needle
};

// Spreads every input bit over the whole word (the MurmurHash3 finaliser), so that the low bits
// used to index a table differ even for keys that differ only in their last character.
constexpr std::uint64_t MixBits(std::uint64_t h)
{
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    return h ^ (h >> 33);
}

// FNV-1a over the upper-cased bytes, so that keys equal without regard to case hash alike.
inline std::size_t FoldedHash(std::string_view key)
{
    std::uint64_t h = 1469598103934665603ull;
    for (char c : key) {
        h ^= static_cast<unsigned char>(UpperChar(c));
        h *= 1099511628211ull;
    }
    return static_cast<std::size_t>(MixBits(h));
}

// Blanks (U+0020) removed at both ends.
inline std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Every occurrence of `from` replaced by `to`, left to right, letter case significant.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// A piece of input quoted for a message: at most kExcerptLength characters in double quotes,
// "..." where it was cut, the Latin-1 letters as UTF-8 and every other byte that a terminal would
// not show as itself written \xNN, so that no message carries raw control bytes.
constexpr std::size_t kExcerptLength = 60;
std::string Quoted(std::string_view text);

// The text in UTF-8, each Latin-1 character as the same character.
std::string Utf8FromLatin1(std::string_view text);

// Control bytes (NUL, line ends, escape, ...) written \xNN; everything else stays as it is.
std::string EscapeControls(std::string_view text);

}  // namespace vantrel
