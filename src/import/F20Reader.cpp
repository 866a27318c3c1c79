// Dynatest F20 files (the SHRP-compatible R32-20 and R80-20 layouts): header lines known by their
// line number, then fixed-column record lines known by their first character.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/NumberText.h"
#include "base/ReadError.h"
#include "document/PDDXFile.h"
#include "import/LineChecks.h"
#include "import/FileFormats.h"
#include "import/ReaderInput.h"
#include "import/ReaderSupport.h"
#include "import/Sniffing.h"

namespace vantrel {

// Where the reader stands between the lines of one file; every file starts from a fresh one.
struct F20State {
    std::int16_t HeaderLength = 0;  // lines up to this number hold no records
    std::string Line3;              // plate and sensor geometry, needed when line 22 gives the units
    bool Metric = false;
    bool DropMode = false;  // drop lines belong to the current test location
    PDDXSection* CurrentTestLocation = nullptr;
};

namespace {

// Columns first to last (1-based, inclusive); shorter or empty where the line ends first.
std::string_view Columns(std::string_view line, std::size_t first, std::size_t last)
{
    if (first > line.size()) return {};
    return line.substr(first - 1, last - first + 1);
}

// A text field of fixed columns, without the blanks that fill it to its width.
std::string Text(std::string_view line, std::size_t first, std::size_t last)
{
    return std::string(TrimBlanks(Columns(line, first, last)));
}

std::string ColumnsName(std::size_t first, std::size_t last)
{
    return first == last ? "column " + std::to_string(first)
                         : "columns " + std::to_string(first) + "-" + std::to_string(last);
}

int WholeNumber(std::string_view line, std::size_t first, std::size_t last, const char* what)
{
    const std::string_view text = Columns(line, first, last);
    try {
        return ToInt16(text);
    } catch (const ConversionError&) {
        throw ConversionError(std::string(what) + " in " + ColumnsName(first, last) + " is " + Quoted(text) +
                              ", not a whole number");
    }
}

std::string SingleWord(std::string_view word, const char* what)
{
    try {
        return SingleText(word);
    } catch (const ConversionError&) {
        throw ConversionError(std::string("the ") + what + " " + Quoted(word) + " is not a number");
    }
}

// The words of a calibration line, blanks collapsed: word 0 names the device, then serial number,
// centre gain and calibration factor. A missing or bad word fails only when it is taken, so the
// values set from the line before it stay set.
class CalibrationWords {
public:
    explicit CalibrationWords(std::string_view line)
    {
        const std::string collapsed = CollapseSpaces(line);
        const std::string_view text(collapsed);
        std::size_t start = 0;
        while (!text.empty() && count_ < words_.size()) {
            const std::size_t blank = text.find(' ', start);
            words_[count_++] =
                text.substr(start, blank == std::string_view::npos ? std::string_view::npos : blank - start);
            if (blank == std::string_view::npos) break;
            start = blank + 1;
        }
    }
    const std::string& Serial() const { return Word(1); }
    std::string Gain() const { return SingleWord(Word(2), "gain"); }
    std::string Factor() const { return SingleWord(Word(3), "calibration factor"); }

private:
    const std::string& Word(std::size_t n) const
    {
        if (n >= count_)
            throw InputError("a calibration line needs four words (name, serial number, gain, factor); it has " +
                             std::to_string(count_));
        return words_[n];
    }

    std::array<std::string, 4> words_;
    std::size_t count_ = 0;
};

double DigitAt(std::string_view line, std::size_t column, const char* what)
{
    const std::string_view text = Columns(line, column, column);
    if (auto value = ParseNumber(text)) return *value;
    throw ConversionError(std::string(what) + " in column " + std::to_string(column) + " is " + Quoted(text) +
                          ", not a digit");
}

// Line 22: the unit system, temperature and distance units, and with them the plate radius and
// the sensor distances that line 3 holds in the layout the units decide.
void SetUnits(ReaderContext& context, F20State& f20, std::string_view line, PDDXFile& document, LineFaults& faults)
{
    const bool usUnits = DigitAt(line, 1, "the unit system") == 1;
    const std::string_view line3 = f20.Line3;
    const bool wideLine3 = line3.size() >= 50;
    if (!usUnits) {
        f20.Metric = true;
        document.Element(pddx::Units::DeflectionUnits).SetValue("micron");
        document.Element(pddx::Units::SensorsLocationUnits).SetValue("millimeter");
        document.Element(pddx::Units::LoadPlateRadiusUnits).SetValue("millimeter");
        document.Element(pddx::Units::LoadUnits).SetValue("kilo-Pascal");
        document.Element(pddx::DeviceConfiguration::LoadPlateRadius).SetValue(Text(line3, 1, 4));
    } else {
        f20.Metric = false;
        document.Element(pddx::Units::DeflectionUnits).SetValue("mil");
        document.Element(pddx::Units::SensorsLocationUnits).SetValue("inch");
        document.Element(pddx::Units::LoadPlateRadiusUnits).SetValue("inch");
        document.Element(pddx::Units::LoadUnits).SetValue("pound-force");
        if (!wideLine3) {
            document.Element(pddx::Units::LoadUnits).SetValue("pound-force per square inch");
            document.Element(pddx::DeviceConfiguration::LoadPlateRadius).SetValue(Text(line3, 1, 6));
        } else {
            document.Element(pddx::DeviceConfiguration::LoadPlateRadius).SetValue(Text(line3, 33, 38));
        }
    }
    // The first sensor sits at the plate's centre; line 3 gives the others.
    const std::size_t origin = wideLine3 && !f20.Metric ? 42 : 13;
    std::string distances = "0";
    for (int j = 0; j <= context.NumSensors - 2; ++j) {
        const std::size_t first = origin + 6 * static_cast<std::size_t>(j);
        const std::string_view distance = Columns(line3, first, first + 5);
        faults.ExpectNumber("the distance of sensor " + std::to_string(j + 2) + " in " + ColumnsName(first, first + 5) +
                                " of line 3",
                            distance);
        distances.append(", ").append(TrimBlanks(distance));
    }
    document.Element(pddx::DeviceConfiguration::DeflectionSensorXAxisDistances).SetValue(std::move(distances));
    // Column 2 is read only now: a bad one leaves the units and geometry above set.
    const bool fahrenheit = DigitAt(line, 2, "the temperature unit") == 1;
    document.Element(pddx::Units::TemperatureUnits).SetValue(fahrenheit ? "Fahrenheit" : "Celsius");

    const std::string_view distanceUnit = Columns(line, 6, 6);
    const char* testLocationUnits = nullptr;
    if (distanceUnit == "2") testLocationUnits = "meter, meter, millimeter";
    else if (distanceUnit == "0" || distanceUnit == "1") testLocationUnits = "kilometer, meter, meter";
    else if (distanceUnit == "6") testLocationUnits = "foot, foot, inch", f20.Metric = false;
    else if (distanceUnit == "7") testLocationUnits = "yard, yard, inch";
    else if (distanceUnit == "3" || distanceUnit == "4") testLocationUnits = "mile, inch, inch";
    else if (distanceUnit == "5") testLocationUnits = "mile-feet, inch, inch";
    if (testLocationUnits) document.Element(pddx::Units::TestLocationUnits).SetValue(testLocationUnits);
    else faults.Note("the distance unit " + Quoted(distanceUnit) + " in column 6 is not known");
}

PDDXSection& Current(const F20State& f20)
{
    if (!f20.CurrentTestLocation) throw InputError("no station line has started a test location yet");
    return *f20.CurrentTestLocation;
}

void HandleRecord(ReaderContext& context, F20State& f20, std::string_view line, PDDXFile& document, LineFaults& faults)
{
    switch (line.front()) {
    case '*':
        document.Element(pddx::LocationIdentification::SectionName).SetValue(std::string(TrimBlanks(line.substr(1))));
        break;
    case 'S':
    case 'I':
    case 'D': {
        PDDXSection& location = document.AddTestLocation();
        f20.CurrentTestLocation = &location;
        location.Element(pddx::TestLocation::TestLocation).SetValue(std::string(TrimBlanks(Columns(line, 2, 9))));
        std::string time(Columns(line, 29, 30));
        time.append(":").append(Columns(line, 31, 32));
        faults.ExpectTime(time);
        location.Element(pddx::TestLocation::TestTime).SetValue(time + ":00");
        location.Element(pddx::TestLocation::TestLane).SetValue(Text(line, 10, 13));
        f20.DropMode = true;
        break;
    }
    case 'B':
        // A time-history block ends the drops of the station; its samples are not read.
        f20.DropMode = false;
        Current(f20).Element(pddx::TestLocation::DropHistoryType).SetValue("load and deflections");
        break;
    case ' ':
    case '1':
    case '2': {
        if (!f20.DropMode) break;
        PDDXElement& drop = Current(f20).AddDropData();
        // The wide US layout puts the load at column 33; the narrow one and metric files at 1.
        const std::size_t load = line.size() >= 50 && !f20.Metric ? 33 : 1;
        std::string value = Text(line, load, load + 5);
        if (!LineFaults::IsNumber(value)) faults.ExpectNumber("load", value, "in " + ColumnsName(load, load + 5));
        for (int k = 1; k <= context.NumSensors; ++k) {
            const std::size_t first = load + 6 * static_cast<std::size_t>(k);
            const std::string_view deflection = TrimBlanks(Columns(line, first, first + 5));
            if (!LineFaults::IsNumber(deflection))
                faults.ExpectNumber("deflection " + std::to_string(k), deflection,
                                    "in " + ColumnsName(first, first + 5));
            value.append(", ").append(deflection);
        }
        drop.SetValue(std::move(value));
        break;
    }
    default:
        break;
    }
}

void ParseLine(ReaderContext& context, F20State& f20, std::string_view line, int lineNumber, PDDXFile& document,
               LineFaults& faults)
{
    switch (lineNumber) {
    case 1: {
        document.Element(pddx::OperationsInformation::SoftwareVersion).SetValue(Text(line, 30, 32));
        const int year = WholeNumber(line, 14, 15, "the year");
        const int month = WholeNumber(line, 16, 17, "the month");
        const int day = WholeNumber(line, 18, 19, "the day");
        document.Element(pddx::OperationsInformation::EndDate).SetValue(FormatDate(DateFromParts(year, month, day)));
        f20.HeaderLength = static_cast<std::int16_t>(WholeNumber(line, 28, 29, "the header length"));
        return;
    }
    case 2:
        document.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors)
            .SetValue(std::string(Columns(line, 1, 1)));
        context.NumSensors = WholeNumber(line, 1, 1, "the number of sensors");
        document.Element(pddx::DeviceInformation::DeviceSerialNumber).SetValue(Text(line, 9, 16));
        document.Element(pddx::DeviceCalibration::DMIDeviceCalibrationFactor).SetValue(Text(line, 17, 24));
        return;
    case 3:
        f20.Line3.assign(line);
        return;
    case 5:
        document.Element(pddx::LocationIdentification::FacilityName).SetValue(std::string(TrimBlanks(line)));
        return;
    case 10: {
        const CalibrationWords loadCell(line);
        document.Element(pddx::DeviceInformation::LoadCellSerialNumber).SetValue(loadCell.Serial());
        document.Element(pddx::DeviceCalibration::LoadCellCalibrationCenterGain).SetValue(loadCell.Gain());
        document.Element(pddx::DeviceCalibration::LoadCellCalibrationFactor).SetValue(loadCell.Factor());
        return;
    }
    case 11: {
        const CalibrationWords sensor(line);
        document.Element(pddx::DeviceInformation::SensorSerialNumbers).SetValue(sensor.Serial());
        document.Element(pddx::DeviceCalibration::SensorReferenceCalibrationFactor).SetValue(sensor.Factor());
        document.Element(pddx::DeviceCalibration::SensorCalibrationCenterGain).SetValue(sensor.Gain());
        return;
    }
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20: {
        // Line 12 is the second sensor; lines past the last sensor are spare.
        if (lineNumber - 11 >= context.NumSensors) return;
        const CalibrationWords sensor(line);
        document.Element(pddx::DeviceInformation::SensorSerialNumbers).AppendItem(sensor.Serial());
        document.Element(pddx::DeviceCalibration::SensorReferenceCalibrationFactor).AppendItem(sensor.Factor());
        document.Element(pddx::DeviceCalibration::SensorCalibrationCenterGain).AppendItem(sensor.Gain());
        return;
    }
    case 21:
        document.Element(pddx::OperationsInformation::OperatorName).SetValue(std::string(TrimBlanks(line)));
        return;
    case 22:
        SetUnits(context, f20, line, document, faults);
        return;
    case 4:
    case 6:
    case 7:
    case 8:
    case 9:
        return;
    default:
        if (lineNumber > f20.HeaderLength && !line.empty()) HandleRecord(context, f20, line, document, faults);
        return;
    }
}

}  // namespace

// Handles line `lineNumber` (counted from 1, empty lines included); throws on a malformed line.
// Text fields lose the blanks that fill them to their columns' width.
void ParseF20Line(ReaderContext& context, F20State& f20, std::string_view line, int lineNumber, PDDXFile& document)
{
    LineFaults faults;
    ParseLine(context, f20, line, lineNumber, document, faults);
    faults.Report(context.Warnings, lineNumber);
}

// Reads the whole file into `document`, after the test locations it already holds. The first
// line that cannot be handled ends the reading with a ReadError naming file and line; the
// closing values are then not written. Values that are not the numbers, time or unit code they
// should be are kept as they stand, with a warning for their line.
void ReadF20File(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    F20State f20;
    // Empty lines are counted all the same.
    ForEachLine(input, [&](std::string_view line, int number) { ParseF20Line(context, f20, line, number, document); });

    // The last four characters give way to ".DDX", whatever the extension was.
    const std::string& fileName = input.Name;
    const std::string root = fileName.substr(0, fileName.size() - std::min<std::size_t>(4, fileName.size()));
    document.Element(pddx::OperationsInformation::FileName).SetValue(root + ".DDX");
    document.Element(pddx::DeviceInformation::DeviceDesignationName).SetValue("Dynatest FWD");
    document.Element(pddx::Units::DropHistoryDataFrequencyUnits).SetValue("Hertz");
}

namespace {

bool AllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

// Fixed columns, told by line number. Line 1 holds the date as digits in columns 14 to 19 and
// the header length in columns 28 and 29 (a mark; a file without them is no F20 file) and the
// layout name, "R32-20" or "R80-20" (two marks); line 2 starts with the sensor count, line 22
// with the unit digits (a mark each).
int SniffF20(const SniffSample& sample)
{
    const auto& lines = sample.Lines();
    if (lines.empty()) return 0;
    const std::string_view first = lines[0];
    if (Columns(first, 14, 19).size() != 6 || !AllDigits(Columns(first, 14, 19)) ||
        !IsWholeNumberText(Columns(first, 28, 29)))
        return 0;
    const bool layout = first.starts_with('R') && AllDigits(Columns(first, 2, 3)) && Columns(first, 4, 6) == "-20";
    const bool sensors = lines.size() >= 2 && AllDigits(Columns(lines[1], 1, 1));
    const bool units = lines.size() >= 22 && Columns(lines[21], 1, 2).size() == 2 &&
                       AllDigits(Columns(lines[21], 1, 2));
    return Score(1 + 2 * layout + sensors + units);
}

}  // namespace vantrel
