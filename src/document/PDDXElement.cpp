#include "document/PDDXElement.h"

#include <cstring>
#include <stdexcept>

#include "document/PDDXSection.h"

namespace vantrel {

static_assert(sizeof(PDDXElement) <= 32, "a million elements should stay within 32 MB");

PDDXElement::PDDXElement(PDDXSection& owner, const ElementName& name, std::int32_t dataType)
    : owner_(&owner), name_(&name), dataType_(dataType)
{
}

void PDDXElement::SetParent(PDDXSection* parent)
{
    if (parent && parent != owner_)
        throw std::logic_error("the element \"" + std::string(Handle()) + "\" belongs to the section \"" +
                               owner_->Handle() + "\"");
    removed_ = parent == nullptr;
}

void PDDXElement::SetHandle(std::string_view handle)
{
    if (!removed_)
        throw std::logic_error("the element \"" + std::string(Handle()) + "\" is in a section and keeps its handle");
    name_ = &owner_->Text().Name(handle, Description());
}

void PDDXElement::SetDescription(std::string_view description) { name_ = &owner_->Text().Name(Handle(), description); }

void PDDXElement::SetValue(std::string_view value)
{
    if (value.size() >= (1u << 30)) throw std::length_error("a value longer than a gigabyte");
    // A value that is no longer overwrites the old one; a longer one goes to new room, so that
    // the value being assigned may be a piece of the old one.
    char* at = value.size() <= valueLength_ ? value_ : owner_->Text().Allocate(value.size());
    if (!value.empty()) std::memmove(at, value.data(), value.size());
    value_ = at;
    valueLength_ = static_cast<std::uint32_t>(value.size()) & ((1u << 30) - 1);
    Changed();
}

void PDDXElement::AppendItem(std::string_view item)
{
    std::string value(Value());
    value.append(", ").append(item);
    SetValue(value);
}

void PDDXElement::TakeValue(const char* kept)
{
    const std::string_view value = KeptValue(kept);
    value_ = const_cast<char*>(value.data());
    valueLength_ = static_cast<std::uint32_t>(value.size());
    Changed();
}

void PDDXElement::Changed()
{
    if (!removed_) owner_->NotifyElementChange(*this);
}

void PDDXElement::WriteText(std::string& out) const
{
    if (valueLength_ == 0) return;
    const std::string_view handle = Handle();
    const std::size_t at = out.size();
    out.resize(at + handle.size() + 3 + valueLength_ + 2);
    char* p = out.data() + at;
    std::memcpy(p, handle.data(), handle.size());
    std::memcpy(p += handle.size(), " = ", 3);
    std::memcpy(p += 3, value_, valueLength_);
    std::memcpy(p + valueLength_, "\r\n", 2);
}

}  // namespace vantrel
