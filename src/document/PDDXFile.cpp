#include "document/PDDXFile.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "base/NumberText.h"

namespace vantrel {
namespace {

struct TemplateElement {
    SectionAndKey name;
    std::int32_t dataType;
    const char* value;  // nullptr: the program's version
    const char* description;
};

struct RepeatedElement {
    std::string_view handle;
    std::int32_t dataType;
    const char* value;
};

#define VANTREL_STR2(x) #x
#define VANTREL_STR(x) VANTREL_STR2(x)

// The standard template, in output order.
constexpr TemplateElement kTemplate[] = {
#define PDDX_ELEMENT(section, handle, dataType, value, description) \
    {pddx::section::handle, dataType, value, description},
#include "document/PDDXTemplate.def"
};

constexpr RepeatedElement kTestLocation[] = {
#define PDDX_LOCATION_ELEMENT(handle, dataType, value) {pddx::TestLocation::handle, dataType, value},
#include "document/PDDXTemplate.def"
};

constexpr RepeatedElement kCalibrationHistory[] = {
#define PDDX_CALIBRATION_ELEMENT(handle, dataType, value) {pddx::CalibrationHistory::handle, dataType, value},
#include "document/PDDXTemplate.def"
};

}  // namespace

std::string VantrelVersionText()
{
    return VANTREL_STR(VANTREL_VERSION_MAJOR) "." VANTREL_STR(VANTREL_VERSION_MINOR) "." VANTREL_STR(
        VANTREL_VERSION_PATCH);
}

PDDXFile::PDDXFile() { BuildTemplate(); }

void PDDXFile::BuildTemplate()
{
    const std::string version = VantrelVersionText();
    PDDXSection* section = nullptr;
    for (const TemplateElement& row : kTemplate) {
        if (!section || section->Handle() != row.name.Section) section = &AddSection(std::string(row.name.Section));
        section->AddElement(row.name.Key, row.description, row.dataType, row.value ? row.value : version);
    }
}

PDDXSection& PDDXFile::Section(std::string_view name) const
{
    if (PDDXSection* section = sections_.Find(name)) return *section;
    throw std::out_of_range("the document has no section \"" + std::string(name) + "\"");
}

PDDXElement& PDDXFile::Element(std::string_view section, std::string_view handle) const
{
    return Section(section).Element(handle);
}

PDDXSection& PDDXFile::AddSection(std::string handle)
{
    if (sections_.Contains(handle))
        throw std::invalid_argument("the document already has a section \"" + handle + "\"");
    PDDXSection& section = sections_.Emplace(std::move(handle));
    section.SetParent(this);
    return section;
}

PDDXSection& PDDXFile::AddNumberedSection(std::string_view prefix, PDDXElement& counter, int number)
{
    int n = CheckCount(number, counter.Handle());
    const bool numberFromCounter = n == 0;
    if (numberFromCounter) n = CheckCount(static_cast<long long>(CounterValue(counter.Value())) + 1, counter.Handle());
    std::string name = std::string(prefix) + std::to_string(n);
    if (sections_.Contains(name)) throw std::invalid_argument("the document already has a section \"" + name + "\"");
    if (numberFromCounter) counter.SetValue(std::to_string(n));
    return AddSection(std::move(name));
}

PDDXSection& PDDXFile::AddTestLocation(int locNum)
{
    PDDXSection& section =
        AddNumberedSection(pddx::TestLocation::kPrefix, Element(pddx::DeflectionData::NumberOfTestLocations), locNum);
    if (locationNames_.empty())
        for (const RepeatedElement& row : kTestLocation) locationNames_.push_back(&text_.Name(row.handle, ""));
    for (std::size_t i = 0; i < std::size(kTestLocation); ++i)
        section.AddNamed(*locationNames_[i], kTestLocation[i].dataType, kTestLocation[i].value);
    return section;
}

void PDDXFile::AddDropData(int dropsToAdd)
{
    CheckCount(dropsToAdd, "number of drops");
    const int t = CounterValue(Element(pddx::DeflectionData::NumberOfTestLocations).Value());
    PDDXSection& section = Section(std::string(pddx::TestLocation::kPrefix) + std::to_string(t));
    section.Element(pddx::TestLocation::NumberOfDrops).SetValue(std::to_string(dropsToAdd));
    for (int i = 1; i <= dropsToAdd; ++i)
        section.AddElement(std::string(pddx::TestLocation::kDropDataPrefix) + std::to_string(i), "", kNumber, "");
}

PDDXSection& PDDXFile::AddFWDCalHistory(int calNum)
{
    PDDXSection& section = AddNumberedSection(pddx::CalibrationHistory::kPrefix,
                                              Element(pddx::DeviceCalibration::NumberCalibrations), calNum);
    for (const RepeatedElement& row : kCalibrationHistory) section.AddElement(row.handle, "", row.dataType, row.value);
    return section;
}

void PDDXFile::WriteText(std::ostream& out) const
{
    // A section at a time, so that the whole text is never held.
    std::string buffer;
    for (const PDDXSection& section : sections_) {
        buffer.clear();
        section.WriteText(buffer);
        out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    }
}

int PDDXFile::SubscribeElementChange(ElementChangeHandler handler)
{
    elementChangeHandlers_.emplace_back(nextSubscription_, std::move(handler));
    return nextSubscription_++;
}

void PDDXFile::UnsubscribeElementChange(int subscription)
{
    std::erase_if(elementChangeHandlers_, [subscription](const auto& entry) { return entry.first == subscription; });
}

void PDDXFile::NotifyElementChange(PDDXElement& element)
{
    for (const auto& entry : elementChangeHandlers_) entry.second(element);
}

}  // namespace vantrel
