#pragma once
// One key/value line of a PDDX document.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vantrel {

class PDDXSection;

// Data-type codes the program assigns; stored and carried, nothing branches on them.
enum PDDXDataType : std::int32_t { kNumber = 1, kText = 2, kTimeOfDay = 3, kDate = 4, kUnitName = 5 };

class PDDXElement {
public:
    PDDXElement(std::string handle, std::string description, std::int32_t dataType);
    PDDXElement(const PDDXElement&) = delete;
    PDDXElement& operator=(const PDDXElement&) = delete;

    PDDXSection* Parent() const { return parent_; }
    void SetParent(PDDXSection* parent) { parent_ = parent; }

    const std::string& Handle() const { return handle_; }
    // The handle is the element's key in its section, so it cannot change once the element is in one.
    void SetHandle(std::string handle);

    const std::string& Description() const;
    void SetDescription(std::string description);

    std::int32_t DataType() const { return dataType_; }
    void SetDataType(std::int32_t dataType) { dataType_ = dataType; }

    // Empty text means "no value". Every assignment, even of the same text, tells the section and
    // the document, so that a view of the document stays in step.
    const std::string& Value() const { return value_; }
    void SetValue(std::string value);

    bool Flagged() const { return flagged_; }
    void SetFlagged(bool flagged) { flagged_ = flagged; }

    // Appends "Handle = Value" and CR LF; nothing for an empty value.
    void PDDX_Output(std::string& out) const;

private:
    std::string handle_;
    std::string value_;
    // Nearly every element has no description: keeping it out of line saves a quarter of the
    // memory of a document of a million drops.
    std::unique_ptr<std::string> description_;
    PDDXSection* parent_ = nullptr;
    std::int32_t dataType_;
    bool flagged_ = false;
};

}  // namespace vantrel
