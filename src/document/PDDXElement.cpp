#include "document/PDDXElement.h"

#include <stdexcept>

#include "document/PDDXSection.h"

namespace vantrel {

PDDXElement::PDDXElement(std::string handle, std::string description, std::int32_t dataType)
    : handle_(std::move(handle)), dataType_(dataType)
{
    SetDescription(std::move(description));
}

const std::string& PDDXElement::Description() const
{
    static const std::string none;
    return description_ ? *description_ : none;
}

void PDDXElement::SetDescription(std::string description)
{
    if (description.empty()) description_.reset();
    else description_ = std::make_unique<std::string>(std::move(description));
}

void PDDXElement::SetHandle(std::string handle)
{
    if (parent_) throw std::logic_error("the element \"" + handle_ + "\" is already in a section and keeps its handle");
    handle_ = std::move(handle);
}

void PDDXElement::SetValue(std::string value)
{
    value_ = std::move(value);
    if (parent_) parent_->NotifyElementChange(*this);
}

void PDDXElement::PDDX_Output(std::string& out) const
{
    if (value_.empty()) return;
    out.append(handle_).append(" = ").append(value_).append("\r\n");
}

}  // namespace vantrel
