#pragma once
// One key/value line of a PDDX document.

#include <cstdint>
#include <string>
#include <string_view>

#include "document/DocumentText.h"

namespace vantrel {

class PDDXSection;

// Data-type codes the program assigns; stored and carried, nothing branches on them.
enum PDDXDataType : std::int32_t { kNumber = 1, kText = 2, kTimeOfDay = 3, kDate = 4, kUnitName = 5 };

// Elements are made by their section (PDDXSection::AddElement, AddDropData, AddHistoryData) and
// keep their text in the document's DocumentText: a name shared with every element of that name,
// and the value in the document's blocks.
class PDDXElement {
public:
    PDDXElement(PDDXSection& owner, const ElementName& name, std::int32_t dataType);
    PDDXElement(const PDDXElement&) = delete;
    PDDXElement& operator=(const PDDXElement&) = delete;

    // The owning section; none once the element was removed from it.
    PDDXSection* Parent() const { return removed_ ? nullptr : owner_; }
    // An element belongs to the section that made it: nullptr takes it out (it no longer reports
    // its changes), the owner puts it back; any other section is a std::logic_error.
    void SetParent(PDDXSection* parent);

    std::string_view Handle() const { return name_->handle; }
    // The handle is the element's key in its section, so it cannot change while it is in one.
    void SetHandle(std::string_view handle);
    std::size_t KeyHash() const { return name_->hash; }

    std::string_view Description() const { return name_->description; }
    void SetDescription(std::string_view description);

    std::int32_t DataType() const { return dataType_; }
    void SetDataType(std::int32_t dataType) { dataType_ = dataType; }

    // Empty text means "no value". Every assignment, even of the same text, tells the section and
    // the document, so that a view of the document stays in step. The view Value() gives is good
    // until the next assignment.
    std::string_view Value() const { return {value_, valueLength_}; }
    void SetValue(std::string_view value);
    // The same for a value that DocumentText::KeepShort kept in this element's document, taken
    // over without a copy: nothing else may use it afterwards.
    void TakeValue(const char* kept);
    // The value followed by ", " and `item`, as a list grows (sensor serials, factors).
    void AppendItem(std::string_view item);

    bool Flagged() const { return flagged_; }
    void SetFlagged(bool flagged) { flagged_ = flagged; }

    // Appends "Handle = Value" and CR LF; nothing for an empty value.
    void WriteText(std::string& out) const;

private:
    void Changed();

    PDDXSection* owner_;
    const ElementName* name_;
    char* value_ = nullptr;
    std::int32_t dataType_;
    // Nearly a gigabyte per value; flags beside the length keep the element at 32 bytes.
    std::uint32_t valueLength_ : 30 = 0;
    std::uint32_t flagged_ : 1 = 0;
    std::uint32_t removed_ : 1 = 0;
};

}  // namespace vantrel
