#include "document/PDDXFile.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "base/NumberText.h"

namespace vantrel {
namespace {

struct TemplateElement {
    const char* section;  // nullptr: same section as the row before
    const char* handle;
    std::int32_t dataType;
    const char* value;
    const char* description;
};

#define VANTREL_STR2(x) #x
#define VANTREL_STR(x) VANTREL_STR2(x)

// The standard template, in output order.
constexpr TemplateElement kTemplate[] = {
    {"Pavement Deflection Data Exchange File", "PDDXVersionNumber", kNumber, "1.0", "desc"},
    {nullptr, "VantrelVersionNumber", kText, nullptr, "desc"},
    {nullptr, "DelimiterSymbol", kText, ",", "desc"},
    {nullptr, "DecimalSymbol", kText, ".", "desc"},
    {"Operations Information", "DelimiterSymbol", kText, ",", "desc"},
    {nullptr, "DecimalSymbol", kText, ".", "desc"},
    {nullptr, "SoftwareVersion", kText, "", ""},
    {nullptr, "FileName", kText, "", "blah"},
    {nullptr, "StartTime", kTimeOfDay, "", ""},
    {nullptr, "EndTime", kTimeOfDay, "", ""},
    {nullptr, "StartDate", kDate, "", ""},
    {nullptr, "EndDate", kDate, "", ""},
    {nullptr, "OperatorName", kText, "", ""},
    {nullptr, "WeatherCondition", kText, "", ""},
    {"Units", "LoadPlateRadiusUnits", kUnitName, "", ""},
    {nullptr, "LoadUnits", kUnitName, "", ""},
    {nullptr, "DeflectionUnits", kUnitName, "", ""},
    {nullptr, "TemperatureUnits", kUnitName, "", ""},
    {nullptr, "SensorsLocationUnits", kUnitName, "", ""},
    {nullptr, "GPSUnits", kUnitName, "", ""},
    {nullptr, "TestLocationUnits", kUnitName, "", ""},
    {nullptr, "NominalTestSpacingUnits", kUnitName, "", ""},
    {nullptr, "LoadFrequencyUnits", kUnitName, "", ""},
    {nullptr, "DropHistoryDataFrequencyUnits", kUnitName, "Hertz", ""},
    {"Device Information", "DeviceDesignationName", kText, "", ""},
    {nullptr, "DeviceModelNumber", kText, "", ""},
    {nullptr, "DeviceSerialNumber", kText, "", ""},
    {nullptr, "LoadCellSerialNumber", kText, "", ""},
    {nullptr, "SensorSerialNumbers", kText, "", ""},
    {nullptr, "DeviceLoadType", kText, "Impulse", ""},
    {"Device Configuration", "LoadPlateRadius", kNumber, "", ""},
    {nullptr, "NumberOfDeflectionSensors", kNumber, "0", ""},
    {nullptr, "DeflectionSensorXAxisDistances", kNumber, "", ""},
    {nullptr, "DeflectionSensorYAxisDistances", kNumber, "", ""},
    {nullptr, "NumberOfTemperatureSensors", kNumber, "", ""},
    {nullptr, "TemperatureSensorUse", kText, "", ""},
    {nullptr, "LoadFrequency", kNumber, "", ""},
    {"Device Calibration", "LoadCellCalibrationDate", kDate, "", ""},
    {nullptr, "LoadCellCalibrationFactor", kNumber, "", ""},
    {nullptr, "LoadCellDynamicCalibrationDate", kNumber, "", ""},
    {nullptr, "LoadCellDynamicCalibrationFactor", kNumber, "", ""},
    {nullptr, "LoadCellCalibrationCenterDate", kDate, "", ""},
    {nullptr, "LoadCellCalibrationCenterGain", kNumber, "", ""},
    {nullptr, "LoadCellCalibrationIntercept", kNumber, "", ""},
    {nullptr, "SensorStaticCalibrationDate", kDate, "", ""},
    {nullptr, "SensorStaticCalibrationFactor", kNumber, "", ""},
    {nullptr, "SensorDynamicCalibrationDate", kDate, "", ""},
    {nullptr, "SensorDynamicCalibrationFactor", kNumber, "", ""},
    {nullptr, "SensorReferenceCalibrationDate", kDate, "", ""},
    {nullptr, "SensorReferenceCalibrationFactor", kNumber, "", ""},
    {nullptr, "SensorRelativeCalibrationDate", kDate, "", ""},
    {nullptr, "SensorRelativeCalibrationFactor", kNumber, "", ""},
    {nullptr, "SensorCalibrationCenterDate", kDate, "", ""},
    {nullptr, "SensorCalibrationCenterGain", kNumber, "", ""},
    {nullptr, "DMIDeviceCalibrationDate", kDate, "", ""},
    {nullptr, "DMIDeviceCalibrationFactor", kNumber, "", ""},
    {nullptr, "NumberCalibrations", kNumber, "", ""},
    {"Location Identification", "SiteName", kText, "", ""},
    {nullptr, "FacilityName", kText, "", ""},
    {nullptr, "SectionName", kText, "", ""},
    {nullptr, "DirectionOfTravel", kText, "", ""},
    {nullptr, "PavementType", kText, "", ""},
    {"Deflection Data", "NumberOfTestLocations", kNumber, "0", ""},
    {nullptr, "NominalTestPattern", kText, "", ""},
    {nullptr, "NominalTestSpacing", kNumber, "", ""},
    {nullptr, "DropHistoryDataFrequency", kNumber, "", ""},
    {nullptr, "NumberOfDropHistoryDataSamples", kNumber, "", ""},
};

struct RepeatedElement {
    const char* handle;
    std::int32_t dataType;
    const char* value;
};

constexpr RepeatedElement kTestLocation[] = {
    {"TestLocation", kNumber, ""},  {"GPSLocation", kNumber, ""},      {"TestLane", kText, ""},
    {"TestType", kText, ""},        {"DropHistoryType", kText, ""},    {"TestTemperatures", kNumber, ""},
    {"TestTime", kTimeOfDay, ""},   {"TestComment", kText, ""},        {"NumberOfDrops", kNumber, "0"},
};

constexpr RepeatedElement kCalibrationHistory[] = {
    {"LoadCellSerialNumber", kText, ""},
    {"LoadCellCalibrationFactor", kNumber, ""},
    {"LoadCellCalibrationCenterDate", kDate, ""},
    {"LoadCellCalibrationCenterGain", kNumber, ""},
    {"NumberOfDeflectionSensors", kNumber, ""},
    {"SensorCalibrationCenterDate", kDate, ""},
    {"SensorSerialNumbers", kText, ""},
    {"SensorReferenceCalibrationFactor", kNumber, ""},
    {"SensorCalibrationCenterGain", kNumber, ""},
    {"CalCenterIDCode", kNumber, ""},
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
        if (row.section) section = &AddSection(row.section);
        section->AddElement(row.handle, row.description, row.dataType, row.value ? row.value : version);
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
    if (sections_.Contains(name))
        throw std::invalid_argument("the document already has a section \"" + name + "\"");
    if (numberFromCounter) counter.SetValue(std::to_string(n));
    return AddSection(std::move(name));
}

PDDXSection& PDDXFile::AddTestLocation(int locNum)
{
    PDDXSection& section =
        AddNumberedSection("Test Location ", Element("Deflection Data", "NumberOfTestLocations"), locNum);
    if (locationNames_.empty())
        for (const RepeatedElement& row : kTestLocation) locationNames_.push_back(&text_.Name(row.handle, ""));
    for (std::size_t i = 0; i < std::size(kTestLocation); ++i)
        section.AddNamed(*locationNames_[i], kTestLocation[i].dataType, kTestLocation[i].value);
    return section;
}

void PDDXFile::AddDropData(int dropsToAdd)
{
    CheckCount(dropsToAdd, "number of drops");
    const int t = CounterValue(Element("Deflection Data", "NumberOfTestLocations").Value());
    PDDXSection& section = Section("Test Location " + std::to_string(t));
    section.Element("NumberOfDrops").SetValue(std::to_string(dropsToAdd));
    for (int i = 1; i <= dropsToAdd; ++i) section.AddElement("DropData_" + std::to_string(i), "", kNumber, "");
}

PDDXSection& PDDXFile::AddFWDCalHistory(int calNum)
{
    PDDXSection& section =
        AddNumberedSection("Device Calibration_", Element("Device Calibration", "NumberCalibrations"), calNum);
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
