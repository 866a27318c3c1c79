#include "base/Latin1.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vantrel {
namespace {

void AppendEscaped(std::string& out, unsigned char c)
{
    char code[8];
    std::snprintf(code, sizeof code, "\\x%02X", c);
    out += code;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

void AppendUtf8(std::string& out, unsigned char c)
{
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
}

}  // namespace

std::string Utf8FromLatin1(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x80) out += c;
        else AppendUtf8(out, static_cast<unsigned char>(c));
    }
    return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0;;) {
        const std::size_t found = text.find(from, at);
        if (found == std::string_view::npos) return out.append(text.substr(at));
        out.append(text.substr(at, found - at)).append(to);
        at = found + from.size();
    }
}

std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    const std::size_t shown = std::min(text.size(), kExcerptLength);
    for (std::size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0xA0) {
            AppendUtf8(out, c);
        } else if (IsControl(c) || c >= 0x80) {
            AppendEscaped(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    if (shown < text.size()) out += "...";
    return out + "\"";
}

std::string EscapeControls(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (IsControl(static_cast<unsigned char>(c))) AppendEscaped(out, static_cast<unsigned char>(c));
        else out += c;
    }
    return out;
}

CaseBlindFind::CaseBlindFind(std::string_view needle) : upper_(UpperCase(needle))
{
    if (upper_.empty()) return;
    for (int u = 0; u < 256; ++u)
        if (UpperChar(static_cast<char>(u)) == upper_.front()) firsts_ += static_cast<char>(u);
}

bool CaseBlindFind::In(std::string_view text) const
{
    if (upper_.empty()) return true;
    if (upper_.size() > text.size()) return false;
    const char* const last = text.data() + (text.size() - upper_.size());
    const auto matchesAt = [&](const char* at) {
        for (std::size_t k = 1; k < upper_.size(); ++k)
            if (UpperChar(at[k]) != upper_[k]) return false;
        return true;
    };
    for (const char first : firsts_) {
        for (const char* at = text.data(); at <= last; ++at) {
            at = static_cast<const char*>(std::memchr(at, first, static_cast<std::size_t>(last - at) + 1));
            if (!at) break;
            if (matchesAt(at)) return true;
        }
    }
    return false;
}

}  // namespace vantrel
