// Dynatest F25 files: comma-separated records, each named by the numeric code in its first
// field (header records, then per station its temperatures, drops and time history).

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

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

// Where the reader stands between the lines of one file; every file starts from a fresh one.
struct F25State {
    bool DropMode = false;        // data lines are drops of the current test location
    bool HistoryMode = false;     // data lines are time-history samples of its last drop
    bool SkipNextStation = true;  // the first station record of a file opens no test location
    int SampleCounter = 0;
    int HistoryDrop = -1;  // the drop the samples belong to, once a sample has read it
    bool Metric = false;   // left by the last unit code of record 5010
    int XSensors = -1;     // sensors of this file's X offsets (5020); -1 before them
    int YSensors = -1;     // and of its Y offsets (5021)
    // A GPS fix stands above the station record it belongs to, so it waits for that record.
    std::string PendingGps;
    int PendingGpsLine = 0;       // the line of the waiting fix; 0 when none waits
    std::string PendingComments;  // comment records met before the file's first test location
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

// 7901: a comment the crew typed at a station (road markers and the like). Its fields after the
// code are its text; before the file's first test location it waits for that one.
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
    // The first station record of a file stands before the first real one.
    if (f25.SkipNextStation) {
        f25.SkipNextStation = false;
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
    f25.HistoryMode = false;
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

// 5185: the head of a time-history block.
constexpr std::size_t kColHistoryCheck = 16;

void StartHistory(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    ToInt16(fields[kColHistoryCheck]);  // only a block whose field 17 is a 16-bit number is a history block
    f25.HistoryMode = true;
    f25.DropMode = false;
    f25.SampleCounter = 0;
    f25.HistoryDrop = -1;
    // The samples that follow are load and deflections of the location's last drop.
    Current(f25).Element(pddx::TestLocation::DropHistoryType).SetValue("load and deflections");
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

void AddDataLine(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    if (f25.DropMode) {
        const std::string& value = DropText(fields, context.NumSensors, f25.Value, faults);
        Current(f25).AddDropData().SetValue(value);
    } else if (f25.HistoryMode) {
        CheckSensorCount(context.NumSensors);
        f25.SampleCounter = CheckCount(static_cast<long long>(f25.SampleCounter) + 1, "sample number");
        PDDXSection& location = Current(f25);
        // No drop is added within a history block, so its drop number stays.
        if (f25.HistoryDrop < 0)
            f25.HistoryDrop = CounterValue(location.Element(pddx::TestLocation::NumberOfDrops).Value());
        // A second history block in one location repeats the sample numbers: its samples are
        // the input's fault, refused with a warning (without an exception: they come by the
        // thousand, and past the warnings listed, unread).
        std::string refused;
        PDDXElement* sample =
            location.AddHistoryDataIfNew(f25.HistoryDrop, f25.SampleCounter, faults.Listed() ? &refused : nullptr);
        if (sample) {
            sample->SetValue(DropText(fields, context.NumSensors, f25.Value, faults));
        } else if (faults.Listed()) {
            CheckDropFields(fields, context.NumSensors, faults);
            faults.Note(refused + "; the rest of the line was skipped");
        } else {
            faults.Note({});
        }
    }
    // Other lines are no records of this reader: a file that holds none is warned of as a whole.
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
// serial number, centre gain and calibration factor.
constexpr std::size_t kColDeviceSerial = 1, kColCenterGain = 3, kColCalibrationFactor = 4;

void SetLoadCell(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    document.Element(pddx::DeviceInformation::LoadCellSerialNumber).SetValue(Cleaned(fields[kColDeviceSerial]));
    document.Element(pddx::DeviceCalibration::LoadCellCalibrationCenterGain)
        .SetValue(std::string(TrimBlanks(fields[kColCenterGain])));
    document.Element(pddx::DeviceCalibration::LoadCellCalibrationFactor)
        .SetValue(std::string(TrimBlanks(fields[kColCalibrationFactor])));
}

void SetFirstSensor(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    if (TrimBlanks(Without(fields[kColDeviceSerial], "\"")) == "NA") return;  // no sensor in this place
    document.Element(pddx::DeviceInformation::SensorSerialNumbers).SetValue(Cleaned(fields[kColDeviceSerial]));
    document.Element(pddx::DeviceCalibration::SensorReferenceCalibrationFactor)
        .SetValue(std::string(TrimBlanks(fields[kColCalibrationFactor])));
    document.Element(pddx::DeviceCalibration::SensorCalibrationCenterGain)
        .SetValue(std::string(TrimBlanks(fields[kColCenterGain])));
}

void AddSensor(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    const std::string serial = Cleaned(fields[kColDeviceSerial]);
    if (serial == "NA") return;
    document.Element(pddx::DeviceInformation::SensorSerialNumbers).AppendItem(serial);
    document.Element(pddx::DeviceCalibration::SensorCalibrationCenterGain)
        .AppendItem(TrimBlanks(fields[kColCenterGain]));
    document.Element(pddx::DeviceCalibration::SensorReferenceCalibrationFactor)
        .AppendItem(TrimBlanks(fields[kColCalibrationFactor]));
}

// 5302: the comment of a station.
constexpr std::size_t kColStationComment = 9;

void AddStationComment(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    // Before the file's first test location the comment is the first station record's.
    if (f25.CurrentTestLocation) AppendComment(*f25.CurrentTestLocation, Cleaned(fields[kColStationComment]));
}

// The records by code, each code from First to Last handled alike; records without a handler
// carry nothing the document takes.
struct RecordCodes {
    double First, Last;
    void (*Handle)(Record& r);
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
    {5185, 5185, StartHistory},
    {5200, 5200, SetLoadCell},
    {5201, 5201, SetFirstSensor},
    {5202, 5218, AddSensor},
    {5280, 5280, KeepGps},
    {5281, 5281, nullptr},
    {5301, 5301, SetStation},
    {5302, 5302, AddStationComment},
    {5303, 5303, SetTemperatures},
    {7655, 7656, nullptr},
    {7901, 7901, AddComment},
    {7902, 7904, nullptr},
};

// The lookup below takes the rows in code order, no two of them sharing a code.
constexpr bool InCodeOrder()
{
    for (std::size_t i = 0; i < std::size(kRecords); ++i)
        if (kRecords[i].First > kRecords[i].Last || (i > 0 && kRecords[i - 1].Last >= kRecords[i].First)) return false;
    return true;
}
static_assert(InCodeOrder(), "the F25 record table is not in code order");

// A code that no row holds (a fraction, a code unknown, none at all) is a drop or a sample.
void HandleRecord(Record& r)
{
    auto& [context, f25, fields, document, line, faults] = r;
    const double code = LeadingNumber(fields[kColCode]);
    const RecordCodes* row = std::lower_bound(std::begin(kRecords), std::end(kRecords), code,
                                              [](const RecordCodes& row, double c) { return row.Last < c; });
    if (row == std::end(kRecords) || !(row->First <= code)) return AddDataLine(r);  // NaN too
    if (row->Handle) row->Handle(r);
}

}  // namespace

// Handles line `line` split with SplitOnCommas. An input error ends the handling of the line
// where it happens, keeping what the line set before it, with a warning saying why.
void ParseF25Line(ReaderContext& context, F25State& f25, const LineFields& fields, PDDXFile& document, int line)
{
    LineFaults faults(!context.Warnings.Full());
    // The line is given up where it failed; what it set before stays, and reading goes on.
    Record record{context, f25, fields, document, line, faults};
    OnInputError([&] { HandleRecord(record); },
                 [&](const char* reason) { faults.Note(std::string(reason) + "; the rest of the line was skipped"); });
    faults.Report(context.Warnings, line);
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
        ParseF25Line(context, f25, fields, document, number);
    });
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
