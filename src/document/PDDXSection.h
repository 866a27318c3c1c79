#pragma once
// One bracketed block of a PDDX document: an ordered, keyed collection of elements.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "document/DocumentText.h"
#include "document/KeyedCollection.h"
#include "document/PDDXElement.h"

namespace vantrel {

class PDDXFile;

class PDDXSection {
public:
    explicit PDDXSection(std::string handle);
    PDDXSection(const PDDXSection&) = delete;
    PDDXSection& operator=(const PDDXSection&) = delete;

    const std::string& Handle() const { return handle_; }
    // The handle is the section's key in its document, so it cannot change once it is in one.
    void SetHandle(std::string handle);
    std::size_t KeyHash() const { return hash_; }

    KeyedCollection<PDDXElement>& Elements() { return elements_; }
    const KeyedCollection<PDDXElement>& Elements() const { return elements_; }

    PDDXFile* Parent() const { return parent_; }
    void SetParent(PDDXFile* parent) { parent_ = parent; }

    // The element with this handle (any letter case); std::out_of_range naming section and key.
    PDDXElement& Element(std::string_view handle) const;

    // Appends an element; a handle already present is quietly ignored and the first one stays.
    void AddElement(std::string_view handle, std::string_view description, std::int32_t dataType,
                    std::string_view value);

    // Removes the element with this handle; std::out_of_range when there is none.
    void RemoveElement(std::string_view handle);

    // Appends "[Handle]", the lines of the elements with a value, and an empty line.
    void WriteText(std::string& out) const;

    // Appends "DropData_" + n. With 0, n is NumberOfDrops + 1 and the counter is raised; otherwise
    // n is dropNum and the counter stays. An existing handle or a non-numeric counter is an error.
    PDDXElement& AddDropData(int dropNum = 0);

    // Appends "DropHistoryData_" + dropNum + "_" + sampleNum; an existing handle is an error.
    PDDXElement& AddHistoryData(int dropNum, int sampleNum);
    // As AddHistoryData, but where the section has that sample already, nullptr and `refused` (when
    // given) says so: a reader meets it in files, so it is no exception there.
    PDDXElement* AddHistoryDataIfNew(int dropNum, int sampleNum, std::string* refused);

    // Where the elements keep their text: the document's, or the section's own while it is in none.
    DocumentText& Text();

private:
    friend class PDDXElement;
    friend class PDDXFile;
    // AddElement for a name already kept in this section's text.
    void AddNamed(const ElementName& name, std::int32_t dataType, std::string_view value);
    void NotifyElementChange(PDDXElement& element);
    // `name`, when no element of this section has it; std::invalid_argument otherwise.
    const ElementName& NewName(const ElementName& name) const;
    std::string AlreadyHas(const ElementName& name) const;

    std::string handle_;
    std::size_t hash_;
    PDDXFile* parent_ = nullptr;
    std::unique_ptr<DocumentText> ownText_;  // before the elements, which it holds
    KeyedCollection<PDDXElement> elements_;
    PDDXElement* dropCounter_ = nullptr;  // NumberOfDrops, once AddDropData has looked it up
};

}  // namespace vantrel
