#include "base/Latin1.h"
#include "import/modJilsConfigRead.h"

#include <algorithm>
#include <charconv>

#include "import/ReaderInput.h"
#include "base/NativeText.h"
#include "base/ReadError.h"
#include "base/modConvert.h"
#include "import/ReaderHelpers.h"
#include "import/modShared.h"

namespace vantrel {
namespace {

constexpr std::string_view kGainElement = "SensorCalibrationCenterGain";

std::int16_t WholeNumberField(std::string_view field, const char* what)
{
    if (!ParseNumber(field)) throw ConversionError(std::string(what) + " " + Quoted(field) + " is not a number");
    return ToInt16(field);
}

// Every `extension` (exact letter case) in the input's name gives way to ".DDX".
void SetFileNameAndLoadType(const std::string& fileName, std::string_view extension, PDDXFile& document)
{
    document.Element("Operations Information", "FileName").SetValue(ReplaceAll(fileName, extension, ".DDX"));
    document.Element("Device Information", "DeviceLoadType").SetValue("Impulse");
}

}  // namespace

void JilsParTarget(std::string_view line, std::string& section, std::string& element)
{
    // Tested in this order, a later match overriding an earlier one.
    if (line.find('#') != std::string_view::npos) {
        section.clear();
        element.clear();
    }
    if (line.find("# number of sensor channel") != std::string_view::npos) {
        section = "Device Configuration";
        element = "NumberOfDeflectionSensors";
    }
    if (line.find("# Sensor channels EU conversion factor") != std::string_view::npos) {
        section = "Device Calibration";
        element = kGainElement;
    }
}

void ReadJilsSetupPar(ReaderContext& /*context*/, ReaderInput& input, PDDXFile& document)
{
    FieldArray fields;
    std::string section, element;
    ForEachLine(input, [&](std::string_view line, int) {
            JilsParTarget(line, section, element);
            if (section.empty()) return;
            SplitOnCommas(line, fields);
            std::string value = fields[1];
            const int count = FieldCount(fields);
            if (element == kGainElement && count > 1) {
                // One gain per sensor channel: values beyond the sensor count are not the sensors'.
                const std::string_view sensors = document.Element("Device Configuration", "NumberOfDeflectionSensors").Value();
                const int n = WholeNumberField(sensors, "the number of deflection sensors");
                const int kept = std::min(count, n);
                value.clear();
                for (int i = 1; i <= kept; ++i) {
                    if (i > 1) value += ",";
                    value += fields[static_cast<std::size_t>(i)];
                }
            }
            document.Element(section, element).SetValue(std::move(value));
    });
    SetFileNameAndLoadType(input.Name, ".PAR", document);
}

void ReadJilsCfg(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    context.NumSensors = 0;
    FieldArray fields;
    int gainLine = 0;
    // Positions count empty lines too.
    ForEachLine(input, [&](std::string_view line, int number) {
            if (number == 1) {
                SplitOnCommas(line, fields);
                const std::int16_t sensors = WholeNumberField(fields[1], "the number of sensor channels");
                context.NumSensors = sensors;
                document.Element("Device Configuration", "NumberOfDeflectionSensors").SetValue(std::to_string(sensors));
                document.Element("Device Information", "SensorSerialNumbers").SetValue("");
            }
            if (number > 1 && number == context.NumSensors + 3) {
                SplitOnCommas(line, fields);
                const int skipped = WholeNumberField(fields[1], "the line count");
                gainLine = context.NumSensors + skipped + 4;
            }
            if (number > 1 && number == gainLine) {
                SplitOnCommas(line, fields);
                document.Element("Device Calibration", "LoadCellCalibrationCenterGain").SetValue(fields[1]);
            }
    });
    SetFileNameAndLoadType(input.Name, ".CFG", document);
}

}  // namespace vantrel
