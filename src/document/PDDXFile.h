#pragma once
// One PDDX document. Creating it builds the standard template: the fixed sections and elements,
// in output order, with their defaults; readers then fill values and add test locations.

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/KeyedCollection.h"
#include "document/PDDXSection.h"
#include "document/TemplateNames.h"

namespace vantrel {

// The program's version, as written into every document and shown to the user.
std::string VantrelVersionText();

class PDDXFile {
public:
    PDDXFile();
    PDDXFile(const PDDXFile&) = delete;
    PDDXFile& operator=(const PDDXFile&) = delete;

    KeyedCollection<PDDXSection>& Sections() { return sections_; }
    const KeyedCollection<PDDXSection>& Sections() const { return sections_; }

    // Lookups by name (any letter case); std::out_of_range naming what is missing.
    PDDXSection& Section(std::string_view name) const;
    PDDXElement& Element(std::string_view section, std::string_view handle) const;
    // A template element by its constant (pddx::Units::LoadUnits), which names its section too.
    PDDXElement& Element(const SectionAndKey& name) const { return Element(name.Section, name.Key); }

    // Appends "Test Location " + n with its nine elements. With 0, n is NumberOfTestLocations + 1
    // and the counter is raised; otherwise the counter stays. An existing section is an error.
    PDDXSection& AddTestLocation(int locNum = 0);

    // Gives the highest-numbered test location NumberOfDrops = dropsToAdd and empty drops
    // DropData_1 to DropData_dropsToAdd (existing ones are kept). No such location is an error.
    void AddDropData(int dropsToAdd);

    // Appends "Device Calibration_" + n, numbered like AddTestLocation by NumberCalibrations.
    PDDXSection& AddFWDCalHistory(int calNum = 0);

    // Writes every section in order as CR LF text.
    void WriteText(std::ostream& out) const;

    // Where the document's elements keep their text.
    DocumentText& Text() { return text_; }

    // ElementChange: raised after any element's Value is set, with the live element.
    using ElementChangeHandler = std::function<void(PDDXElement&)>;
    int SubscribeElementChange(ElementChangeHandler handler);
    void UnsubscribeElementChange(int subscription);

private:
    friend class PDDXSection;
    void NotifyElementChange(PDDXElement& element);
    PDDXSection& AddSection(std::string handle);
    // prefix + n, where n is `number` or, for 0, the counter + 1 (the counter then raised).
    PDDXSection& AddNumberedSection(std::string_view prefix, PDDXElement& counter, int number);
    void BuildTemplate();

    DocumentText text_;                              // before the sections, which refer to it
    std::vector<const ElementName*> locationNames_;  // the nine of a test location, once kept
    KeyedCollection<PDDXSection> sections_;
    std::vector<std::pair<int, ElementChangeHandler>> elementChangeHandlers_;
    int nextSubscription_ = 1;
};

}  // namespace vantrel
