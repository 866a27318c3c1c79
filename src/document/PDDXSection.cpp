#include "document/PDDXSection.h"

#include <memory>
#include <stdexcept>

#include "document/PDDXFile.h"
#include "base/modConvert.h"

namespace vantrel {

PDDXSection::PDDXSection(std::string handle) : handle_(std::move(handle)) {}

void PDDXSection::SetHandle(std::string handle)
{
    if (parent_) throw std::logic_error("the section \"" + handle_ + "\" is already in a document and keeps its name");
    handle_ = std::move(handle);
}

PDDXElement& PDDXSection::Element(std::string_view handle) const
{
    if (PDDXElement* element = elements_.Find(handle)) return *element;
    throw std::out_of_range("section \"" + handle_ + "\" has no element \"" + std::string(handle) + "\"");
}

void PDDXSection::AddElement(std::string_view handle, std::string_view description, std::int32_t dataType,
                             std::string_view value)
{
    if (elements_.Contains(handle)) return;  // the first element with a handle stays
    PDDXElement& added = elements_.Emplace(std::string(handle), std::string(description), dataType);
    added.SetParent(this);
    added.SetValue(std::string(value));
}

void PDDXSection::RemoveElement(std::string_view handle)
{
    Element(handle).SetParent(nullptr);  // a removed element no longer reports its changes
    elements_.Remove(handle);
}

void PDDXSection::PDDX_Output(std::string& out) const
{
    out.append("[").append(handle_).append("]\r\n");
    for (const PDDXElement& element : elements_) element.PDDX_Output(out);
    out.append("\r\n");
}

PDDXElement& PDDXSection::AppendNew(std::string handle)
{
    PDDXElement& element = elements_.Emplace(std::move(handle), std::string(), kNumber);
    element.SetParent(this);
    return element;
}

PDDXElement& PDDXSection::AddDropData(int dropNum)
{
    int n = CheckInt16(dropNum, "drop number");
    PDDXElement* counter = nullptr;
    if (n == 0) {
        counter = &Element("NumberOfDrops");
        n = CheckInt16(static_cast<long long>(ToInt16(counter->Value())) + 1, "drop number");
    }
    std::string handle = "DropData_" + std::to_string(n);
    if (elements_.Contains(handle))
        throw std::invalid_argument("section \"" + handle_ + "\" already has an element \"" + handle + "\"");
    if (counter) counter->SetValue(std::to_string(n));
    return AppendNew(std::move(handle));
}

PDDXElement& PDDXSection::AddHistoryData(int dropNum, int sampleNum)
{
    std::string handle = "DropHistoryData_" + std::to_string(CheckInt16(dropNum, "drop number")) + "_" +
                         std::to_string(CheckInt16(sampleNum, "sample number"));
    if (elements_.Contains(handle))
        throw std::invalid_argument("section \"" + handle_ + "\" already has an element \"" + handle + "\"");
    return AppendNew(std::move(handle));
}

void PDDXSection::NotifyElementChange(PDDXElement& element)
{
    if (parent_) parent_->NotifyElementChange(element);
}

}  // namespace vantrel
