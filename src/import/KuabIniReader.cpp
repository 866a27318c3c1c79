// KUAB FVO.INI: model, load-cell and sensor calibration factors and the distance-meter factor. A
// missing or non-numeric value where a number belongs is a ReadError naming section and key.

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "base/Latin1.h"
#include "base/NumberText.h"
#include "base/ProfileFile.h"
#include "base/ReadError.h"
#include "import/FileFormats.h"
#include "import/ReaderInput.h"
#include "import/ReaderSupport.h"
#include "import/Sniffing.h"

namespace vantrel {
namespace {

class FvoIni {
public:
    FvoIni(ReaderInput& input, ReadWarnings& warnings) : FvoIni(input.Name, warnings, ReadAllText(input.Bytes)) {}

    // The value as the lookup gives it: cut at ProfileFile::kMaxValueLength characters.
    std::string Text(std::string_view section, std::string_view key) const
    {
        const std::string_view whole = profile_.Value(section, key);
        if (whole.size() > ProfileFile::kMaxValueLength)
            warnings_.Add(LineOf(section, key), "[" + std::string(section) + "] " + std::string(key) + " is " +
                                                    std::to_string(whole.size()) + " characters long; only the first " +
                                                    std::to_string(ProfileFile::kMaxValueLength) + " were read");
        return profile_.Lookup(section, key);
    }

    // A value that must be a number, in single precision.
    float Number(std::string_view section, std::string_view key) const
    {
        const std::string where = "[" + std::string(section) + "] " + std::string(key);
        const int at = profile_.FindSection(section);
        if (at < 0)
            throw Failure("there is no section [" + std::string(section) + "], whose key \"" + std::string(key) +
                          "\" must hold a number");
        if (!profile_.Find(at, key))
            throw Failure("section [" + std::string(section) + "] has no key \"" + std::string(key) +
                          "\", which must hold a number");
        try {
            return ToSingle(Text(section, key));
        } catch (const ConversionError& e) {
            throw Failure(where + ": " + e.what());
        }
    }

    std::string NumberText(std::string_view section, std::string_view key) const
    {
        return SingleText(Number(section, key));
    }

    int LineOf(std::string_view section, std::string_view key) const { return profile_.LineOf(section, key); }
    ReadError Failure(const std::string& reason) const { return ReadError(fileName_, 0, reason); }

private:
    FvoIni(const std::string& fileName, ReadWarnings& warnings, std::string text)
        : fileName_(fileName), warnings_(warnings), profile_(std::move(text))
    {
        for (const ProfileFile::SkippedLine& skipped : profile_.Skipped()) warnings_.Add(skipped.Line, skipped.Why);
    }

    const std::string& fileName_;
    ReadWarnings& warnings_;
    ProfileFile profile_;
};

// The local calendar date on which the file was last written, "dd-mmm-yyyy".
std::string ModificationDate(const ReaderInput& input)
{
    if (!input.Modified) throw ReadError(input.Name, 0, "its modification date is not known");
    const std::chrono::year_month_day day = *input.Modified;
    try {
        return FormatDate(DateFromParts(static_cast<int>(day.year()),
                                        static_cast<int>(static_cast<unsigned>(day.month())),
                                        static_cast<int>(static_cast<unsigned>(day.day()))));
    } catch (const ConversionError& e) {
        throw ReadError(input.Name, 0, std::string("its modification date: ") + e.what());
    }
}

const char* ModelName(std::string_view fwdType)
{
    std::optional<double> code;
    try {
        code = ParseNumber(fwdType);
    } catch (const OverflowError&) {
        return nullptr;  // a number, but far from any model code
    }
    if (code) {
        if (*code == 1) return "model 50 type endswitches";
        if (*code == 2) return "model 150 type endswitches";
        if (*code == 3) return "model NAVY";
        return nullptr;
    }
    if (fwdType == "New York") return "New York -01 (heightsensor)";
    return nullptr;
}

}  // namespace

void ReadKuabFvoIni(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    const FvoIni ini(input, context.Warnings);

    document.Element(pddx::DeviceInformation::DeviceDesignationName).SetValue("KUAB FWD");
    if (const char* model = ModelName(ini.Text("rack", "fwdtype")))
        document.Element(pddx::DeviceInformation::DeviceModelNumber).SetValue(model);

    document.Element(pddx::DeviceCalibration::LoadCellCalibrationFactor)
        .SetValue(ini.NumberText("loadplate1", "calfac"));
    document.Element(pddx::DeviceCalibration::LoadCellCalibrationIntercept)
        .SetValue(ini.NumberText("loadplate1", "caladd"));
    document.Element(pddx::DeviceCalibration::LoadCellCalibrationCenterGain)
        .SetValue(ini.NumberText("loadplate1", "sharpcalfac"));

    const float count = ini.Number("sensors", "numberofsensors");
    document.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors).SetValue(SingleText(count));
    std::int16_t n = 0;
    try {
        n = RoundToInt16(count);
    } catch (const ConversionError& e) {
        throw ini.Failure(std::string("[sensors] numberofsensors: ") + e.what());
    }
    if (n < 1 || static_cast<float>(n) != count)
        context.Warnings.Add(ini.LineOf("sensors", "numberofsensors"),
                             "numberofsensors " + Quoted(SingleText(count)) + " is not a whole number of at least 1; " +
                                 (n > 1 ? "the first " + std::to_string(n) + " sensors were" : "[sensor0] alone was") +
                                 " read");
    // Four lists, one entry per sensor: the first sensor's values replace what the elements held,
    // each further sensor's are appended.
    struct SensorList {
        const char* key;
        SectionAndKey element;
        bool number;
        std::string value;
    };
    SensorList lists[] = {
        {"seismoid", pddx::DeviceInformation::SensorSerialNumbers, false, {}},
        {"calfac", pddx::DeviceCalibration::SensorStaticCalibrationFactor, true, {}},
        {"dyncalfac", pddx::DeviceCalibration::SensorDynamicCalibrationFactor, true, {}},
        {"sharpcalfac", pddx::DeviceCalibration::SensorCalibrationCenterGain, true, {}},
    };
    const auto read = [&ini](const std::string& section, const SensorList& list) {
        return list.number ? ini.NumberText(section, list.key) : ini.Text(section, list.key);
    };
    for (SensorList& list : lists) {
        list.value = read("sensor0", list);
        document.Element(list.element).SetValue(list.value);
    }
    if (n > 1) {
        // Gathered here and stored once, so that many sensors do not copy ever longer lists; a
        // failure still leaves the sensors read before it in the document.
        const auto store = [&] {
            for (SensorList& list : lists) document.Element(list.element).SetValue(std::move(list.value));
        };
        try {
            for (int i = 1; i < n; ++i) {
                const std::string section = "sensor" + std::to_string(i);
                for (SensorList& list : lists) {
                    const std::string value = read(section, list);  // read first: a failure adds no ", "
                    list.value.append(", ").append(value);
                }
            }
        } catch (const ReadError&) {
            store();
            throw;
        }
        store();
    }

    document.Element(pddx::DeviceCalibration::DMIDeviceCalibrationFactor)
        .SetValue(ini.NumberText("distmeter", "calfac"));
    document.Element(pddx::OperationsInformation::FileName).SetValue(ReplaceAll(input.Name, ".INI", ".DDX"));
    document.Element(pddx::OperationsInformation::EndDate).SetValue(ModificationDate(input));
    if (input.ModifiedIsReadingDay)
        context.Warnings.Add(0, "the input has no modification date of its own; EndDate is the day it was read");
    document.Element(pddx::Units::DropHistoryDataFrequencyUnits).SetValue("Hertz");
    document.Element(pddx::DeviceInformation::DeviceLoadType).SetValue("Impulse");
}

// INI-shaped; a mark for each section the reader looks up: rack, loadplate1, sensors, sensor0,
// distmeter.
int SniffKuabIni(const SniffSample& sample)
{
    const IniShape shape = IniShapeOf(sample);
    if (!shape.Fits) return 0;
    int marks = 0;
    for (std::string_view name : {"rack", "loadplate1", "sensors", "sensor0", "distmeter"})
        marks += std::any_of(shape.Sections.begin(), shape.Sections.end(),
                             [&](std::string_view section) { return EqualsIgnoreCase(section, name); });
    return Score(marks);
}
}  // namespace vantrel
