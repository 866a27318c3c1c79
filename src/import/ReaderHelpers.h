#pragma once
// Small steps every native reader takes: set or extend an element, keep a station's comments,
// count a split's fields.

#include <charconv>
#include <span>
#include <string>
#include <string_view>

#include "document/PDDXFile.h"

namespace vantrel {

inline void Set(PDDXFile& document, std::string_view section, std::string_view key, std::string value)
{
    document.Element(section, key).SetValue(std::move(value));
}

// The element's value followed by ", " and `more`.
inline void Append(PDDXFile& document, std::string_view section, std::string_view key, std::string_view more)
{
    PDDXElement& element = document.Element(section, key);
    std::string value(element.Value());
    value.append(", ").append(more);
    element.SetValue(std::move(value));
}

// A station's comments are kept together, "; " between them; an empty one adds nothing.
inline void AppendComment(std::string& comments, std::string_view comment)
{
    if (comment.empty()) return;
    if (!comments.empty()) comments.append("; ");
    comments.append(comment);
}

inline void AppendComment(PDDXSection& location, std::string_view comment)
{
    PDDXElement& element = location.Element("TestComment");
    std::string value(element.Value());
    AppendComment(value, comment);
    element.SetValue(std::move(value));
}

// Entry 0 of a split: the field count, always written as decimal digits by the splitters.
inline int FieldCount(std::span<const std::string> fields)
{
    int count = 0;
    std::from_chars(fields[0].data(), fields[0].data() + fields[0].size(), count);
    return count;
}

}  // namespace vantrel
