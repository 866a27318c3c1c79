// The Carl Bro configuration, exported as tab-separated text: the transducers one after another,
// each heading followed by its "ID", "Slope" and date lines.

#include <charconv>

#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/NumberText.h"
#include "base/ReadError.h"
#include "import/CarlBroDevice.h"
#include "import/LineChecks.h"
#include "import/FileFormats.h"
#include "import/ReaderInput.h"
#include "import/ReaderSupport.h"
#include "import/Sniffing.h"

namespace vantrel {
namespace {

enum class ConfigMode : std::int16_t { None = 0, Geophone = 1, LoadCell = 2, Temperature = 3 };

struct ConfigLine {
    std::string_view key;    // field 0 without its trailing blanks
    std::string_view value;  // field 1
    bool hasValue = false;   // the line has a tab, so a field 1
};

ConfigLine SplitConfigLine(std::string_view line)
{
    ConfigLine out;
    const std::size_t tab = line.find('\t');
    out.key = line.substr(0, tab);
    const std::size_t last = out.key.find_last_not_of(' ');
    out.key = last == std::string_view::npos ? std::string_view() : out.key.substr(0, last + 1);
    if (tab != std::string_view::npos) {
        out.hasValue = true;
        const std::string_view rest = line.substr(tab + 1);
        out.value = rest.substr(0, rest.find('\t'));
    }
    return out;
}

std::string_view RequiredValue(const ConfigLine& line)
{
    if (!line.hasValue) throw InputError("the " + Quoted(line.key) + " line has no value: no tab follows the key");
    return line.value;
}

// A date written day/month/year, e.g. "15/03/04"; two-digit years as everywhere else.
std::chrono::sys_days ConfigDate(std::string_view text)
{
    int parts[3];
    std::string_view rest = text;
    for (int i = 0; i < 3; ++i) {
        const std::size_t slash = rest.find('/');
        if ((i < 2) == (slash == std::string_view::npos))
            throw ConversionError("the date " + Quoted(text) + " is not day/month/year");
        try {
            parts[i] = ToInt16(rest.substr(0, slash));
        } catch (const ConversionError&) {
            throw ConversionError("the date " + Quoted(text) + " is not day/month/year");
        }
        if (slash != std::string_view::npos) rest.remove_prefix(slash + 1);
    }
    return DateFromParts(parts[2], parts[1], parts[0]);
}

// Geophone 1 starts a list; every other geophone adds to it in file order.
void SetOrAppend(PDDXElement& element, bool start, std::string_view value)
{
    if (start) element.SetValue(std::string(value));
    else element.AppendItem(value);
}

// The transducer the lines are about, from line to line of one file.
struct ConfigState {
    ConfigMode Mode = ConfigMode::None;
    std::int16_t Geophone = 0;
    std::int16_t LastGeophone = 0;  // of the last "Geophone nr." line of this file; 0 before it
};

void GeophoneLine(const ConfigLine& line, ConfigState& state, LineFaults& faults)
{
    const std::string_view number = RequiredValue(line);
    state.Mode = ConfigMode::Geophone;
    try {
        state.Geophone = ToInt16(number);
    } catch (const ConversionError&) {
        throw ConversionError("the geophone number " + Quoted(number) + " is not a whole number");
    }
    if (state.Geophone == 1 && state.LastGeophone != 0)
        faults.Note("geophone 1 follows geophone " + std::to_string(state.LastGeophone) +
                    " and starts the serial numbers and slopes again: those read before are lost");
    state.LastGeophone = state.Geophone;
}

void IdLine(const ConfigLine& line, const ConfigState& state, PDDXFile& document)
{
    const std::string_view id = RequiredValue(line);
    if (state.Mode == ConfigMode::Geophone)
        SetOrAppend(document.Element(pddx::DeviceInformation::SensorSerialNumbers), state.Geophone == 1, id);
    else if (state.Mode == ConfigMode::LoadCell)
        document.Element(pddx::DeviceInformation::LoadCellSerialNumber).SetValue(std::string(id));
}

void SlopeLine(const ConfigLine& line, const ConfigState& state, PDDXFile& document, LineFaults& faults)
{
    const std::string factor = CommaToPoint(RequiredValue(line));
    if (state.Mode == ConfigMode::Geophone || state.Mode == ConfigMode::LoadCell) faults.ExpectNumber("slope", factor);
    if (state.Mode == ConfigMode::Geophone)
        SetOrAppend(document.Element(pddx::DeviceCalibration::SensorDynamicCalibrationFactor), state.Geophone == 1,
                    factor);
    else if (state.Mode == ConfigMode::LoadCell)
        document.Element(pddx::DeviceCalibration::LoadCellCalibrationFactor).SetValue(factor);
}

void CalibrationDateLine(const ConfigLine& line, const ConfigState& state, PDDXFile& document)
{
    const std::string_view date = RequiredValue(line);
    // Only the first geophone's date and the load cell's are kept, so only they are read.
    if (state.Mode == ConfigMode::Geophone && state.Geophone == 1)
        document.Element(pddx::DeviceCalibration::SensorDynamicCalibrationDate).SetValue(FormatDate(ConfigDate(date)));
    else if (state.Mode == ConfigMode::LoadCell)
        document.Element(pddx::DeviceCalibration::LoadCellCalibrationDate).SetValue(FormatDate(ConfigDate(date)));
}

// A heading names the transducer the lines after it are about; their keys fill its elements.
void ReadConfigLine(const ConfigLine& line, ConfigState& state, PDDXFile& document, LineFaults& faults)
{
    const std::string_view key = line.key;
    if (key == "Customer")
        document.Element(pddx::DeviceInformation::DeviceSerialNumber).SetValue(std::string(RequiredValue(line)));
    else if (key == "Geophone nr.") GeophoneLine(line, state, faults);
    else if (key == "Force") state.Mode = ConfigMode::LoadCell;
    else if (key == "Air temp." || key == "Surface temp." || key == "Manual temp.")
        state.Mode = ConfigMode::Temperature;
    else if (key == "ID") IdLine(line, state, document);
    else if (key == "Slope") SlopeLine(line, state, document, faults);
    else if (key == "[dd/mm/yy]") CalibrationDateLine(line, state, document);
}

}  // namespace

void ReadCarlBroConfig(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    ConfigState state;
    ForEachLine(input, [&](std::string_view text, int lineNumber) {
        LineFaults faults;
        ReadConfigLine(SplitConfigLine(text), state, document, faults);
        faults.Report(context.Warnings, lineNumber);
    });
    AtLine(input.Name, 0, [&] {
        document.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors).SetValue(std::to_string(state.Geophone));
        document.Element(pddx::DeviceCalibration::SensorCalibrationCenterGain)
            .SetValue(document.Element(pddx::DeviceCalibration::SensorDynamicCalibrationFactor).Value());
        document.Element(pddx::DeviceCalibration::LoadCellCalibrationCenterGain)
            .SetValue(document.Element(pddx::DeviceCalibration::LoadCellCalibrationFactor).Value());
        // Named after the input, as the FWD file it came with would be.
        document.Element(pddx::OperationsInformation::FileName).SetValue(ReplaceAll(input.Name, ".FWD", ".DDX"));
        SetCarlBroDevice(document);
    });
}

// Transducer blocks; marks: the keys the reader acts on ("Geophone nr.", "Force", the
// temperature headings, "ID", "Slope", "[dd/mm/yy]", "Customer"), compared as the reader compares
// them (exact, trailing blanks dropped), those with a value only after a tab.
int SniffCarlBroConfig(const SniffSample& sample)
{
    static constexpr struct {
        std::string_view key;
        bool tabbed;
    } kKeys[] = {{"Geophone nr.", true}, {"Slope", true},          {"ID", true},
                 {"[dd/mm/yy]", true},   {"Customer", true},       {"Force", false},
                 {"Air temp.", false},   {"Surface temp.", false}, {"Manual temp.", false}};
    bool seen[std::size(kKeys)] = {};
    for (std::string_view line : sample.Filled()) {
        const std::size_t tab = line.find('\t');
        std::string_view key = line.substr(0, tab);
        key = key.substr(0, key.find_last_not_of(' ') + 1);
        for (std::size_t k = 0; k < std::size(kKeys); ++k)
            seen[k] = seen[k] || (key == kKeys[k].key && (!kKeys[k].tabbed || tab != std::string_view::npos));
    }
    return Score(static_cast<int>(std::count(std::begin(seen), std::end(seen), true)));
}
}  // namespace vantrel
