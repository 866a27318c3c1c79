#include "document/PDDXSection.h"

#include <memory>
#include <stdexcept>

#include "document/PDDXFile.h"
#include "document/TemplateNames.h"
#include "base/NumberText.h"

namespace vantrel {

PDDXSection::PDDXSection(std::string handle) : handle_(std::move(handle)), hash_(FoldedHash(handle_))
{
    // The elements are kept with their values: fewer, larger allocations, released at once.
    elements_.TakeChunksFrom({[](void* section, std::size_t bytes) -> void* {
                                  return static_cast<PDDXSection*>(section)->Text().AllocateAligned(
                                      bytes, alignof(PDDXElement));
                              },
                              this});
}

void PDDXSection::SetHandle(std::string handle)
{
    if (parent_) throw std::logic_error("the section \"" + handle_ + "\" is already in a document and keeps its name");
    handle_ = std::move(handle);
    hash_ = FoldedHash(handle_);
}

DocumentText& PDDXSection::Text()
{
    if (parent_) return parent_->Text();
    if (!ownText_) ownText_ = std::make_unique<DocumentText>();
    return *ownText_;
}

PDDXElement& PDDXSection::Element(std::string_view handle) const
{
    if (PDDXElement* element = elements_.Find(handle)) return *element;
    throw std::out_of_range("section \"" + handle_ + "\" has no element \"" + std::string(handle) + "\"");
}

void PDDXSection::AddElement(std::string_view handle, std::string_view description, std::int32_t dataType,
                             std::string_view value)
{
    AddNamed(Text().Name(handle, description), dataType, value);
}

void PDDXSection::AddNamed(const ElementName& name, std::int32_t dataType, std::string_view value)
{
    if (elements_.Find(name.handle, name.hash)) return;  // the first element with a handle stays
    elements_.EmplaceNew(*this, name, dataType).SetValue(value);
}

void PDDXSection::RemoveElement(std::string_view handle)
{
    Element(handle).SetParent(nullptr);  // a removed element no longer reports its changes
    elements_.Remove(handle);
    dropCounter_ = nullptr;
}

void PDDXSection::WriteText(std::string& out) const
{
    out.append("[").append(handle_).append("]\r\n");
    for (const PDDXElement& element : elements_) element.WriteText(out);
    out.append("\r\n");
}

std::string PDDXSection::AlreadyHas(const ElementName& name) const
{
    return "section \"" + handle_ + "\" already has an element \"" + std::string(name.handle) + "\"";
}

const ElementName& PDDXSection::NewName(const ElementName& name) const
{
    if (elements_.Find(name.handle, name.hash)) throw std::invalid_argument(AlreadyHas(name));
    return name;
}

PDDXElement& PDDXSection::AddDropData(int dropNum)
{
    int n = CheckCount(dropNum, "drop number");
    if (n != 0) return elements_.EmplaceNew(*this, NewName(Text().DropName(n)), kNumber);
    // Looked up once: a survey adds a million drops, each raising the counter.
    if (!dropCounter_) dropCounter_ = &Element(pddx::TestLocation::NumberOfDrops);
    PDDXElement& counter = *dropCounter_;
    n = CheckCount(static_cast<long long>(ToInt32(counter.Value())) + 1, "drop number");
    const ElementName& name = NewName(Text().DropName(n));
    counter.SetValue(std::to_string(n));
    return elements_.EmplaceNew(*this, name, kNumber);
}

PDDXElement& PDDXSection::AddHistoryData(int dropNum, int sampleNum)
{
    std::string refused;
    if (PDDXElement* added = AddHistoryDataIfNew(dropNum, sampleNum, &refused)) return *added;
    throw std::invalid_argument(refused);
}

PDDXElement* PDDXSection::AddHistoryDataIfNew(int dropNum, int sampleNum, std::string* refused)
{
    const ElementName& name =
        Text().HistoryName(CheckCount(dropNum, "drop number"), CheckCount(sampleNum, "sample number"));
    if (elements_.Find(name.handle, name.hash)) {
        if (refused) *refused = AlreadyHas(name);
        return nullptr;
    }
    return &elements_.EmplaceNew(*this, name, kNumber);
}

void PDDXSection::NotifyElementChange(PDDXElement& element)
{
    if (parent_) parent_->NotifyElementChange(element);
}

}  // namespace vantrel
