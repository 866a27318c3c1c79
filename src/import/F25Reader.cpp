// Dynatest F25 files: comma-separated records, each named by the numeric code in its first
// field (header records, then per station its temperatures, drops and time history).

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Latin1.h"
#include "base/NumberText.h"
#include "base/ReadError.h"
#include "document/PDDXFile.h"
#include "import/LineChecks.h"
#include "import/FileFormats.h"
#include "import/ReaderInput.h"
#include "import/ReaderSupport.h"
#include "import/Sniffing.h"

namespace vantrel {
namespace {

// A time-history block (5185) and the sample lines that follow it in the file.
struct HistoryBlock {
    int Line = 0;                     // the block's own line; 0 while no block is open
    int Count = 0;                    // the sample lines it names
    int Read = 0;                     // those read so far
    int Drop = 0;                     // the drop its samples belong to
    double LastSample = 0;            // the number the last sample line began with
    PDDXSection* Location = nullptr;  // where the samples go; none before the file's first station
};

// Whether the file's first station record opens a test location: field programs write one in the
// header, which does not, so it waits for the line that tells the two apart.
enum class FirstStation {
    Ahead,  // not met yet
    Held,   // met; it and the station's records after it are held
    Skip,   // it is the header's: the next station record opens nothing
    Passed  // decided and handled
};

}  // namespace

// Where the reader stands between the lines of one file; every file starts from a fresh one.
struct F25State {
    bool DropMode = false;  // data lines are drops of the current test location
    FirstStation First = FirstStation::Ahead;
    std::vector<std::pair<int, std::string>> HeldLines;  // line number and text, from the first station record on
    HistoryBlock Block;
    // Whether a record of this reader has been met. Until then the lines of values no station takes
    // wait, as a file of no record at all is no F25 and is warned of as a whole.
    bool RecordMet = false;
    std::vector<int> UntakenLines;
    bool Metric = false;                   // left by the last unit code of record 5010
    int XSensors = -1;                     // sensors of this file's X offsets (5020); -1 before them
    int YSensors = -1;                     // and of its Y offsets (5021)
    int LoadCellLine = 0;                  // the line of the load cell record (5200); 0 before it
    bool SensorsFromLoadCellCode = false;  // the first sensor came as a second 5200, so 5201 is the second
    bool UntypedSensorSaid = false;        // a record without its type field has been warned of
    std::string HistoryFileExtension;      // of the file time histories are kept in, where 5010 names one
    bool SeparateHistoriesSaid = false;    // the warning that they were not read is given once a file
    int TimeStepLine = 0;                  // the line whose time step gave the sampling frequency
    // A GPS fix stands above the station record it belongs to, so it waits for that record.
    std::string PendingGps;
    int PendingGpsLine = 0;  // the line of the waiting fix; 0 when none waits
    // Comment records met before the file's first test location, and descriptions (76xx) of the
    // test that follows: both wait for the next station that opens one.
    std::string PendingComments;
    PDDXSection* CurrentTestLocation = nullptr;
    std::string Value;  // the line's value, built in one reused buffer
};

namespace {

// Every record: its code in field 0, the fields after it named below with the records they
// belong to (the writers' documentation counts them from 1, the code being field 1).
constexpr std::size_t kColCode = 0;

// One line being handled: its fields, and what the handler of its record reads and changes.
// Handlers take it apart into these names: auto& [context, f25, fields, document, line, faults].
struct Record {
    ReaderContext& Context;
    F25State& State;
    const LineFields& Fields;
    PDDXFile& Document;
    int Line;
    LineFaults& Faults;
};

std::string Without(std::string_view text, std::string_view unwanted)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (unwanted.find(c) == std::string_view::npos) out += c;
    return out;
}

// Apostrophes and double quotes removed, then blanks at both ends.
std::string Cleaned(std::string_view field) { return std::string(TrimBlanks(Without(field, "'\""))); }

// Every non-overlapping `what`, left to right, removed.
std::string RemoveAll(std::string_view text, std::string_view what)
{
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    for (std::size_t found; (found = text.find(what, at)) != std::string_view::npos; at = found + what.size())
        out.append(text.substr(at, found - at));
    out.append(text.substr(at));
    return out;
}

int TestLocationCount(const PDDXFile& document)
{
    return CounterValue(document.Element(pddx::DeflectionData::NumberOfTestLocations).Value());
}

PDDXSection& Current(const F25State& f25)
{
    if (!f25.CurrentTestLocation) throw InputError("no test location has been started in this file");
    return *f25.CurrentTestLocation;
}

// Year, month and day fields (16-bit whole numbers) as dd-mmm-yyyy.
std::string DateText(const LineFields& fields, std::size_t yearField)
{
    const int year = ToInt16(fields[yearField]);
    const int month = ToInt16(fields[yearField + 1]);
    const int day = ToInt16(fields[yearField + 2]);
    return FormatDate(DateFromParts(year, month, day));
}

// Seconds as a station record may give them: whole (or with a fraction, which the time of day
// cannot hold) from 0 to 59. Empty where the record gives none or they cannot be read.
std::string SecondsText(std::string_view field, LineFaults& faults)
{
    const std::string_view text = TrimBlanks(field);
    if (text.empty()) return {};
    const std::string_view whole = text.substr(0, text.find('.'));
    if (whole.size() <= 2 && IsWholeNumberText(whole) && LineFaults::IsNumber(text) &&
        std::stoi(std::string(whole)) < 60)
        return std::string(whole);
    faults.Note("seconds " + Quoted(text) + " are not 0 to 59; the time was written with :00");
    return {};
}

// hour:minute:seconds as hh:nn:ss, the seconds 00 where there are none. A pair that is no time of
// day gives nothing, so that the time is left out while the rest of the record is still read.
std::optional<std::string> TimeText(std::string_view hour, std::string_view minute, LineFaults& faults,
                                    std::string_view seconds = {})
{
    const std::string text = std::string(TrimBlanks(hour)) + ":" + std::string(TrimBlanks(minute));
    try {
        return TimeOfDayText(text + ":" + (seconds.empty() ? std::string("00") : std::string(seconds)));
    } catch (const ConversionError&) {
        faults.Note("time " + Quoted(text) + " is not a time of day");
        return std::nullopt;
    }
}

// 5010: a unit code in each of five fields; the one of the station distances names all three
// units of a test location.
constexpr std::size_t kColTemperatureUnit = 1, kColDeflectionUnit = 5, kColGeometryUnit = 6, kColDistanceUnit = 8,
                      kColLoadUnit = 11;
// And the extension of the file that holds the time histories where they are kept apart.
constexpr std::size_t kColHistoryFileExtension = 22;

void SetUnits(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    struct UnitCode {
        std::size_t field;
        std::string_view code;
        const char* value;
        bool metric;
    };
    static constexpr UnitCode kCodes[] = {
        {kColTemperatureUnit, "0", "Celsius", true},
        {kColTemperatureUnit, "1", "Fahrenheit", false},
        {kColDeflectionUnit, "0", "micron", true},
        {kColDeflectionUnit, "1", "mil", false},
        {kColGeometryUnit, "0", "millimeter", true},
        {kColGeometryUnit, "1", "inch", false},
        {kColDistanceUnit, "2", "meter, meter, millimeter", true},
        {kColDistanceUnit, "3", "kilometer, meter, meter", true},
        {kColDistanceUnit, "4", "inch, inch ,inch", true},
        {kColDistanceUnit, "5", "foot, inch, inch", false},
        {kColDistanceUnit, "6", "yard, inch, inch", false},
        {kColDistanceUnit, "7", "mile, inch, inch", false},
        {kColDistanceUnit, "8", "mile, inch, inch", false},
        {kColDistanceUnit, "9", "mile-feet, inch, inch", false},
        {kColLoadUnit, "0", "kilo-Pascal", true},
        {kColLoadUnit, "1", "pound-force per square inch", false},
    };
    f25.HistoryFileExtension = Cleaned(fields[kColHistoryFileExtension]);
    for (std::size_t field :
         {kColTemperatureUnit, kColDeflectionUnit, kColGeometryUnit, kColDistanceUnit, kColLoadUnit}) {
        const std::string_view code = TrimBlanks(fields[field]);
        bool known = false;
        for (const UnitCode& unit : kCodes) known = known || (unit.field == field && unit.code == code);
        if (!known)
            faults.Note("unit code " + Quoted(code) + " in field " + std::to_string(field + 1) + " is not known");
    }
    for (const UnitCode& unit : kCodes) {
        if (TrimBlanks(fields[unit.field]) != unit.code) continue;
        switch (unit.field) {
        case kColTemperatureUnit:
            document.Element(pddx::Units::TemperatureUnits).SetValue(unit.value);
            break;
        case kColDeflectionUnit:
            document.Element(pddx::Units::DeflectionUnits).SetValue(unit.value);
            break;
        case kColGeometryUnit:
            document.Element(pddx::Units::SensorsLocationUnits).SetValue(unit.value);
            document.Element(pddx::Units::LoadPlateRadiusUnits).SetValue(unit.value);
            break;
        case kColDistanceUnit:
            document.Element(pddx::Units::TestLocationUnits).SetValue(unit.value);
            break;
        default:
            document.Element(pddx::Units::LoadUnits).SetValue(unit.value);
            break;
        }
        f25.Metric = unit.metric;
    }
}

void SetSensorCount(ReaderContext& context, PDDXFile& document, int count)
{
    context.NumSensors = count;
    document.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors).SetValue(std::to_string(count));
}

// 5020 and 5021: the plate (its radius, or its diameter), then the sensor offsets up to a field
// "N0" (any case) that ends them.
constexpr std::size_t kColPlate = 1, kColFirstOffset = 2;

// The offsets as the list `distances`; returns how many there are.
int SetSensorList(const LineFields& fields, PDDXFile& document, const SectionAndKey& distances)
{
    std::string list(TrimBlanks(fields[kColFirstOffset]));
    std::size_t i = kColFirstOffset + 1;
    for (;; ++i) {
        if (i >= kMaxFields) throw InputError("the sensor list has no closing N0");
        const std::string_view field = TrimBlanks(fields[i]);
        if (EqualsIgnoreCase(field, "N0")) break;
        list.append(", ").append(field);
    }
    document.Element(distances).SetValue(std::move(list));
    return static_cast<int>(i - kColFirstOffset);
}

// The X offsets (5020) count the sensors of every drop; Y offsets (5021) of another number fill
// what they have and leave the count alone, as they do when no X offsets came before them.
void SetSensorLists(Record& r, bool xAxis)
{
    auto& [context, f25, fields, document, line, faults] = r;
    int& own = xAxis ? f25.XSensors : f25.YSensors;
    const int other = xAxis ? f25.YSensors : f25.XSensors;
    own = SetSensorList(fields, document,
                        xAxis ? pddx::DeviceConfiguration::DeflectionSensorXAxisDistances
                              : pddx::DeviceConfiguration::DeflectionSensorYAxisDistances);
    if (xAxis || other < 0) SetSensorCount(context, document, own);
    if (other >= 0 && other != own)
        faults.Note("the Y offsets list " + std::to_string(f25.YSensors) + " sensors and the X offsets " +
                    std::to_string(f25.XSensors) + "; every drop keeps the " + std::to_string(f25.XSensors) +
                    " deflections of the X offsets");
}

void SetRadiusAndXOffsets(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    document.Element(pddx::DeviceConfiguration::LoadPlateRadius).SetValue(std::string(TrimBlanks(fields[kColPlate])));
    SetSensorLists(r, true);
}

void SetDiameterAndYOffsets(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    const double diameter = ToNumber(TrimBlanks(fields[kColPlate]));
    if (diameter > 0) document.Element(pddx::DeviceConfiguration::LoadPlateRadius).SetValue(DoubleText(diameter / 2));
    SetSensorLists(r, false);
}

void DropPendingGps(ReaderContext& context, F25State& f25, std::string_view why)
{
    if (f25.PendingGpsLine == 0) return;
    context.Warnings.Add(f25.PendingGpsLine, "GPS fix not kept: " + std::string(why));
    f25.PendingGpsLine = 0;
}

// What the failure codes of a GPS record (field 2) mean, where it is known.
std::string GpsFailure(std::string_view code)
{
    return "GPS fix failed (code " + std::string(code) + (code == "2" ? ": DOPs too large)" : ")");
}

// 5280: a GPS fix, its failure code (0 for a position), then latitude, longitude and altitude.
constexpr std::size_t kColGpsFailure = 1, kColLatitude = 3, kColLongitude = 4, kColAltitude = 5;

// The fix waits for the station record that follows it. A fix whose failure code (a whole
// number) is not 0 is no position: it is not used.
void KeepGps(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    const std::string_view failure = TrimBlanks(fields[kColGpsFailure]);
    if (IsWholeNumberText(failure) && failure.find_first_not_of('0') != std::string_view::npos) {
        faults.Note(GpsFailure(failure) + "; it was not used");
        return;
    }
    faults.ExpectNumber("GPS latitude", fields[kColLatitude]);
    faults.ExpectNumber("GPS longitude", fields[kColLongitude]);
    faults.ExpectNumber("GPS altitude", fields[kColAltitude]);
    DropPendingGps(context, f25, "the fix of line " + std::to_string(line) + " follows it before the next station");
    f25.PendingGps.assign(TrimBlanks(fields[kColLatitude]));
    f25.PendingGps.append(", ")
        .append(TrimBlanks(fields[kColLongitude]))
        .append(", ")
        .append(TrimBlanks(fields[kColAltitude]));
    f25.PendingGpsLine = line;
}

// 7901 to 7904: comments the crew typed at a station (road markers and the like). Their fields
// after the code are their text; before the file's first test location they wait for that one.
void AddComment(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    std::string text;
    for (std::size_t i = kColCode + 1; i < fields.size(); ++i) {
        const std::string field = Cleaned(fields[i]);
        if (field.empty()) continue;
        if (!text.empty()) text += ", ";
        text += field;
    }
    if (f25.CurrentTestLocation) AppendComment(*f25.CurrentTestLocation, text);
    else AppendComment(f25.PendingComments, text);
}

// 5301: a station, opening a test location: its distance, lane, date (year, month, day) and time
// (hour, minute and seconds).
constexpr std::size_t kColStationDistance = 5, kColLane = 8, kColYear = 9, kColHour = 12, kColMinute = 13,
                      kColSeconds = 14;

void SetStation(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    // The header's station record stands before the first real one.
    if (f25.First == FirstStation::Skip) {
        f25.First = FirstStation::Passed;
        DropPendingGps(context, f25, "the station record below it is the file's first, which opens no test location");
        return;
    }
    PDDXSection& location = document.AddTestLocation();
    f25.CurrentTestLocation = &location;
    if (f25.PendingGpsLine != 0) {
        location.Element(pddx::TestLocation::GPSLocation).SetValue(std::move(f25.PendingGps));
        f25.PendingGpsLine = 0;
    }
    AppendComment(location, f25.PendingComments);
    f25.PendingComments.clear();
    const std::optional<std::string> time =
        TimeText(fields[kColHour], fields[kColMinute], faults, SecondsText(fields[kColSeconds], faults));
    // Only the document's first test location dates the whole run.
    if (TestLocationCount(document) == 1) {
        document.Element(pddx::OperationsInformation::StartDate).SetValue(DateText(fields, kColYear));
        if (time) document.Element(pddx::OperationsInformation::StartTime).SetValue(*time);
    }
    location.Element(pddx::TestLocation::TestLocation)
        .SetValue(std::string(TrimBlanks(fields[kColStationDistance])) + ", 0, 0");
    if (time) location.Element(pddx::TestLocation::TestTime).SetValue(*time);
    location.Element(pddx::TestLocation::TestLane).SetValue(std::string(TrimBlanks(Without(fields[kColLane], "\""))));
    f25.DropMode = true;
}

// 5303: the temperatures of a station, "N0" where a reading is missing: mid-depth, surface, air.
constexpr std::size_t kColMidDepth = 2, kColSurface = 3, kColAir = 4;

void SetTemperatures(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    for (std::size_t field : {kColAir, kColSurface, kColMidDepth})
        if (TrimBlanks(fields[field]) != "N0")
            faults.ExpectNumber("temperature", fields[field], "in field " + std::to_string(field + 1));
    // Before the file's first test location the readings are the first station record's, which
    // opens none.
    if (f25.CurrentTestLocation) {
        std::string text(TrimBlanks(fields[kColAir]));
        text.append(", ").append(TrimBlanks(fields[kColSurface])).append(", ").append(TrimBlanks(fields[kColMidDepth]));
        Current(f25).Element(pddx::TestLocation::TestTemperatures).SetValue(RemoveAll(text, "N0"));
    }
    // The uses follow the readings found, not the field they stand in.
    static constexpr const char* kUses[] = {"air, ", "surface, ", "mid-depth, "};
    int count = 0;
    std::string uses;
    for (std::size_t field : {kColAir, kColSurface, kColMidDepth})
        if (TrimBlanks(fields[field]) != "N0") uses += kUses[count++];
    document.Element(pddx::DeviceConfiguration::NumberOfTemperatureSensors).SetValue(std::to_string(count));
    if (count == 0) throw InputError("the temperature record holds no reading");
    uses.resize(uses.size() - 2);
    document.Element(pddx::DeviceConfiguration::TemperatureSensorUse).SetValue(std::move(uses));
}

// 5185: the head of a time-history block: the drop it belongs to (its step in the drop sequence),
// the number of sample lines, the time between samples in microseconds, and where the samples
// are: -1 or nothing for the lines that follow it, anything else for a file of their own.
constexpr std::size_t kColSequenceStep = 15, kColLineCount = 16, kColTimeStep = 17, kColFilePosition = 18;

// The time step sets the document's one sampling frequency; a block of another step says so.
void SetFrequency(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    const std::string_view text = TrimBlanks(fields[kColTimeStep]);
    if (text.empty()) return;
    const std::optional<double> step = ParseNumber(text);
    if (!step || !(*step > 0)) return faults.Note("time step " + Quoted(text) + " is not a number above 0");
    PDDXElement& frequency = document.Element(pddx::DeflectionData::DropHistoryDataFrequency);
    const std::string hertz = DoubleText(1e6 / *step);
    if (f25.TimeStepLine == 0) {
        frequency.SetValue(hertz);
        f25.TimeStepLine = line;
    } else if (frequency.Value() != hertz) {
        faults.Note("time step " + std::string(text) + " microseconds (" + hertz +
                    " Hz) differs from the one of line " + std::to_string(f25.TimeStepLine) + "; the document keeps " +
                    std::string(frequency.Value()) + " Hz");
    }
}

void StartHistory(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    const int count = ToInt16(fields[kColLineCount]);
    if (count < 0) throw InputError("a line count of " + std::to_string(count) + " is below 0");
    const std::string_view position = TrimBlanks(fields[kColFilePosition]);
    if (!position.empty() && ParseNumber(position) != -1.0) {
        if (!LineFaults::IsNumber(position)) {
            faults.Note("file position " + Quoted(position) +
                        " is not a number; the samples were read from the lines below");
        } else {
            // Nothing follows here, so the lines below are read as ever.
            if (f25.SeparateHistoriesSaid) return;
            f25.SeparateHistoriesSaid = true;
            return faults.Note("the time histories are kept in a file of their own" +
                               (f25.HistoryFileExtension.empty()
                                    ? std::string()
                                    : " (extension " + Quoted(f25.HistoryFileExtension) + ")") +
                               "; they were not read");
        }
    }
    HistoryBlock& block = f25.Block;
    block = {line, count, 0, 0, std::numeric_limits<double>::quiet_NaN(), f25.CurrentTestLocation};
    if (count == 0) block.Line = 0;
    if (!block.Location) return faults.Note("no station comes before the block; its sample lines were not kept");
    const std::string_view step = TrimBlanks(fields[kColSequenceStep]);
    if (IsWholeNumberText(step) && LeadingNumber(step) >= 1 && LeadingNumber(step) <= INT16_MAX) {
        block.Drop = static_cast<int>(LeadingNumber(step));
    } else {
        // Without a drop of its own the block is the last drop's.
        block.Drop = CounterValue(block.Location->Element(pddx::TestLocation::NumberOfDrops).Value());
        if (block.Drop == 0 && count > 0)
            faults.Note("the block names no drop and comes before the station's first drop; its samples were kept "
                        "under drop 0");
    }
    if (count == 0) return;
    block.Location->Element(pddx::TestLocation::DropHistoryType).SetValue("load and deflections");
    SetFrequency(r);
}

// A drop or a time-history sample: any code outside the records above, then the load and one
// deflection per sensor.
constexpr std::size_t kColLoad = 1, kColFirstDeflection = 2;

// The load and deflections must be numbers, one for each sensor and no more.
void CheckDropFields(const LineFields& fields, int numSensors, LineFaults& faults)
{
    // Signed: a count below 0 (left by another format's reader) takes no deflection.
    const int count = static_cast<int>(fields.size()), first = static_cast<int>(kColFirstDeflection);
    if (count < first + numSensors)
        faults.Note("the line holds " + std::to_string(std::max(count - first, 0)) + " of the " +
                    std::to_string(numSensors) + " deflections");
    faults.ExpectNumber("load", fields[kColLoad]);
    for (int k = 0; k < numSensors && first + k < count; ++k) {
        const std::string_view field = fields[kColFirstDeflection + static_cast<std::size_t>(k)];
        if (!LineFaults::IsNumber(field)) faults.ExpectNumber("deflection " + std::to_string(k + 1), field);
    }
    int more = 0;
    for (int i = std::max(first + numSensors, 0); i < count; ++i)
        more += !TrimBlanks(fields[static_cast<std::size_t>(i)]).empty();
    if (more > 0)
        faults.Note("the line holds " + std::to_string(more) + " more values than the " + std::to_string(numSensors) +
                    " sensors have deflections; they were not kept");
}

void CheckSensorCount(int numSensors)
{
    if (numSensors > static_cast<int>(kMaxFields - kColFirstDeflection))
        throw InputError("a line holds at most " + std::to_string(kMaxFields - kColFirstDeflection) +
                         " deflections, and " + std::to_string(numSensors) + " sensors were named");
}

// The load and one deflection per sensor, trimmed, joined by ", ".
const std::string& DropText(const LineFields& fields, int numSensors, std::string& text, LineFaults& faults)
{
    CheckSensorCount(numSensors);
    CheckDropFields(fields, numSensors, faults);
    text.assign(TrimBlanks(fields[kColLoad]));
    for (int k = 0; k < numSensors; ++k)
        text.append(", ").append(TrimBlanks(fields[kColFirstDeflection + static_cast<std::size_t>(k)]));
    return text;
}

constexpr const char* kUntaken = "no station is open to take the line as a drop; it was not kept";

void AddDataLine(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    if (!f25.DropMode && !f25.RecordMet) return f25.UntakenLines.push_back(line);
    if (!f25.DropMode) return faults.Note(kUntaken);
    const std::string& value = DropText(fields, context.NumSensors, f25.Value, faults);
    Current(f25).AddDropData().SetValue(value);
}

// A sample line of the open time-history block, `number` its first field: the sample's place in
// the block numbers it, whatever the writer numbered it.
void AddSample(Record& r, double number)
{
    auto& [context, f25, fields, document, line, faults] = r;
    HistoryBlock& block = f25.Block;
    block.LastSample = number;
    const int sample = ++block.Read;
    if (block.Read == block.Count) block.Line = 0;  // whole: the next line is a record or a drop again
    if (!block.Location) return;                    // said at the block's head
    CheckSensorCount(context.NumSensors);
    // A second block for one drop repeats its sample numbers: its samples are the input's fault,
    // refused with a warning (without an exception: they come by the thousand, and past the
    // warnings listed, unread).
    std::string refused;
    PDDXElement* element =
        block.Location->AddHistoryDataIfNew(block.Drop, sample, faults.Listed() ? &refused : nullptr);
    if (element) {
        element->SetValue(DropText(fields, context.NumSensors, f25.Value, faults));
    } else if (faults.Listed()) {
        CheckDropFields(fields, context.NumSensors, faults);
        faults.Note(refused + "; the rest of the line was skipped");
    } else {
        faults.Note({});
    }
}

// 7600 to 7699: a description of the test that follows (7652 "Midslab", 7654 "Joint/Crack"): the
// station, then the text in double quotes. It joins the comment of the next test location opened.
// Without a text, 7655 and 7656 carry nothing the document takes, and the other codes are lines
// of values as any code no record names.
constexpr std::size_t kColDescription = 2;
constexpr double kFirstIgnoredObject = 7655, kLastIgnoredObject = 7656;

void AddDescription(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    if (TrimBlanks(fields[kColDescription]).starts_with('"'))
        return AppendComment(f25.PendingComments, Cleaned(fields[kColDescription]));
    const double code = LeadingNumber(fields[kColCode]);
    if (code < kFirstIgnoredObject || code > kLastIgnoredObject) AddDataLine(r);
}

// Text fields are padded with blanks to their width by the writer; the padding is no part of them.

// 5001: the software version.
constexpr std::size_t kColSoftwareVersion = 1;

void SetSoftwareVersion(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    document.Element(pddx::OperationsInformation::SoftwareVersion)
        .SetValue(std::string(TrimBlanks(fields[kColSoftwareVersion])));
}

// 5002: the serial number, its model number before a hyphen.
constexpr std::size_t kColSerialNumber = 2;

void SetSerialNumber(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    std::string serial(TrimBlanks(Without(fields[kColSerialNumber], "\"'")));
    document.Element(pddx::DeviceInformation::DeviceSerialNumber).SetValue(serial);
    const auto hyphen = serial.find('-');
    if (hyphen != std::string::npos)
        document.Element(pddx::DeviceInformation::DeviceModelNumber).SetValue(serial.substr(0, hyphen));
}

// 5011: the end of the run, its date (year, month, day) and time (hour, minute).
constexpr std::size_t kColEndYear = 3, kColEndHour = 6, kColEndMinute = 7;

void SetEnd(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    document.Element(pddx::OperationsInformation::EndDate).SetValue(DateText(fields, kColEndYear));
    if (auto time = TimeText(fields[kColEndHour], fields[kColEndMinute], faults))
        document.Element(pddx::OperationsInformation::EndTime).SetValue(*time);
}

// 5030 the operator, 5031 the road and its pavement, 5032 the section.
constexpr std::size_t kColName = 1, kColPavement = 4;

void SetOperator(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    document.Element(pddx::OperationsInformation::OperatorName).SetValue(Cleaned(fields[kColName]));
}

void SetRoad(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    document.Element(pddx::LocationIdentification::FacilityName).SetValue(Cleaned(fields[kColName]));
    document.Element(pddx::LocationIdentification::PavementType).SetValue(Cleaned(fields[kColPavement]));
}

void SetSection(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    document.Element(pddx::LocationIdentification::SectionName).SetValue(Cleaned(fields[kColName]));
}

// 5200 the load cell, 5201 to 5218 the sensors in place order ("NA" where there is none): each its
// serial number, type, relative gain (the centre gain) and absolute gain (the calibration factor).
constexpr std::size_t kColDeviceSerial = 1, kColCenterGain = 3, kColCalibrationFactor = 4;
// Some writers leave the type out of a sensor's record: serial, relative and absolute gain alone.
constexpr std::size_t kFieldsWithoutType = 4;

// The fields of the relative and the absolute gain of a load cell or sensor record; a record
// without its type has them one field earlier, which is said once a file.
std::pair<std::size_t, std::size_t> GainFields(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    if (fields.size() != kFieldsWithoutType) return {kColCenterGain, kColCalibrationFactor};
    if (!f25.UntypedSensorSaid)
        faults.Note(
            "the record gives no type: here and in the records after it, the third field is read as the relative "
            "gain and the fourth as the absolute gain");
    f25.UntypedSensorSaid = true;
    return {kColCenterGain - 1, kColCalibrationFactor - 1};
}

// The sensor of a record, as the first of the list or appended to it; "NA" is no sensor, which
// the caller has told.
void KeepSensor(Record& r, bool first)
{
    auto& [context, f25, fields, document, line, faults] = r;
    const std::string serial = Cleaned(fields[kColDeviceSerial]);
    const auto [centre, factor] = GainFields(r);
    PDDXElement& serials = document.Element(pddx::DeviceInformation::SensorSerialNumbers);
    PDDXElement& factors = document.Element(pddx::DeviceCalibration::SensorReferenceCalibrationFactor);
    PDDXElement& gains = document.Element(pddx::DeviceCalibration::SensorCalibrationCenterGain);
    if (first) {
        serials.SetValue(serial);
        factors.SetValue(std::string(TrimBlanks(fields[factor])));
        gains.SetValue(std::string(TrimBlanks(fields[centre])));
        return;
    }
    serials.AppendItem(serial);
    gains.AppendItem(TrimBlanks(fields[centre]));
    factors.AppendItem(TrimBlanks(fields[factor]));
}

void SetLoadCell(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    // Some writers code sensor i as 5200 + i, so that their first sensor comes as a second 5200:
    // in a sensor's shape it is kept as the first sensor.
    if (f25.LoadCellLine != 0) {
        const bool sensor = fields.size() == kFieldsWithoutType;
        faults.Note("a second load cell record; the load cell of line " + std::to_string(f25.LoadCellLine) +
                    " is kept" +
                    (sensor ? ", and this one, in a sensor's shape, is read as the first sensor"
                            : " and this one is not"));
        if (!sensor || Cleaned(fields[kColDeviceSerial]) == "NA") return;
        KeepSensor(r, true);
        f25.SensorsFromLoadCellCode = true;
        return;
    }
    f25.LoadCellLine = line;
    const auto [centre, factor] = GainFields(r);
    document.Element(pddx::DeviceInformation::LoadCellSerialNumber).SetValue(Cleaned(fields[kColDeviceSerial]));
    document.Element(pddx::DeviceCalibration::LoadCellCalibrationCenterGain)
        .SetValue(std::string(TrimBlanks(fields[centre])));
    document.Element(pddx::DeviceCalibration::LoadCellCalibrationFactor)
        .SetValue(std::string(TrimBlanks(fields[factor])));
}

void SetFirstSensor(Record& r)
{
    // "NA" with its quotes removed but not its apostrophes, as for no other sensor.
    if (TrimBlanks(Without(r.Fields[kColDeviceSerial], "\"")) == "NA") return;
    KeepSensor(r, !r.State.SensorsFromLoadCellCode);
}

void AddSensor(Record& r)
{
    if (Cleaned(r.Fields[kColDeviceSerial]) != "NA") KeepSensor(r, false);
}

// 5302: the comment of a station.
constexpr std::size_t kColStationComment = 9;

void AddStationComment(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    // Before the file's first test location the comment is the first station record's.
    if (f25.CurrentTestLocation) AppendComment(*f25.CurrentTestLocation, Cleaned(fields[kColStationComment]));
}

// Where a record stands in a file: among the header's, or among a station's (before or after its
// station record), which tells nothing of whether the file's first station record is real.
enum class Place { Header, Station };

// The records by code, each code from First to Last handled alike; records without a handler
// carry nothing the document takes.
struct RecordCodes {
    double First, Last;
    void (*Handle)(Record& r);
    Place Where = Place::Header;
};

constexpr RecordCodes kRecords[] = {
    {5001, 5001, SetSoftwareVersion},
    {5002, 5002, SetSerialNumber},
    {5003, 5003, nullptr},
    {5010, 5010, SetUnits},
    {5011, 5011, SetEnd},
    {5020, 5020, SetRadiusAndXOffsets},
    {5021, 5021, SetDiameterAndYOffsets},
    {5022, 5029, nullptr},
    {5030, 5030, SetOperator},
    {5031, 5031, SetRoad},
    {5032, 5032, SetSection},
    {5041, 5044, nullptr},
    {5185, 5185, StartHistory, Place::Station},
    {5200, 5200, SetLoadCell},
    {5201, 5201, SetFirstSensor},
    {5202, 5218, AddSensor},
    {5280, 5280, KeepGps, Place::Station},
    {5281, 5281, nullptr, Place::Station},
    {5301, 5301, SetStation, Place::Station},
    {5302, 5302, AddStationComment, Place::Station},
    {5303, 5303, SetTemperatures, Place::Station},
    {7600, 7699, AddDescription, Place::Station},
    {7901, 7904, AddComment, Place::Station},
};

// The lookup below takes the rows in code order, no two of them sharing a code.
constexpr bool InCodeOrder()
{
    for (std::size_t i = 0; i < std::size(kRecords); ++i)
        if (kRecords[i].First > kRecords[i].Last || (i > 0 && kRecords[i - 1].Last >= kRecords[i].First)) return false;
    return true;
}
static_assert(InCodeOrder(), "the F25 record table is not in code order");

// The row of a record code; none for a code that no row holds (a fraction, a code unknown, none
// at all), which is a line of values: a drop or a sample.
const RecordCodes* FindRecord(double code)
{
    const RecordCodes* row = std::lower_bound(std::begin(kRecords), std::end(kRecords), code,
                                              [](const RecordCodes& row, double c) { return row.Last < c; });
    return row == std::end(kRecords) || !(row->First <= code) ? nullptr : row;  // NaN too
}

void HandleRecord(Record& r, double code)
{
    const RecordCodes* row = FindRecord(code);
    if (!row) return AddDataLine(r);
    if (row->Handle) row->Handle(r);
}

// A line of an open time-history block is a sample unless it is a record: it begins with the
// number after the last sample's (writers number them 1, 2, ... or 1001, 1002, ..., which may
// reach the codes of records), or with a code no record has.
bool TakesSample(const HistoryBlock& block, double code) { return code == block.LastSample + 1 || !FindRecord(code); }

// A block cut short by a record, or by the end of the file (line 0).
void EndBlockEarly(ReaderContext& context, HistoryBlock& block, int line)
{
    context.Warnings.Add(block.Line, "the time-history block holds " + std::to_string(block.Read) + " of the " +
                                         std::to_string(block.Count) + " sample lines it names; " +
                                         (line == 0 ? std::string("the file ends")
                                                    : "line " + std::to_string(line) + " is a record") +
                                         " before the rest");
    block.Line = 0;
}

// Handles line `line` split with SplitOnCommas, as a record or as a sample of the open block. An
// input error ends the handling of the line where it happens, keeping what the line set before
// it, with a warning saying why.
void HandleLine(ReaderContext& context, F25State& f25, const LineFields& fields, PDDXFile& document, int line,
                double code, bool sample)
{
    LineFaults faults(!context.Warnings.Full());
    // The line is given up where it failed; what it set before stays, and reading goes on.
    Record record{context, f25, fields, document, line, faults};
    OnInputError([&] { sample ? AddSample(record, code) : HandleRecord(record, code); },
                 [&](const char* reason) { faults.Note(std::string(reason) + "; the rest of the line was skipped"); });
    faults.Report(context.Warnings, line);
}

// The file's first station record and the lines held after it, handled now that it is known
// whether it opens a test location.
void ReleaseHeld(ReaderContext& context, F25State& f25, PDDXFile& document, bool opens)
{
    f25.First = opens ? FirstStation::Passed : FirstStation::Skip;
    LineFields fields;
    for (const auto& [number, text] : std::exchange(f25.HeldLines, {})) {
        SplitOnCommas(text, fields);
        HandleLine(context, f25, fields, document, number, LeadingNumber(fields[kColCode]), false);
    }
}

constexpr double kStationCode = 5301;

// Whether line `text` (record `code`) is held behind the file's first station record: that
// record opens a test location when drops (or time histories) follow it, and is the header's when
// another station record or a header record comes first, or nothing at all.
bool HoldFirstStation(ReaderContext& context, F25State& f25, PDDXFile& document, std::string_view text, int line,
                      double code)
{
    if (f25.First == FirstStation::Ahead && code == kStationCode) f25.First = FirstStation::Held;
    if (f25.First != FirstStation::Held) return false;
    const RecordCodes* row = FindRecord(code);
    const bool tellsNothing = row && row->Where == Place::Station && row->Handle != StartHistory &&
                              !(code == kStationCode && !f25.HeldLines.empty());
    if (tellsNothing) {
        f25.HeldLines.emplace_back(line, text);
        return true;
    }
    ReleaseHeld(context, f25, document, !row || row->Handle == StartHistory);
    return false;
}

}  // namespace

// Handles line `line` of the file, which `fields` is split into.
void ParseF25Line(ReaderContext& context, F25State& f25, std::string_view text, const LineFields& fields,
                  PDDXFile& document, int line)
{
    const double code = LeadingNumber(fields[kColCode]);
    if (!f25.RecordMet && FindRecord(code)) {
        f25.RecordMet = true;
        for (int untaken : std::exchange(f25.UntakenLines, {})) context.Warnings.Add(untaken, kUntaken);
    }
    HistoryBlock& block = f25.Block;
    const bool sample = block.Line != 0 && TakesSample(block, code);
    if (block.Line != 0 && !sample) EndBlockEarly(context, block, line);
    if (!sample && HoldFirstStation(context, f25, document, text, line, code)) return;
    HandleLine(context, f25, fields, document, line, code, sample);
}

// Reads the whole file into `document`, after the test locations it already holds. A line that
// cannot be handled is skipped, and a value that is not what its field holds is kept as it
// stands, each with a warning; only an unreadable file or a line with more than 40 fields ends
// the reading (ReadError naming file and line), and then the closing values are not written.
void ReadF25File(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    F25State f25;
    LineFields fields;
    // Only a split can fail the loop; ParseF25Line gives up a bad line by itself.
    ForEachLine(input, [&](std::string_view line, int number) {
        SplitOnCommas(line, fields);
        ParseF25Line(context, f25, line, fields, document, number);
    });
    if (f25.First == FirstStation::Held) ReleaseHeld(context, f25, document, false);
    if (f25.Block.Line != 0) EndBlockEarly(context, f25.Block, 0);
    DropPendingGps(context, f25, "no station record follows it");
    if (!f25.PendingComments.empty())
        context.Warnings.Add(0, "comment records " + Quoted(f25.PendingComments) +
                                    " not kept: no test location follows them");

    // Only the upper-case extension is replaced.
    document.Element(pddx::OperationsInformation::FileName).SetValue(ReplaceAll(input.Name, ".F25", ".DDX"));
    document.Element(pddx::DeviceInformation::DeviceDesignationName).SetValue("Dynatest FWD");
    document.Element(pddx::Units::GPSUnits).SetValue("degree, degree, meter");
    document.Element(pddx::Units::DropHistoryDataFrequencyUnits).SetValue("Hertz");
    if (f25.Metric) document.Element(pddx::Units::LoadPlateRadiusUnits).SetValue("millimeter");
}

// Comma-separated records, at least eight in ten with a numeric record code first; marks: the
// header records (5001 software, 5002 serial number, 5010 units, 5011 date, 5020 and 5021
// geometry, 5030 to 5032 names, 5200 and 5201 calibration), each once, and the station records
// 5301.
int SniffF25(const SniffSample& sample)
{
    static constexpr std::string_view kCodes[] = {"5001", "5002", "5010", "5011", "5020", "5021",
                                                  "5030", "5031", "5032", "5200", "5201", "5301"};
    bool seen[std::size(kCodes)] = {};
    std::size_t numbered = 0;
    for (std::string_view line : sample.Filled()) {
        if (line.find(',') == std::string_view::npos) continue;
        const std::string_view code = FirstField(line, ',');
        if (!IsNumberText(code)) continue;
        ++numbered;
        for (std::size_t k = 0; k < std::size(kCodes); ++k) seen[k] = seen[k] || code == kCodes[k];
    }
    if (numbered * 10 < sample.Filled().size() * 8) return 0;
    return Score(static_cast<int>(std::count(std::begin(seen), std::end(seen), true)));
}
}  // namespace vantrel
