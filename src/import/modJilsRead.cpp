#include "import/modJilsRead.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <stdexcept>
#include <string_view>

#include "import/ReaderInput.h"
#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/ReadError.h"
#include "base/modConvert.h"
#include "import/ReaderHelpers.h"
#include "import/Sniffing.h"

namespace vantrel {
namespace {

constexpr std::string_view kDropSequenceMark = "Drop Sequence Completed Time:";
constexpr std::size_t kLastField = 40;  // the field array holds F(1) to F(40)

// The date of a "Date-Time:" line, month first as the field program writes it: m/d/y with a
// two-digit year meaning 1930 to 2029. Days that do not exist in their month are refused rather
// than carried into the next month.
std::chrono::sys_days MonthDayYear(std::string_view text)
{
    const auto notADate = [text] {
        return ConversionError(Quoted(text) + " is not a date (month/day/year)");
    };
    int parts[3] = {0, 0, 0};
    std::size_t count = 0, start = 0;
    while (true) {
        const auto slash = text.find('/', start);
        const std::string_view part = text.substr(start, slash == std::string_view::npos ? slash : slash - start);
        int value = 0;
        const auto result = std::from_chars(part.data(), part.data() + part.size(), value);
        if (count == 3 || part.empty() || part.size() > 4 || part.front() == '-' || result.ec != std::errc() ||
            result.ptr != part.data() + part.size())
            throw notADate();
        parts[count++] = value;
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    const int month = parts[0], day = parts[1], year = parts[2];
    if (count != 3 || month < 1 || month > 12 || day < 1 || day > 31) throw notADate();
    const std::chrono::sys_days date = DateFromParts(year, month, day);
    if (static_cast<unsigned>(std::chrono::year_month_day{date}.day()) != static_cast<unsigned>(day))
        throw notADate();  // 2/30 and the like
    return date;
}

void Warn(ReaderContext& context, const JilsDatState& dat, std::string what)
{
    context.Warnings.Add(dat.Line, std::move(what));
}

// A keyword line whose value is its first word after the keyword.
const std::string& KeywordValue(ReaderContext& context, const JilsDatState& dat, const FieldArray& fields)
{
    if (fields[2].empty()) Warn(context, dat, "the " + Quoted(fields[1]) + " line has no value");
    return fields[2];
}

double NumberField(const std::string& field, const char* what)
{
    if (const auto value = ParseNumber(field)) return *value;
    throw ConversionError(std::string(what) + " " + Quoted(field) + " is not a number");
}

// F(i) takes F(i + 1) for i from `from` to 39: the field program padded a number with a blank,
// and the split cut it off from the part before it.
void CloseUpFields(FieldArray& fields, std::size_t from)
{
    for (std::size_t i = from; i < kLastField; ++i) fields[i] = fields[i + 1];
}

void ReadDateTime(ReaderContext& context, const JilsDatState& dat, FieldArray& f, PDDXFile& document)
{
    if (!f[4].empty()) {
        if (TrimBlanks(f[2]).ends_with('/')) {
            f[2] = std::string(TrimBlanks(f[2])) + "0" + std::string(TrimBlanks(f[3]));
            CloseUpFields(f, 3);
        }
        for (int pass = 0; pass < 2; ++pass) {  // minutes, then seconds
            if (TrimBlanks(f[3]).ends_with(':')) {
                f[3] = f[3] + "0" + f[4];
                CloseUpFields(f, 4);
            }
        }
    }
    document.Element("Operations Information", "StartDate").SetValue(FormatDate(MonthDayYear(TrimBlanks(f[2]))));
    document.Element("Operations Information", "StartTime").SetValue(TimeOfDayText(TrimBlanks(f[3])));
    if (!f[4].empty()) Warn(context, dat, "the words after the time, from " + Quoted(f[4]) + " on, were not read");
}

void ReadSensors(ReaderContext& context, const JilsDatState& dat, const FieldArray& f, PDDXFile& document)
{
    const std::size_t count = FieldCount(f) - 1;
    if (count == 0) Warn(context, dat, "the \"Sensors:\" line names no sensor");
    context.NumSensors = CheckCount(static_cast<long long>(count), "sensor count");
    document.Element("Device Configuration", "NumberOfDeflectionSensors").SetValue(std::to_string(count));
    std::string names;
    for (std::size_t i = 1; i <= count; ++i) {
        if (i > 1) names += ", ";
        // Several channels may be named "chop"; the position keeps them apart.
        if (f[i + 1] == "chop") names += "chop" + std::to_string(i);
        else names += f[i + 1];
    }
    document.Element("Device Information", "SensorSerialNumbers").SetValue(std::move(names));
}


void ReadDataLine(ReaderContext& context, JilsDatState& dat, const FieldArray& f, double first, PDDXFile& document)
{
    const int n = context.NumSensors;
    const int lastNeeded = dat.ExtendedFormat ? n + 6 : n + 1;
    if (n < 0)
        throw std::range_error("the deflection sensor count " + std::to_string(n) + " is negative");
    if (lastNeeded > static_cast<int>(kLastField))
        throw std::range_error(std::string("a data line for ") + std::to_string(n) + " deflection sensors in the " +
                               (dat.ExtendedFormat ? "extended" : "short") + " layout needs " +
                               std::to_string(lastNeeded) + " fields, more than " + std::to_string(kLastField));

    // The short layout has no point number (its first field is the load): one location takes all.
    if (!dat.FirstDropSeen || (dat.ExtendedFormat && first != dat.LocationNumber)) {
        if (dat.ExtendedFormat) dat.LocationNumber = RoundToInt32(first);
        dat.CurrentLocation = &document.AddTestLocation();
        // Only the file's first location says what its drops hold; later points leave it empty.
        if (!dat.FirstDropSeen) dat.CurrentLocation->Element("DropHistoryType").SetValue("load and deflections");
        dat.FirstDropSeen = true;
    }
    PDDXSection& location = *dat.CurrentLocation;

    const int fields = FieldCount(f);
    if (fields != lastNeeded)
        Warn(context, dat, "the data line has " + std::to_string(fields) + " fields where the " +
                               (dat.ExtendedFormat ? "extended" : "short") + " layout for " + std::to_string(n) +
                               " sensors has " + std::to_string(lastNeeded) +
                               (fields < lastNeeded ? "; those missing were left empty" : "; the rest were not read"));
    const auto numberOrWarn = [&](std::size_t at, const std::string& what) {
        if (static_cast<int>(at) <= fields && !IsNumberText(f[at]))
            Warn(context, dat, what + " " + Quoted(f[at]) + " is not a number");
    };

    std::size_t firstDeflection;
    double load;
    if (dat.ExtendedFormat) {
        numberOrWarn(3, "the station");
        numberOrWarn(static_cast<std::size_t>(n + 6), "the surface temperature");
        location.Element("TestTemperatures")
            .SetValue(dat.AirTemperature + ", " + std::string(TrimBlanks(f[static_cast<std::size_t>(n + 6)])));
        location.Element("TestLocation").SetValue(std::string(TrimBlanks(f[3])) + ", 0, 0");
        location.Element("TestLane").SetValue(std::string(TrimBlanks(f[2])));
        load = NumberField(f[5], "the load");
        firstDeflection = 6;
    } else {
        location.Element("TestTemperatures").SetValue(dat.AirTemperature);
        load = first;
        firstDeflection = 2;
    }

    // Kips to pounds; the deflections stay in mils exactly as written.
    const double pounds = load * 1000;
    if (!std::isfinite(pounds)) throw OverflowError("the load " + DoubleText(load) + " kips is too large");
    std::string drop = PlainDecimalText(pounds);
    for (std::size_t i = firstDeflection; i < firstDeflection + static_cast<std::size_t>(n); ++i) {
        numberOrWarn(i, "deflection " + std::to_string(i - firstDeflection + 1));
        drop.append(", ").append(f[i]);
    }
    location.AddDropData().SetValue(std::move(drop));
}

// Tells the two layouts apart before anything is read: the extended one closes each point with
// a "Drop Sequence Completed Time:" line, and its data lines are longer than load + deflections.
bool IsExtendedLayout(ReaderInput& input, int numSensors, FieldArray& fields)
{
    NativeLines lines(input.Bytes);
    std::string_view line;
    while (lines.Next(line)) {
        if (line.find(kDropSequenceMark) != std::string_view::npos) return true;
        if (line.empty()) continue;
        bool extended = false;
        AtLine(input.Name, lines.Number(), [&] {
            SplitOnSpaces(line, fields);
            extended = ParseNumber(fields[1]).has_value() && FieldCount(fields) > numSensors + 1;
        });
        if (extended) return true;
    }
    return false;
}

}  // namespace

void ParseJilsDatLine(ReaderContext& context, JilsDatState& dat, FieldArray& fields, PDDXFile& document)
{
    const std::string& key = fields[1];
    if (key == "Date-Time:") {
        ReadDateTime(context, dat, fields, document);
    } else if (key == "Sensors:") {
        ReadSensors(context, dat, fields, document);
    } else if (key == "Location:") {
        document.Element("Location Identification", "SiteName")
            .SetValue(std::string(TrimBlanks(KeywordValue(context, dat, fields))));
    } else if (key == "Temp:") {
        dat.AirTemperature = TrimBlanks(KeywordValue(context, dat, fields));
        if (!dat.AirTemperature.empty() && !IsNumberText(dat.AirTemperature))
            Warn(context, dat, "the air temperature " + Quoted(dat.AirTemperature) + " is not a number");
        // The extended layout adds a surface temperature to every data line.
        document.Element("Device Configuration", "NumberOfTemperatureSensors").SetValue(dat.ExtendedFormat ? "2" : "1");
        document.Element("Device Configuration", "TemperatureSensorUse")
            .SetValue(dat.ExtendedFormat ? "air, surface" : "air");
    } else if (key == "Operator:") {
        document.Element("Operations Information", "OperatorName")
            .SetValue(std::string(TrimBlanks(KeywordValue(context, dat, fields))));
    } else if (key == "Comments:" || key == "Note:") {
        // free text for the crew
    } else if (key == "Drop") {
        // "Drop Sequence Completed Time: hh:mm" closes a point; the field program writes no seconds.
        if (fields[2] != "Sequence" || fields[3] != "Completed" || fields[4] != "Time:")
            Warn(context, dat, "the line is not \"Drop Sequence Completed Time: hh:mm\"; its fifth word, " +
                                   Quoted(fields[5]) + ", was taken as the time");
        else if (fields[5].empty())
            Warn(context, dat, "the drop sequence has no completion time");
        std::string time = std::string(TrimBlanks(fields[5])) + ":00";
        if (dat.CurrentLocation) dat.CurrentLocation->Element("TestTime").SetValue(time);
        document.Element("Operations Information", "EndTime").SetValue(std::move(time));
    } else if (const auto first = ParseNumber(key)) {
        ReadDataLine(context, dat, fields, *first, document);
    }
}

void ReadJilsDat(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    FieldArray fields;
    JilsDatState dat;
    // The count in force before the file: its own "Sensors:" line is only met in the main pass.
    dat.ExtendedFormat = IsExtendedLayout(input, context.NumSensors, fields);
    input.Bytes.Rewind();

    NativeLines lines(input.Bytes);
    std::string_view first;
    if (!lines.Next(first)) throw ReadError(input.Name, 0, "the file is empty");
    document.Element("Device Information", "DeviceDesignationName").SetValue(std::string(TrimBlanks(first)));
    ForEachLine(lines, input.Name, [&](std::string_view line, int number) {
        dat.Line = number;
        SplitOnSpaces(line, fields);
        ParseJilsDatLine(context, dat, fields, document);
    });

    const auto set = [&document](std::string_view section, std::string_view key, std::string value) {
        document.Element(section, key).SetValue(std::move(value));
    };
    set("Operations Information", "FileName", ReplaceAll(input.Name, ".DAT", ".DDX"));
    set("Units", "LoadPlateRadiusUnits", "inch");
    set("Units", "LoadUnits", "pound-force");
    set("Units", "TemperatureUnits", "Fahrenheit");
    set("Units", "DeflectionUnits", "mil");
    set("Units", "SensorsLocationUnits", "inch");
    set("Units", "TestLocationUnits", "mile, inch, inch");
    set("Units", "DropHistoryDataFrequencyUnits", "Hertz");
    set("Device Information", "DeviceLoadType", "Impulse");
    // A DAT file does not state its geometry: the user keeps it in the settings.
    set("Device Configuration", "LoadPlateRadius", context.Jils.LoadPlateRadius);
    set("Device Configuration", "DeflectionSensorXAxisDistances", context.Jils.SensorXAxis);
    set("Device Configuration", "DeflectionSensorYAxisDistances", context.Jils.SensorYAxis);
}

}  // namespace vantrel
