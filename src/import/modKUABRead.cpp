#include "import/modKUABRead.h"

#include <array>
#include <chrono>
#include <cmath>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

#include "import/ReaderInput.h"
#include "base/Latin1.h"
#include "base/ProfileFile.h"
#include "import/KuabCarryOver.h"
#include "base/NativeText.h"
#include "base/ReadError.h"
#include "base/modConvert.h"
#include "import/ReaderHelpers.h"

namespace vantrel {
namespace {

// The table holds at most this many columns, and the sensor-offset list as many words.
constexpr int kMaxColumns = 25;
constexpr int kMaxTemperatureColumns = 10;

// Lists are joined with ", " between entries; an entry may itself be empty.
void AppendListItem(std::string& list, int index, std::string_view item)
{
    if (index > 1) list.append(", ");
    list.append(item);
}

// ---- header lines ("C", "H", "I") ----

// The value's words as sensor offsets: the last word is their unit.
void SensorDistanceRule(ReaderContext& context, std::string_view value, PDDXFile& document)
{
    std::array<std::string, 26> words;
    try {
        SplitOnSpaces(value, words);
    } catch (const std::out_of_range&) {
        throw std::out_of_range("the sensor distances hold more than 25 words (24 offsets and their unit at most)");
    }
    // An empty value is read by the same rule: the count becomes -1 (later drops then take no
    // field at all) and the unit word is entry 0, the word count "0".
    const int count = FieldCount(words);
    const auto n = static_cast<std::int16_t>(count - 1);

    KuabCarryOver& carry = context.CarryOver.Kuab;
    carry.SensorDistances = words;
    carry.SensorOffsets = std::move(words);
    context.NumSensors = n;
    Set(document, "Device Configuration", "NumberOfDeflectionSensors", std::to_string(n));
    const std::string& unit = carry.SensorOffsets[static_cast<std::size_t>(count)];
    Set(document, "Units", "SensorsLocationUnits", NormaliseUnitName(unit));
}

// Sensors in front of the plate get negative offsets. Each position line starts again from the
// offsets as the sensor-distance line gave them, so repeating it does not sign an offset twice.
void SensorPositionRule(ReaderContext& context, KuabFwdFileState& file, std::string_view value, PDDXFile& document)
{
    FieldArray& positions = file.Fields;
    SplitOnSpaces(value, positions);
    const int n = context.NumSensors;
    if (n > kMaxColumns)
        throw std::out_of_range("the sensor count " + std::to_string(n) +
                                " is more than the 25 sensor offsets a position line can place");

    KuabCarryOver& carry = context.CarryOver.Kuab;
    std::string x, y;
    for (int i = 1; i <= n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const std::string_view distance = TrimBlanks(carry.SensorDistances[at]);
        if (TextContains("FRONT", positions[at])) {
            std::string negative = "-" + std::string(distance);
            AppendListItem(x, i, negative);
            carry.SensorOffsets[at] = std::move(negative);
        } else {
            AppendListItem(x, i, distance);
            carry.SensorOffsets[at] = carry.SensorDistances[at];
        }
        AppendListItem(y, i, "0");
    }
    Set(document, "Device Configuration", "DeflectionSensorXAxisDistances", std::move(x));
    Set(document, "Device Configuration", "DeflectionSensorYAxisDistances", std::move(y));
}

// "number unit": the number into one element, the unit word into another.
void NumberAndUnit(KuabFwdFileState& file, std::string_view value, PDDXFile& document, std::string_view valueSection,
                   std::string_view valueKey, std::string_view unitKey, bool trimNumber)
{
    SplitOnSpaces(value, file.Fields);
    const std::string& number = file.Fields[1];
    Set(document, "Units", unitKey, NormaliseUnitName(file.Fields[2]));
    Set(document, valueSection, valueKey, trimNumber ? std::string(TrimBlanks(number)) : number);
}

// Header keys whose value is copied as it stands, in the order they are tried.
struct TextRule {
    std::string_view word;
    const char* section;
    const char* key;
};
constexpr TextRule kTextRules[] = {
    {"Road Name", "Location Identification", "FacilityName"},
    {"Site", "Location Identification", "SiteName"},
    {"Operator", "Operations Information", "OperatorName"},
    {"Operat\xF6r", "Operations Information", "OperatorName"},
    {"weather", "Operations Information", "WeatherCondition"},
    {"Date Created", "Operations Information", "StartDate"},  // as written, not reformatted
};

void HeaderLine(ReaderContext& context, KuabFwdFileState& file, std::string_view line, PDDXFile& document)
{
    const std::size_t colon = line.find(':', 1);
    if (colon == std::string_view::npos) return;  // no key: no rule applies
    const std::string_view key = line.substr(1, colon - 1);
    const std::string_view value = line.substr(colon + 1);  // not trimmed: the blank after ":" stays

    // The first rule whose word the key contains decides, so "Sensor Distance" never reaches the
    // position rules and "Operator Site" is a site.
    for (const TextRule& rule : kTextRules) {
        if (TextContains(rule.word, key)) {
            Set(document, rule.section, rule.key, std::string(value));
            return;
        }
    }
    if (TextContains("Plate Radius", key))
        NumberAndUnit(file, value, document, "Device Configuration", "LoadPlateRadius", "LoadPlateRadiusUnits", false);
    else if (TextContains("Sensor Distance", key) || TextContains("Distance", key))
        SensorDistanceRule(context, value, document);
    else if (TextContains("Sensor Position", key) || TextContains("Position", key))
        SensorPositionRule(context, file, value, document);
    else if (TextContains("Testpoint spacing", key))
        NumberAndUnit(file, value, document, "Deflection Data", "NominalTestSpacing", "NominalTestSpacingUnits", true);
}

// ---- table header lines ("J") ----

// The sensor a deflection title names: the number after its first character, plus 1.
std::size_t SensorOfTitle(std::string_view title)
{
    const auto number = ParseNumber(title.substr(1));
    if (!number || *number != std::floor(*number))
        throw std::invalid_argument("the deflection column title " + Quoted(title) + " does not end in a sensor number");
    if (*number < 0 || *number > kMaxColumns - 1)
        throw std::out_of_range("the deflection column title " + Quoted(title) + " names a sensor outside 0 to 24");
    return static_cast<std::size_t>(*number) + 1;
}

void CheckColumnCount(int count, std::string_view what)
{
    if (count > kMaxColumns)
        throw std::out_of_range("the " + std::string(what) + " has " + std::to_string(count) +
                                " columns, more than 25");
}

// Column titles. Form A (a "Distance" line) may name a time column and takes two-character
// deflection titles; form B (a "Station" line) takes deflection titles of up to three.
void ColumnTitleLine(ReaderContext& context, KuabFwdFileState& file, bool formA, PDDXFile& document)
{
    const FieldArray& titles = file.Fields;
    const int columns = FieldCount(titles);
    CheckColumnCount(columns, "column title line");

    KuabCarryOver& carry = context.CarryOver.Kuab;
    std::int16_t timeColumn = carry.TimeColumn;
    std::array<std::int16_t, 11> temperatures = carry.TemperatureColumns;
    int t = 0, d = 0;
    std::string uses, x, y;
    for (int i = 1; i <= columns; ++i) {
        const std::string_view title = titles[static_cast<std::size_t>(i)];
        if (formA && TextContains("time", title)) timeColumn = static_cast<std::int16_t>(i);

        const char* use = TextContains("Air", title)      ? "Air"
                          : TextContains("Pave", title)   ? "Pavement"
                          : TextContains("Ground", title) ? "Ground"
                                                          : nullptr;
        if (use) {
            if (t == kMaxTemperatureColumns)
                throw std::out_of_range("the column title line has more than 10 temperature columns");
            temperatures[static_cast<std::size_t>(++t)] = static_cast<std::int16_t>(i);
            AppendListItem(uses, t, use);
        }

        const bool deflection = TextContains("D", title) && (formA ? title.size() == 2 : title.size() <= 3);
        if (deflection) {
            ++d;
            AppendListItem(x, d, TrimBlanks(carry.SensorOffsets[SensorOfTitle(title)]));
            AppendListItem(y, d, "0");
        }
    }

    carry.TimeColumn = timeColumn;
    temperatures[0] = static_cast<std::int16_t>(t);
    carry.TemperatureColumns = temperatures;
    context.NumSensors = d;
    Set(document, "Device Configuration", "NumberOfDeflectionSensors", std::to_string(d));
    Set(document, "Device Configuration", "NumberOfTemperatureSensors", std::to_string(t));
    Set(document, "Device Configuration", "TemperatureSensorUse", std::move(uses));
    Set(document, "Device Configuration", "DeflectionSensorXAxisDistances", std::move(x));
    Set(document, "Device Configuration", "DeflectionSensorYAxisDistances", std::move(y));
}

// The units under the titles: station unit, (drop,) load unit, deflection unit, and the unit of
// the first temperature column.
void UnitsLine(ReaderContext& context, KuabFwdFileState& file, bool metric, PDDXFile& document)
{
    const FieldArray& units = file.Fields;
    const std::string station = NormaliseUnitName(units[1]);
    Set(document, "Units", "TestLocationUnits",
        metric ? station + ", " + station + ", " + station : station + ", inch, inch");
    Set(document, "Units", "LoadUnits", NormaliseUnitName(units[3]));
    Set(document, "Units", "DeflectionUnits", NormaliseUnitName(units[4]));
    // Without a known temperature column there is no word to take; the element keeps its value.
    const auto& temperatures = context.CarryOver.Kuab.TemperatureColumns;
    if (temperatures[0] > 0)
        Set(document, "Units", "TemperatureUnits", NormaliseUnitName(units[static_cast<std::size_t>(temperatures[1])]));
}

void ColumnWidthLine(ReaderContext& context, KuabFwdFileState& file)
{
    const int columns = FieldCount(file.Fields);
    CheckColumnCount(columns, "dash line");
    auto& widths = context.CarryOver.Kuab.ColumnWidths;
    widths[0] = columns;
    for (std::size_t i = 1; i <= static_cast<std::size_t>(columns); ++i)
        widths[i] = static_cast<std::int32_t>(file.Fields[i].size());
}

void TableHeaderLine(ReaderContext& context, KuabFwdFileState& file, std::string_view line, PDDXFile& document)
{
    enum class Kind { TitlesA, TitlesB, Metric, Customary, Widths };
    Kind kind;
    if (TextContains("Distance", line)) kind = Kind::TitlesA;
    else if (TextContains("Station", line)) kind = Kind::TitlesB;
    else if (TextContains("kN", line)) kind = Kind::Metric;  // a line with both "kN" and "lbf" is metric
    else if (TextContains("lbf", line)) kind = Kind::Customary;
    else if (line.find("---") != std::string_view::npos) kind = Kind::Widths;
    else return;

    SplitOnSpaces(line.substr(1), file.Fields);
    switch (kind) {
    case Kind::TitlesA: ColumnTitleLine(context, file, true, document); break;
    case Kind::TitlesB: ColumnTitleLine(context, file, false, document); break;
    case Kind::Metric: UnitsLine(context, file, true, document); break;
    case Kind::Customary: UnitsLine(context, file, false, document); break;
    case Kind::Widths: ColumnWidthLine(context, file); break;
    }
}

// ---- data lines ("D") ----

// The time column's text is cut from the line by the dash widths, one character to the left of
// the column: the blank before it (or the record letter) is part of it. Not trimmed.
std::string_view TimeText(const KuabCarryOver& carry, std::string_view line)
{
    const int column = carry.TimeColumn;
    std::size_t start = 0;
    for (int i = 1; i < column; ++i)
        start += static_cast<std::size_t>(carry.ColumnWidths[static_cast<std::size_t>(i)]) + 1;
    if (start >= line.size()) return {};
    return line.substr(start, static_cast<std::size_t>(carry.ColumnWidths[static_cast<std::size_t>(column)]) + 1);
}

void DataLine(ReaderContext& context, KuabFwdFileState& file, std::string_view line, PDDXFile& document)
{
    FieldArray& fields = file.Fields;
    SplitOnSpaces(line.substr(1), fields);
    const KuabCarryOver& carry = context.CarryOver.Kuab;

    const int n = context.NumSensors;  // below 0 (an empty distance line): no field at all
    if (3 + n > static_cast<int>(fields.size()) - 1)
        throw std::out_of_range("a drop of " + std::to_string(n) + " deflections needs fields 3 to " +
                                std::to_string(3 + n) + ", but a line holds at most 40");

    const bool firstOfFile = !file.LocationOpen;
    if (firstOfFile || fields[1] != file.LastStation) {
        PDDXSection& location = document.AddTestLocation();
        file.CurrentLocation = &location;
        file.TestTime = &location.Element("TestTime");
        file.TestLocation = &location.Element("TestLocation");
        file.TestTemperatures = &location.Element("TestTemperatures");
        file.LastStation = fields[1];
        std::string where(TrimBlanks(fields[1]));
        file.TestLocation->SetValue(where.append(", 0, 0"));  // the same for every drop at this station
    }
    if (!file.EndTime) {
        file.StartTime = &document.Element("Operations Information", "StartTime");
        file.EndTime = &document.Element("Operations Information", "EndTime");
    }

    // Before any title line has named a time column there is no time to cut: the times stay.
    if (carry.TimeColumn > 0) {
        const std::string_view time = TimeText(carry, line);
        if (firstOfFile) file.StartTime->SetValue(time);
        file.TestTime->SetValue(time);
        file.EndTime->SetValue(time);
    }
    file.LocationOpen = true;

    std::string& drop = file.Drop;
    drop.clear();
    for (int i = 3; i <= 3 + n; ++i) {
        if (i > 3) drop.append(", ");
        drop.append(TrimBlanks(fields[static_cast<std::size_t>(i)]));
    }
    file.CurrentLocation->AddDropData().SetValue(drop);

    std::string temperatures;
    const auto& columns = carry.TemperatureColumns;
    for (int i = 1; i <= columns[0]; ++i) {
        if (i > 1) temperatures.append(", ");
        temperatures.append(fields[static_cast<std::size_t>(columns[static_cast<std::size_t>(i)])]);
    }
    file.TestTemperatures->SetValue(std::move(temperatures));
}

// ---- FVO.INI ----

class FvoIni {
public:
    explicit FvoIni(ReaderInput& input) : fileName_(input.Name), profile_(ReadAllText(input.Bytes, true)) {}

    std::string Text(std::string_view section, std::string_view key) const { return profile_.Lookup(section, key); }

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
            return ToSingle(profile_.Lookup(at, key));
        } catch (const std::exception& e) {
            throw Failure(where + ": " + e.what());
        }
    }

    std::string NumberText(std::string_view section, std::string_view key) const
    {
        return SingleText(Number(section, key));
    }

    ReadError Failure(const std::string& reason) const { return ReadError(fileName_, 0, reason); }

private:
    const std::string& fileName_;
    ProfileFile profile_;
};

// The local calendar date on which the file was last written, "dd-mmm-yyyy".
std::string ModificationDate(const ReaderInput& input)
{
    if (!input.Modified) throw ReadError(input.Name, 0, "its modification date is not known");
    const std::chrono::year_month_day day = *input.Modified;
    try {
        return FormatDate(DateFromParts(static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
                                        static_cast<int>(static_cast<unsigned>(day.day()))));
    } catch (const std::exception& e) {
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

void ParseKuabFwdLine(ReaderContext& context, KuabFwdFileState& file, std::string_view line, PDDXFile& document)
{
    if (line.empty()) return;
    switch (line.front()) {
    case 'C':
    case 'H':
    case 'I': HeaderLine(context, file, line, document); break;
    case 'J': TableHeaderLine(context, file, line, document); break;
    case 'D': DataLine(context, file, line, document); break;
    default: break;  // other record letters carry nothing the document takes
    }
}

void ReadKuabFwd(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    KuabFwdFileState file;
    NativeLines lines(input.Bytes);
    std::string_view title;
    if (lines.Next(title))  // the first line is the file's own title and is not read
        ForEachLine(lines, input.Name, [&](std::string_view line, int) { ParseKuabFwdLine(context, file, line, document); });
    Set(document, "Operations Information", "FileName", ReplaceAll(input.Name, ".FWD", ".DDX"));
    Set(document, "Units", "DropHistoryDataFrequencyUnits", "Hertz");
    Set(document, "Device Information", "DeviceLoadType", "Impulse");
}

void ReadKuabFvoIni(ReaderContext&, ReaderInput& input, PDDXFile& document)
{
    const FvoIni ini(input);

    Set(document, "Device Information", "DeviceDesignationName", "KUAB FWD");
    if (const char* model = ModelName(ini.Text("rack", "fwdtype")))
        Set(document, "Device Information", "DeviceModelNumber", model);

    Set(document, "Device Calibration", "LoadCellCalibrationFactor", ini.NumberText("loadplate1", "calfac"));
    Set(document, "Device Calibration", "LoadCellCalibrationIntercept", ini.NumberText("loadplate1", "caladd"));
    Set(document, "Device Calibration", "LoadCellCalibrationCenterGain", ini.NumberText("loadplate1", "sharpcalfac"));

    const float count = ini.Number("sensors", "numberofsensors");
    Set(document, "Device Configuration", "NumberOfDeflectionSensors", SingleText(count));
    std::int16_t n = 0;
    try {
        n = RoundToInt16(count);
    } catch (const std::exception& e) {
        throw ini.Failure(std::string("[sensors] numberofsensors: ") + e.what());
    }

    // Four lists, one entry per sensor: the first sensor's values replace what the elements held,
    // each further sensor's are appended.
    struct SensorList {
        const char* key;
        const char* section;
        const char* element;
        bool number;
        std::string value;
    };
    SensorList lists[] = {
        {"seismoid", "Device Information", "SensorSerialNumbers", false, {}},
        {"calfac", "Device Calibration", "SensorStaticCalibrationFactor", true, {}},
        {"dyncalfac", "Device Calibration", "SensorDynamicCalibrationFactor", true, {}},
        {"sharpcalfac", "Device Calibration", "SensorCalibrationCenterGain", true, {}},
    };
    const auto read = [&ini](const std::string& section, const SensorList& list) {
        return list.number ? ini.NumberText(section, list.key) : ini.Text(section, list.key);
    };
    for (SensorList& list : lists) {
        list.value = read("sensor0", list);
        Set(document, list.section, list.element, list.value);
    }
    if (n > 1) {
        // Gathered here and stored once, so that many sensors do not copy ever longer lists; a
        // failure still leaves the sensors read before it in the document.
        const auto store = [&] {
            for (SensorList& list : lists) Set(document, list.section, list.element, std::move(list.value));
        };
        try {
            for (int i = 1; i < n; ++i) {
                const std::string section = "sensor" + std::to_string(i);
                for (SensorList& list : lists) {
                    const std::string value = read(section, list);  // read first: a failure adds no ", "
                    list.value.append(", ").append(value);
                }
            }
        } catch (...) {
            store();
            throw;
        }
        store();
    }

    Set(document, "Device Calibration", "DMIDeviceCalibrationFactor", ini.NumberText("distmeter", "calfac"));
    Set(document, "Operations Information", "FileName", ReplaceAll(input.Name, ".INI", ".DDX"));
    Set(document, "Operations Information", "EndDate", ModificationDate(input));
    Set(document, "Units", "DropHistoryDataFrequencyUnits", "Hertz");
    Set(document, "Device Information", "DeviceLoadType", "Impulse");
}

}  // namespace vantrel
