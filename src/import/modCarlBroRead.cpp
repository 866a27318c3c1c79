#include "import/modCarlBroRead.h"

#include <charconv>
#include <stdexcept>

#include "import/ReaderInput.h"
#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/ReadError.h"
#include "base/modConvert.h"
#include "import/LineChecks.h"
#include "import/ReaderHelpers.h"

namespace vantrel {
namespace {

constexpr int kLastField = 40;  // a split line holds fields 1 to 40
constexpr int kMaxTemperatureColumns = 10;


// The closing values both Carl Bro readers give every document: the machine is always the same.
void SetCarlBroDevice(PDDXFile& document)
{
    document.Element("Units", "DropHistoryDataFrequencyUnits").SetValue("Hertz");
    document.Element("Device Information", "DeviceDesignationName").SetValue("CarlBro FWD");
    document.Element("Device Information", "DeviceModelNumber").SetValue("PRI 2100");
    document.Element("Device Information", "DeviceLoadType").SetValue("Impulse");
}

// ---------------------------------------------------------------------------------------------
// FWD text

// Field `index` of a line, where a rule computes the index from the sensor count.
const std::string& FieldAt(const FieldArray& fields, int index, std::string_view what)
{
    if (index < 1 || index > kLastField)
        throw std::out_of_range(std::string(what) + " would stand in field " + std::to_string(index) +
                                ", but a line holds fields 1 to 40 only");
    return fields[static_cast<std::size_t>(index)];
}

// Field 2 without blanks at either end: the value of a key line.
std::string KeyValue(const FieldArray& fields) { return std::string(TrimBlanks(fields[2])); }

PDDXSection& CurrentLocation(const CarlBroFwdState& file, std::string_view line)
{
    if (!file.CurrentLocation)
        throw std::runtime_error(std::string(line) + " before any \"Chainage\" line: there is no test location for it");
    return *file.CurrentLocation;
}

// The sensor count that cuts title and drop lines into deflections and load.
int SensorCount(const ReaderContext& context)
{
    const int n = context.NumSensors;
    if (n < 0)
        throw std::out_of_range("the deflection-sensor count is " + std::to_string(n) +
                                "; a \"Radial offset\" line must set it before the drops");
    return n;
}

void ReadSensorOffsets(ReaderContext& context, const FieldArray& fields, int count, PDDXFile& document)
{
    document.Element("Units", "SensorsLocationUnits").SetValue(NormaliseUnitName(BracketContents(fields[1])));
    std::string x, y;
    for (int i = 2; i <= count; ++i) {
        if (i > 2) x += ", ", y += ", ";
        x += CommaToPoint(TrimBlanks(fields[static_cast<std::size_t>(i)]));
        y += "0";
    }
    document.Element("Device Configuration", "DeflectionSensorXAxisDistances").SetValue(std::move(x));
    document.Element("Device Configuration", "DeflectionSensorYAxisDistances").SetValue(std::move(y));
    context.NumSensors = count - 1;
    document.Element("Device Configuration", "NumberOfDeflectionSensors").SetValue(std::to_string(count - 1));
}

void ParseGeneralHeader(ReaderContext& context, const FieldArray& fields, int count, PDDXFile& document,
                        LineFaults& faults)
{
    const std::string& key = fields[1];
    if (TextContains("Filename", key)) {
        document.Element("Operations Information", "FileName").SetValue(KeyValue(fields));
    } else if (TextContains("Name of client", key)) {
        document.Element("Operations Information", "OperatorName").SetValue(KeyValue(fields));
    } else if (TextContains("Districtnumber", key)) {
        document.Element("Location Identification", "SiteName").SetValue(KeyValue(fields));
    } else if (TextContains("Road reference", key)) {
        document.Element("Location Identification", "FacilityName").SetValue(KeyValue(fields));
    } else if (TextContains("Start reference", key)) {
        document.Element("Location Identification", "SectionName").SetValue(KeyValue(fields));
    } else if (TextContains("Date", key)) {
        // The key names the layout of its date, e.g. "Date [dd-mm-yy]".
        const std::string layout = BracketContents(key), text = KeyValue(fields);
        std::string unread;
        document.Element("Operations Information", "EndDate")
            .SetValue(FormatDate(DateFromPattern(layout, text, &unread)));
        if (!unread.empty())
            faults.Note("the date " + Quoted(text) + " is longer than its layout " + Quoted(layout) + ": " +
                        Quoted(unread) + " was not read");
    } else if (TextContains("FWD number", key)) {
        document.Element("Device Information", "DeviceSerialNumber").SetValue(KeyValue(fields));
    } else if (TextContains("radius", key)) {
        document.Element("Units", "LoadPlateRadiusUnits").SetValue(NormaliseUnitName(BracketContents(key)));
        document.Element("Device Configuration", "LoadPlateRadius").SetValue(CommaToPoint(KeyValue(fields)));
    } else if (TextContains("Radial offset", key)) {
        ReadSensorOffsets(context, fields, count, document);
    }
}

// The smaller units in which offsets across and along the road are given, by the station unit.
std::string_view TestLocationSuffix(std::string_view unit)
{
    const std::string upper = UpperCase(unit);
    if (upper == "FOOT") return ", inch, inch";
    if (upper == "MILE") return ", foot, foot";
    if (upper == "METER") return ", millimeter, millimeter";
    if (upper == "KILOMETER") return ", meter, meter";
    return {};
}

void ParseStationHeader(CarlBroFwdState& file, const FieldArray& fields, PDDXFile& document)
{
    const std::string& key = fields[1];
    if (TextContains("Chainage", key)) {
        std::string unit = NormaliseUnitName(BracketContents(key));
        unit += TestLocationSuffix(unit);
        document.Element("Units", "TestLocationUnits").SetValue(std::move(unit));
        file.LocationTimed = false;
        file.CurrentLocation = &document.AddTestLocation();
        file.CurrentLocation->Element("TestLocation").SetValue(CommaToPoint(KeyValue(fields)) + ", 0, 0");
    } else if (TextContains("Lane", key)) {
        CurrentLocation(file, "a \"Lane\" line").Element("TestLane").SetValue(KeyValue(fields));
    } else if (TextContains("Remarks", key)) {
        CurrentLocation(file, "a \"Remarks\" line").Element("TestComment").SetValue(KeyValue(fields));
    } else if (TextContains("Pavement", key)) {
        document.Element("Location Identification", "PavementType").SetValue(KeyValue(fields));
    }
}

// The sequence line: field 4 reads like "Time 10:32".
void ReadSequenceTime(CarlBroFwdState& file, const FieldArray& fields, PDDXFile& document, LineFaults& faults)
{
    const std::string& field = fields[4];
    if (field.size() < 5)
        throw std::length_error("the sequence line's field 4 " + Quoted(field) +
                                " is too short to hold a time such as \"Time 10:32\"");
    const std::string_view clock = TrimBlanks(std::string_view(field).substr(5));
    faults.ExpectTime(clock);
    const std::string time = std::string(clock) + ":00";
    if (!file.LocationTimed) {
        CurrentLocation(file, "a sequence line").Element("TestTime").SetValue(time);
        file.LocationTimed = true;
    }
    if (!file.FileTimed) {
        document.Element("Operations Information", "StartTime").SetValue(time);
        file.FileTimed = true;
    }
    document.Element("Operations Information", "EndTime").SetValue(time);
}

// The column-title line: the load column's title is its unit; temperature columns are found by
// their titles. The columns stay known to later files of the run.
void ReadColumnTitles(ReaderContext& context, const FieldArray& fields, int count, PDDXFile& document)
{
    const int n = SensorCount(context);
    const bool pounds = UpperCase(TrimBlanks(FieldAt(fields, n + 3, "the load unit"))) == "LBF";
    document.Element("Units", "LoadUnits").SetValue(pounds ? "pound-force" : "kilo-Newton");
    document.Element("Units", "DeflectionUnits").SetValue(pounds ? "mil" : "micron");
    document.Element("Units", "TemperatureUnits").SetValue(pounds ? "Fahrenheit" : "Celsius");

    auto& columns = context.CarryOver.CarlBro.TemperatureColumns;
    int t = 0;
    std::string uses;
    for (int i = 1; i <= count; ++i) {
        const std::string& title = fields[static_cast<std::size_t>(i)];
        const char* use = TextContains("Air", title)   ? "Air"
                          : TextContains("Sur", title) ? "Surface"
                          : TextContains("Man", title) ? "Manual"
                                                       : nullptr;
        if (!use) continue;
        if (++t > kMaxTemperatureColumns)
            throw std::out_of_range("column " + std::to_string(i) + " " + Quoted(title) +
                                    " is a temperature column beyond the 10 a file can have");
        columns[static_cast<std::size_t>(t)] = static_cast<std::int16_t>(i);
        if (!uses.empty()) uses += ", ";
        uses += use;
    }
    document.Element("Device Configuration", "NumberOfTemperatureSensors").SetValue(std::to_string(t));
    columns[0] = static_cast<std::int16_t>(t);
    document.Element("Device Configuration", "TemperatureSensorUse").SetValue(std::move(uses));
}

// A drop line: drop number, n deflections, a column the reader does not keep, the load, and the
// temperatures in the columns the title line named.
void ReadDrop(ReaderContext& context, const CarlBroFwdState& file, const FieldArray& fields, LineFaults& faults)
{
    const int n = SensorCount(context);
    const auto& columns = context.CarryOver.CarlBro.TemperatureColumns;
    std::string drop = CommaToPoint(FieldAt(fields, n + 3, "the load"));
    if (!LineFaults::IsNumber(drop)) faults.ExpectNumber("load", drop, "in field " + std::to_string(n + 3));
    for (int i = 2; i <= n + 1; ++i) {
        const std::string deflection = CommaToPoint(fields[static_cast<std::size_t>(i)]);
        if (!LineFaults::IsNumber(deflection)) faults.ExpectNumber("deflection " + std::to_string(i - 1), deflection);
        drop.append(", ").append(deflection);
    }
    PDDXSection& location = CurrentLocation(file, "a drop line");
    location.AddDropData().SetValue(std::move(drop));

    std::string temperatures;
    for (int k = 1; k <= columns[0]; ++k) {
        if (k > 1) temperatures += ", ";
        const int column = columns[static_cast<std::size_t>(k)];
        const std::string temperature = CommaToPoint(FieldAt(fields, column, "a temperature"));
        if (!LineFaults::IsNumber(temperature))
            faults.ExpectNumber("temperature", temperature, "in field " + std::to_string(column));
        temperatures += temperature;
    }
    location.Element("TestTemperatures").SetValue(std::move(temperatures));
}

void ParseDropBlock(ReaderContext& context, CarlBroFwdState& file, const FieldArray& fields, int count,
                    PDDXFile& document, LineFaults& faults)
{
    const std::string& first = fields[1];
    const int temperatures = context.CarryOver.CarlBro.TemperatureColumns[0];
    if (TextContains("Sequence", first)) {
        ReadSequenceTime(file, fields, document, faults);
    } else if (TextContains("Drop", first)) {
        ReadColumnTitles(context, fields, count, document);
    } else if (!LineFaults::IsNumber(first)) {
        // Other lines of the block (such as the mean of the drops) are not drops. The drop number
        // is never used, so one too large to hold still marks a drop.
    } else if (count > context.NumSensors + temperatures) {
        ReadDrop(context, file, fields, faults);
    } else {
        faults.Note("the drop line holds " + std::to_string(count) + " fields, too few for " +
                    std::to_string(context.NumSensors) + " deflections and " + std::to_string(temperatures) +
                    " temperatures; it was skipped");
    }
}

}  // namespace

std::string BracketContents(std::string_view text)
{
    const std::size_t open = text.find('[');
    const std::size_t close = text.find(']');
    const std::size_t start = open == std::string_view::npos ? 0 : open + 1;
    if (close == std::string_view::npos)
        throw std::invalid_argument(Quoted(text) + " has no \"]\" closing the unit or layout in brackets");
    if (close < start) throw std::invalid_argument(Quoted(text) + " has its \"]\" before its \"[\"");
    return std::string(text.substr(start, close - start));
}

std::chrono::sys_days DateFromPattern(std::string_view pattern, std::string_view text, std::string* unread)
{
    const auto isPart = [](char c) { return c == 'Y' || c == 'M' || c == 'D'; };
    const auto isDigit = [&](std::size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
    std::string year, month, day;
    std::size_t t = 0;  // the text character under pattern character i
    for (std::size_t i = 0; i < pattern.size(); ++i, ++t) {
        if (t >= text.size()) continue;  // nothing stands under the rest of the pattern
        const char d = UpperChar(text[t]);
        const char p = UpperChar(pattern[i]);
        switch (p) {
        case 'Y': year += d; break;
        case 'M': month += d; break;
        case 'D': day += d; break;
        default: break;
        }
        // Writers keep a "yy" layout while writing the year whole.
        const bool yearEnds = p == 'Y' && (i + 1 == pattern.size() || !isPart(UpperChar(pattern[i + 1])));
        if (yearEnds && year.size() == 2 && isDigit(t + 1) && isDigit(t + 2) && !isDigit(t + 3)) {
            year.append(text.substr(t + 1, 2));
            t += 2;
        }
    }
    if (unread) *unread = t < text.size() ? std::string(text.substr(t)) : std::string();
    const auto part = [&](const std::string& digits, const char* what) -> int {
        try {
            return ToInt16(digits);
        } catch (const ConversionError&) {
            throw ConversionError("the date " + Quoted(text) + " does not fit its layout " + Quoted(pattern) +
                                  ": its " + what + " " + Quoted(digits) + " is not a number");
        }
    };
    const int y = part(year, "year"), m = part(month, "month"), dd = part(day, "day");
    return DateFromParts(y, m, dd);
}

void ParseCarlBroFwdLine(ReaderContext& context, CarlBroFwdState& file, const FieldArray& fields, PDDXFile& document,
                         int line)
{
    const std::string& first = fields[1];
    if (!first.empty() && first.front() == '$') {
        try {
            file.Block = ToInt16(std::string_view(first).substr(1));
        } catch (const ConversionError&) {
            throw ConversionError("the block line " + Quoted(first) + " has no block number after its \"$\"");
        }
        return;
    }
    const int count = FieldCount(fields);
    LineFaults faults;
    switch (file.Block) {
    case 1: ParseGeneralHeader(context, fields, count, document, faults); break;
    case 2: ParseStationHeader(file, fields, document); break;
    case 3: ParseDropBlock(context, file, fields, count, document, faults); break;
    default: break;  // before the first block, and blocks this reader does not know
    }
    faults.Report(context.Warnings, line);
}

void ReadCarlBroFwd(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    CarlBroCarryOver& carry = context.CarryOver.CarlBro;
    CarlBroFwdState file;  // block 0, the file not yet timed
    // Station lines before this file's first "Chainage" go on with the last file's test location
    // when they land in the same document.
    file.LocationTimed = carry.LocationTimed;
    if (carry.LocationDocument == &document) file.CurrentLocation = document.Sections().Find(carry.LocationName);
    // Kept for the next file however this one ends.
    const auto keep = [&] {
        carry.LocationTimed = file.LocationTimed;
        if (!file.CurrentLocation) return;
        carry.LocationDocument = &document;
        carry.LocationName = file.CurrentLocation->Handle();
    };
    try {
        FieldArray fields;
        ForEachLine(input, [&](std::string_view line, int number) {
            SplitOnTabs(line, fields);
            ParseCarlBroFwdLine(context, file, fields, document, number);
        });
    } catch (...) {
        keep();
        throw;
    }
    keep();
    AtLine(input.Name, 0, [&] {
        // The input's own name, as the output's, whatever name block 1 gave.
        document.Element("Operations Information", "FileName").SetValue(ReplaceAll(input.Name, ".TXT", ".DDX"));
        SetCarlBroDevice(document);
    });
}

// ---------------------------------------------------------------------------------------------
// Configuration text

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
    if (!line.hasValue)
        throw std::invalid_argument("the " + Quoted(line.key) + " line has no value: no tab follows the key");
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
    element.SetValue(start ? std::string(value) : std::string(element.Value()).append(", ").append(value));
}

}  // namespace

void ReadCarlBroConfig(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    ConfigMode mode = ConfigMode::None;
    std::int16_t geophone = 0;
    std::int16_t lastGeophone = 0;  // of the last "Geophone nr." line of this file; 0 before it
    ForEachLine(input, [&](std::string_view text, int lineNumber) {
            const ConfigLine line = SplitConfigLine(text);
            const std::string_view key = line.key;
            LineFaults faults;
            if (key == "Customer") {
                document.Element("Device Information", "DeviceSerialNumber").SetValue(std::string(RequiredValue(line)));
            } else if (key == "Geophone nr.") {
                const std::string_view number = RequiredValue(line);
                mode = ConfigMode::Geophone;
                try {
                    geophone = ToInt16(number);
                } catch (const ConversionError&) {
                    throw ConversionError("the geophone number " + Quoted(number) + " is not a whole number");
                }
                if (geophone == 1 && lastGeophone != 0)
                    faults.Note("geophone 1 follows geophone " + std::to_string(lastGeophone) +
                                " and starts the serial numbers and slopes again: those read before are lost");
                lastGeophone = geophone;
            } else if (key == "Force") {
                mode = ConfigMode::LoadCell;
            } else if (key == "Air temp." || key == "Surface temp." || key == "Manual temp.") {
                mode = ConfigMode::Temperature;
            } else if (key == "ID") {
                const std::string_view id = RequiredValue(line);
                if (mode == ConfigMode::Geophone)
                    SetOrAppend(document.Element("Device Information", "SensorSerialNumbers"), geophone == 1, id);
                else if (mode == ConfigMode::LoadCell)
                    document.Element("Device Information", "LoadCellSerialNumber").SetValue(std::string(id));
            } else if (key == "Slope") {
                const std::string factor = CommaToPoint(RequiredValue(line));
                if (mode == ConfigMode::Geophone || mode == ConfigMode::LoadCell) faults.ExpectNumber("slope", factor);
                if (mode == ConfigMode::Geophone)
                    SetOrAppend(document.Element("Device Calibration", "SensorDynamicCalibrationFactor"),
                                geophone == 1, factor);
                else if (mode == ConfigMode::LoadCell)
                    document.Element("Device Calibration", "LoadCellCalibrationFactor").SetValue(factor);
            } else if (key == "[dd/mm/yy]") {
                const std::string_view date = RequiredValue(line);
                // Only the first geophone's date and the load cell's are kept, so only they are read.
                if (mode == ConfigMode::Geophone && geophone == 1)
                    document.Element("Device Calibration", "SensorDynamicCalibrationDate")
                        .SetValue(FormatDate(ConfigDate(date)));
                else if (mode == ConfigMode::LoadCell)
                    document.Element("Device Calibration", "LoadCellCalibrationDate")
                        .SetValue(FormatDate(ConfigDate(date)));
            }
            faults.Report(context.Warnings, lineNumber);
    });
    AtLine(input.Name, 0, [&] {
        document.Element("Device Configuration", "NumberOfDeflectionSensors").SetValue(std::to_string(geophone));
        document.Element("Device Calibration", "SensorCalibrationCenterGain")
            .SetValue(document.Element("Device Calibration", "SensorDynamicCalibrationFactor").Value());
        document.Element("Device Calibration", "LoadCellCalibrationCenterGain")
            .SetValue(document.Element("Device Calibration", "LoadCellCalibrationFactor").Value());
        // Named after the input, as the FWD file it came with would be.
        document.Element("Operations Information", "FileName").SetValue(ReplaceAll(input.Name, ".FWD", ".DDX"));
        SetCarlBroDevice(document);
    });
}

}  // namespace vantrel
