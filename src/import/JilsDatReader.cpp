// JILS FWD data file (.DAT): keyword lines for the header, then one blank-separated data line
// per drop, in a short layout (load, deflections) or an extended one (point, lane, station, -,
// load, deflections, surface temperature). Loads are in kips, deflections in mils. A point may
// carry its GPS position, notes and air temperature on lines of their own. The time history
// that the field program writes beside it (.THY) is refused: it holds samples, not drops.
//
// The time history file is recognised here too, so that it is not taken for a data file.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/NumberText.h"
#include "base/ReadError.h"
#include "document/PDDXFile.h"
#include "import/FileFormats.h"
#include "import/GpsDegrees.h"
#include "import/ReaderInput.h"
#include "import/ReaderSupport.h"
#include "import/Sniffing.h"

namespace vantrel {

int SniffJilsThy(const SniffSample& sample);  // below, with the data file's own sniffer

// The lines a point carries besides its drops ("GPS:", "Note:", "Air Temp (F):"), met before its
// first data line: they wait for it. Each with the number of its line (0: none waits).
struct JilsStationLines {
    std::string Gps;  // "latitude, longitude"
    int GpsLine = 0;
    std::string Notes;  // joined by "; "
    int NotesLine = 0;
    std::string AirTemperature;
    int AirLine = 0;
};

// What the reader keeps from line to line. Everything starts afresh with each file: a file
// without a "Temp:" line must not inherit the air temperature of the previous file.
struct JilsDatState {
    bool ExtendedFormat = false;             // data lines are in the extended layout
    bool FirstDropSeen = false;              // a data line of this file has been handled
    PDDXSection* CurrentLocation = nullptr;  // the test location that takes the drops
    std::int32_t LocationNumber = 0;         // its point number (extended layout)
    std::string AirTemperature;              // from the last "Temp:" line
    // The current point's data lines are seen and its "Drop Sequence Completed Time:" line is
    // not: the lines a point carries belong to it.
    bool PointOpen = false;
    std::string StationAir;    // the current point's own air temperature; empty: the header's
    std::string Surface;       // the surface temperature of its last data line (extended layout)
    JilsStationLines Waiting;  // met while no point was open, for the next one
    bool GpsRead = false;      // a point took a GPS position
    int Line = 0;              // the number of the line being read, for warnings
};

namespace {

constexpr std::string_view kDropSequenceMark = "Drop Sequence Completed Time:";

// Keyword lines: the keyword, then the value ("Location: North", "Date-Time: 5/3/2020 10:31:05").
constexpr std::size_t kColKeyword = 0, kColValue = 1, kColTime = 2;
// Data lines of the extended layout: point number, lane, station, a dash, load, the deflections
// and the surface temperature; of the short layout: load and deflections.
constexpr std::size_t kColPoint = 0, kColLane = 1, kColStation = 2, kColLoad = 4, kColFirstDeflection = 5;
constexpr std::size_t kColShortFirstDeflection = 1;

// The date of a "Date-Time:" line, month first as the field program writes it: m/d/y with a
// two-digit year meaning 1930 to 2029. Days that do not exist in their month are refused rather
// than carried into the next month.
std::chrono::sys_days MonthDayYear(std::string_view text)
{
    const auto notADate = [text] { return ConversionError(Quoted(text) + " is not a date (month/day/year)"); };
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

void Warn(ReaderContext& context, int line, std::string what) { context.Warnings.Add(line, std::move(what)); }

void Warn(ReaderContext& context, const JilsDatState& dat, std::string what)
{
    Warn(context, dat.Line, std::move(what));
}

// The text after a line's first ":", trimmed.
std::string_view AfterColon(std::string_view line)
{
    const std::size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string_view() : TrimBlanks(line.substr(colon + 1));
}

// A keyword line whose value is its first word after the keyword.
std::string_view KeywordValue(ReaderContext& context, const JilsDatState& dat, const LineFields& fields)
{
    if (fields[kColValue].empty()) Warn(context, dat, "the " + Quoted(fields[kColKeyword]) + " line has no value");
    return fields[kColValue];
}

double NumberField(std::string_view field, const char* what)
{
    if (const auto value = ParseNumber(field)) return *value;
    throw ConversionError(std::string(what) + " " + Quoted(field) + " is not a number");
}

// The field program pads a one-digit number with a blank ("5/ 3/2020", "10: 5:30"), which the
// split cuts off from the part before it: such a part takes the next word, with a 0 for the blank.
void ReadDateTime(ReaderContext& context, const JilsDatState& dat, const LineFields& f, PDDXFile& document)
{
    std::string date(TrimBlanks(f[kColValue])), time(f[kColTime]);
    std::size_t next = kColTime + 1;  // the first word not yet taken
    if (!f[next].empty()) {
        if (date.ends_with('/')) {
            date.append("0").append(TrimBlanks(f[kColTime]));
            time = f[next++];
        }
        for (int pass = 0; pass < 2; ++pass) {  // minutes, then seconds
            if (TrimBlanks(time).ends_with(':')) time.append("0").append(f[next++]);
        }
    }
    document.Element(pddx::OperationsInformation::StartDate).SetValue(FormatDate(MonthDayYear(date)));
    document.Element(pddx::OperationsInformation::StartTime).SetValue(TimeOfDayText(TrimBlanks(time)));
    if (!f[next].empty())
        Warn(context, dat, "the words after the time, from " + Quoted(f[next]) + " on, were not read");
}

// The names are parted by blanks or commas alike ("1,  2, 3" names three sensors).
void ReadSensors(ReaderContext& context, const JilsDatState& dat, std::string_view line, PDDXFile& document)
{
    constexpr std::string_view kSeparators = " ,\t";
    line.remove_prefix(line.find("Sensors:") + std::string_view("Sensors:").size());
    std::string names;
    std::size_t count = 0;
    for (std::size_t at = 0; (at = line.find_first_not_of(kSeparators, at)) != std::string_view::npos;) {
        const std::size_t end = std::min(line.find_first_of(kSeparators, at), line.size());
        const std::string_view name = line.substr(at, end - at);
        at = end;
        if (++count > 1) names += ", ";
        // Several channels may be named "chop"; the position keeps them apart.
        names += name == "chop" ? "chop" + std::to_string(count) : std::string(name);
    }
    if (count == 0) Warn(context, dat, "the \"Sensors:\" line names no sensor");
    context.NumSensors = CheckCount(static_cast<long long>(count), "sensor count");
    document.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors).SetValue(std::to_string(count));
    document.Element(pddx::DeviceInformation::SensorSerialNumbers).SetValue(std::move(names));
}

// The extended layout adds a surface temperature to every data line.
void SetTemperatureSensors(const JilsDatState& dat, PDDXFile& document)
{
    document.Element(pddx::DeviceConfiguration::NumberOfTemperatureSensors).SetValue(dat.ExtendedFormat ? "2" : "1");
    document.Element(pddx::DeviceConfiguration::TemperatureSensorUse)
        .SetValue(dat.ExtendedFormat ? "air, surface" : "air");
}

// The current point's temperatures: its own air temperature or else the header's, then the
// surface temperature of its last data line in the extended layout.
void SetPointTemperatures(const JilsDatState& dat)
{
    const std::string& air = dat.StationAir.empty() ? dat.AirTemperature : dat.StationAir;
    dat.CurrentLocation->Element(pddx::TestLocation::TestTemperatures)
        .SetValue(dat.ExtendedFormat ? air + ", " + dat.Surface : air);
}

// A point has one position and one air temperature: a second one replaces the first, and says so.
void Replace(ReaderContext& context, int line, std::string& value, const std::string& by, const char* what)
{
    if (!value.empty() && value != by)
        Warn(context, line,
             std::string("the point already has the ") + what + " " + Quoted(value) + "; " + Quoted(by) +
                 " replaces it");
    value = by;
}

void StoreGps(ReaderContext& context, JilsDatState& dat, const std::string& position, int line)
{
    PDDXElement& element = dat.CurrentLocation->Element(pddx::TestLocation::GPSLocation);
    std::string value(element.Value());
    Replace(context, line, value, position, "GPS position");
    element.SetValue(std::move(value));
    dat.GpsRead = true;
}

// The lines met before the point's first data line, now that it has one.
void TakeWaitingLines(ReaderContext& context, JilsDatState& dat)
{
    const JilsStationLines waiting = std::exchange(dat.Waiting, {});
    if (waiting.GpsLine) StoreGps(context, dat, waiting.Gps, waiting.GpsLine);
    if (waiting.NotesLine) AppendComment(*dat.CurrentLocation, waiting.Notes);
    if (waiting.AirLine) Replace(context, waiting.AirLine, dat.StationAir, waiting.AirTemperature, "air temperature");
}

// "GPS: 38.5432 -121.74695", or with hemisphere letters, or in degrees and minutes.
void ReadGps(ReaderContext& context, JilsDatState& dat, std::string_view line)
{
    const std::string_view words = AfterColon(line);
    if (words.empty()) return Warn(context, dat, "the \"GPS:\" line has no value");
    const GpsPosition position = ReadGpsPosition(words);
    if (position.Text.empty())
        return Warn(context, dat, "the GPS position " + Quoted(words) + " is no latitude and longitude in degrees");
    if (!position.Extra.empty())
        Warn(context, dat,
             "the words after the longitude, " + Quoted(position.Extra) + " (an altitude?), were not taken");
    if (dat.PointOpen) return StoreGps(context, dat, position.Text, dat.Line);
    Replace(context, dat.Line, dat.Waiting.Gps, position.Text, "GPS position");
    dat.Waiting.GpsLine = dat.Line;
}

void ReadNote(JilsDatState& dat, std::string_view line)
{
    const std::string_view note = AfterColon(line);
    if (note.empty()) return;
    if (dat.PointOpen) return AppendComment(*dat.CurrentLocation, note);
    AppendComment(dat.Waiting.Notes, note);
    if (!dat.Waiting.NotesLine) dat.Waiting.NotesLine = dat.Line;
}

// "Air Temp (F): 71.6": the point's own air temperature. The file's temperatures are Fahrenheit.
void ReadStationAir(ReaderContext& context, JilsDatState& dat, std::string_view line, PDDXFile& document)
{
    const std::string_view key = line.substr(0, line.find(':'));
    if (const std::size_t open = key.find('('); open != std::string_view::npos) {
        std::string_view unit = TrimBlanks(key.substr(open + 1, key.find(')', open) - open - 1));
        if (unit.starts_with('\xB0')) unit.remove_prefix(1);
        if (unit != "F" && unit != "f")
            return Warn(context, dat,
                        "the air temperature is in " + Quoted(unit) +
                            ", not in Fahrenheit as the file's other temperatures; it was not taken");
    }
    const std::string_view value = AfterColon(line);
    const std::string_view air = value.substr(0, value.find(' '));
    if (air.empty()) return Warn(context, dat, "the air temperature line has no value");
    if (air.size() < value.size())
        Warn(context, dat,
             "the words after the air temperature, from " + Quoted(TrimBlanks(value.substr(air.size()))) +
                 " on, were not read");
    if (!IsNumberText(air)) Warn(context, dat, "the air temperature " + Quoted(air) + " is not a number");
    SetTemperatureSensors(dat, document);
    if (dat.PointOpen) {
        Replace(context, dat.Line, dat.StationAir, std::string(air), "air temperature");
        SetPointTemperatures(dat);
        return;
    }
    Replace(context, dat.Line, dat.Waiting.AirTemperature, std::string(air), "air temperature");
    dat.Waiting.AirLine = dat.Line;
}

// What waits at the end of the file has no point to go to; told in the order of the lines.
void WarnOfWaitingLines(ReaderContext& context, const JilsStationLines& waiting)
{
    std::pair<int, const char*> lost[] = {{waiting.GpsLine, "the GPS position"},
                                          {waiting.NotesLine, "the note"},
                                          {waiting.AirLine, "the air temperature"}};
    std::sort(std::begin(lost), std::end(lost), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [line, what] : lost)
        if (line) Warn(context, line, std::string(what) + " is followed by no data line of a point; it was not kept");
}

// A data line of a point other than the current one opens a test location; the short layout has
// no point number (its first field is the load): one location takes all. The lines waiting for a
// point are now its own.
void OpenPoint(ReaderContext& context, JilsDatState& dat, double first, PDDXFile& document)
{
    if (!dat.FirstDropSeen || (dat.ExtendedFormat && first != dat.LocationNumber)) {
        if (dat.ExtendedFormat) dat.LocationNumber = RoundToInt32(first);
        dat.CurrentLocation = &document.AddTestLocation();
        // Only the file's first location says what its drops hold; later points leave it empty.
        if (!dat.FirstDropSeen)
            dat.CurrentLocation->Element(pddx::TestLocation::DropHistoryType).SetValue("load and deflections");
        dat.FirstDropSeen = true;
        dat.StationAir.clear();
    }
    if (!dat.PointOpen) TakeWaitingLines(context, dat);
    dat.PointOpen = true;
}

// Field `at` of a data line, where it has one, must be a number.
void WarnIfNotNumber(ReaderContext& context, const JilsDatState& dat, const LineFields& f, std::size_t at,
                     const std::string& what)
{
    if (at < f.size() && !IsNumberText(f[at])) Warn(context, dat, what + " " + Quoted(f[at]) + " is not a number");
}

// `first`: the number in the line's first field, the point number or (short layout) the load.
void ReadDataLine(ReaderContext& context, JilsDatState& dat, const LineFields& f, double first, PDDXFile& document)
{
    const int n = context.NumSensors;
    if (n < 0) throw InputError("the deflection sensor count " + std::to_string(n) + " is negative");
    const std::size_t sensors = static_cast<std::size_t>(n);
    const std::size_t firstDeflection = dat.ExtendedFormat ? kColFirstDeflection : kColShortFirstDeflection;
    const std::size_t surface = firstDeflection + sensors;  // extended layout only
    const std::size_t needed = dat.ExtendedFormat ? surface + 1 : firstDeflection + sensors;
    if (needed > kMaxFields)
        throw InputError(std::string("a data line for ") + std::to_string(n) + " deflection sensors in the " +
                         (dat.ExtendedFormat ? "extended" : "short") + " layout needs " + std::to_string(needed) +
                         " fields, more than " + std::to_string(kMaxFields));

    OpenPoint(context, dat, first, document);
    PDDXSection& location = *dat.CurrentLocation;

    const std::size_t fields = f.size();
    if (fields != needed)
        Warn(context, dat,
             "the data line has " + std::to_string(fields) + " fields where the " +
                 (dat.ExtendedFormat ? "extended" : "short") + " layout for " + std::to_string(n) + " sensors has " +
                 std::to_string(needed) +
                 (fields < needed ? "; those missing were left empty" : "; the rest were not read"));

    double load = first;
    if (dat.ExtendedFormat) {
        WarnIfNotNumber(context, dat, f, kColStation, "the station");
        WarnIfNotNumber(context, dat, f, surface, "the surface temperature");
        dat.Surface = TrimBlanks(f[surface]);
        SetPointTemperatures(dat);
        location.Element(pddx::TestLocation::TestLocation).SetValue(std::string(TrimBlanks(f[kColStation])) + ", 0, 0");
        location.Element(pddx::TestLocation::TestLane).SetValue(std::string(TrimBlanks(f[kColLane])));
        load = NumberField(f[kColLoad], "the load");
    } else {
        SetPointTemperatures(dat);
    }

    // Kips to pounds; the deflections stay in mils exactly as written.
    const double pounds = load * 1000;
    if (!std::isfinite(pounds)) throw OverflowError("the load " + DoubleText(load) + " kips is too large");
    std::string drop = PlainDecimalText(pounds);
    for (std::size_t i = firstDeflection; i < firstDeflection + sensors; ++i) {
        WarnIfNotNumber(context, dat, f, i, "deflection " + std::to_string(i - firstDeflection + 1));
        drop.append(", ").append(f[i]);
    }
    location.AddDropData().SetValue(std::move(drop));
}

// Tells the two layouts apart before anything is read: the extended one closes each point with
// a "Drop Sequence Completed Time:" line, and its data lines are longer than load + deflections.
bool IsExtendedLayout(std::string_view text, const std::string& name, int numSensors, LineFields& fields)
{
    NativeLines lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        if (line.find(kDropSequenceMark) != std::string_view::npos) return true;
        if (line.empty()) continue;
        bool extended = false;
        AtLine(name, lines.Number(), [&] {
            SplitOnSpaces(line, fields);
            extended = ParseNumber(fields[kColPoint]).has_value() && static_cast<int>(fields.size()) > numSensors + 1;
        });
        if (extended) return true;
    }
    return false;
}

// A time history read as data would give a test location per time sample: it is refused whole,
// known as the detection knows it, from its first bytes.
void RefuseTimeHistory(ReaderInput& input)
{
    const std::string_view head = input.Bytes.Peek(kSniffLength + 1);
    if (SniffJilsThy(SniffSample(head.substr(0, kSniffLength), head.size() <= kSniffLength)) >= kRecognised)
        throw ReadError(input.Name, 0,
                        NotReadableOnItsOwn(FileType::JilsThy) +
                            "; read as JILS DAT, each time sample would be a test location");
}

}  // namespace

// Handles one line, `fields` being the line split with SplitOnSpaces.
void ParseJilsDatLine(ReaderContext& context, JilsDatState& dat, std::string_view line, const LineFields& fields,
                      PDDXFile& document)
{
    const std::string_view key = fields[kColKeyword];
    if (key == "Date-Time:") {
        ReadDateTime(context, dat, fields, document);
    } else if (key == "Sensors:") {
        ReadSensors(context, dat, line, document);
    } else if (key == "Location:") {
        document.Element(pddx::LocationIdentification::SiteName)
            .SetValue(std::string(TrimBlanks(KeywordValue(context, dat, fields))));
    } else if (key == "Temp:") {
        dat.AirTemperature = TrimBlanks(KeywordValue(context, dat, fields));
        if (!dat.AirTemperature.empty() && !IsNumberText(dat.AirTemperature))
            Warn(context, dat, "the air temperature " + Quoted(dat.AirTemperature) + " is not a number");
        SetTemperatureSensors(dat, document);
    } else if (key == "Operator:") {
        document.Element(pddx::OperationsInformation::OperatorName)
            .SetValue(std::string(TrimBlanks(KeywordValue(context, dat, fields))));
    } else if (key == "Comments:") {
        // free text for the crew, of the file as a whole
    } else if (key == "Note:") {
        ReadNote(dat, line);
    } else if (key == "GPS:") {
        ReadGps(context, dat, line);
    } else if (TrimBlanks(line).starts_with("Air Temp")) {
        ReadStationAir(context, dat, line, document);
    } else if (key == "Drop") {
        // "Drop Sequence Completed Time: hh:mm" closes a point; the field program writes no seconds.
        constexpr std::size_t kColCompletionTime = 4;
        if (fields[1] != "Sequence" || fields[2] != "Completed" || fields[3] != "Time:")
            Warn(context, dat,
                 "the line is not \"Drop Sequence Completed Time: hh:mm\"; its fifth word, " +
                     Quoted(fields[kColCompletionTime]) + ", was taken as the time");
        else if (fields[kColCompletionTime].empty()) Warn(context, dat, "the drop sequence has no completion time");
        std::string time = std::string(TrimBlanks(fields[kColCompletionTime])) + ":00";
        dat.PointOpen = false;
        if (dat.CurrentLocation) dat.CurrentLocation->Element(pddx::TestLocation::TestTime).SetValue(time);
        document.Element(pddx::OperationsInformation::EndTime).SetValue(std::move(time));
    } else if (const auto first = ParseNumber(key)) {
        ReadDataLine(context, dat, fields, *first, document);
    }
}

void ReadJilsDat(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    RefuseTimeHistory(input);
    // Two passes over a file that may come through a pipe: its text is read once, and the NUL
    // bytes and line lengths warned of once.
    const std::string text = ReadAllText(input.Bytes);
    LineFields fields;
    JilsDatState dat;
    // The count in force before the file: its own "Sensors:" line is only met in the main pass.
    dat.ExtendedFormat = IsExtendedLayout(text, input.Name, context.NumSensors, fields);

    NativeLines lines(text);
    std::string_view first;
    if (!lines.Next(first)) throw ReadError(input.Name, 0, "the file is empty");
    document.Element(pddx::DeviceInformation::DeviceDesignationName).SetValue(std::string(TrimBlanks(first)));
    ForEachLine(lines, input.Name, [&](std::string_view line, int number) {
        dat.Line = number;
        SplitOnSpaces(line, fields);
        ParseJilsDatLine(context, dat, line, fields, document);
    });
    WarnOfWaitingLines(context, dat.Waiting);

    const auto set = [&document](const SectionAndKey& name, std::string_view value) {
        document.Element(name).SetValue(value);
    };
    set(pddx::OperationsInformation::FileName, ReplaceAll(input.Name, ".DAT", ".DDX"));
    set(pddx::Units::LoadPlateRadiusUnits, "inch");
    set(pddx::Units::LoadUnits, "pound-force");
    set(pddx::Units::TemperatureUnits, "Fahrenheit");
    set(pddx::Units::DeflectionUnits, "mil");
    set(pddx::Units::SensorsLocationUnits, "inch");
    set(pddx::Units::TestLocationUnits, "mile, inch, inch");
    set(pddx::Units::DropHistoryDataFrequencyUnits, "Hertz");
    if (dat.GpsRead) set(pddx::Units::GPSUnits, "degree, degree");
    set(pddx::DeviceInformation::DeviceLoadType, "Impulse");
    // A DAT file does not state its geometry: the user keeps it in the settings.
    set(pddx::DeviceConfiguration::LoadPlateRadius, context.Jils.LoadPlateRadius);
    set(pddx::DeviceConfiguration::DeflectionSensorXAxisDistances, context.Jils.SensorXAxis);
    set(pddx::DeviceConfiguration::DeflectionSensorYAxisDistances, context.Jils.SensorYAxis);
}

namespace {

// The keyword lines of the field program, in its data files and time histories alike.
constexpr std::string_view kKeywords[] = {
    "Date-Time:", "Sensors:", "Drop Sequence Completed Time:", "Location:", "Temp:", "Operator:", "Comments:", "Note:"};

// How many of the keywords head a line of their own (the keyword, then a blank or nothing).
int KeywordsSeen(const SniffSample& sample)
{
    bool seen[std::size(kKeywords)] = {};
    for (std::string_view line : sample.Filled()) {
        line = TrimBlanks(line);
        for (std::size_t k = 0; k < std::size(kKeywords); ++k)
            seen[k] = seen[k] || (line.starts_with(kKeywords[k]) &&
                                  (line.size() == kKeywords[k].size() || line[kKeywords[k].size()] == ' '));
    }
    return static_cast<int>(std::count(std::begin(seen), std::end(seen), true));
}

// So many samples in a row are a time history: a DAT file's data lines never run so far with a
// first number (a load, or a point number repeated by each drop) that moves on every line.
constexpr std::size_t kTimeHistoryRun = 25;

// The longest run of lines of blank-separated numbers, all of one word count (two or more), whose
// first number (a sample time or index) moves the same way on every line in steady steps: no
// step more than twice another, which allows for the rounding of the written times.
std::size_t LongestSampleRun(const SniffSample& sample)
{
    std::size_t longest = 0, run = 0;
    int words = 0;
    double last = 0, low = 0, high = 0;  // the smallest and largest step of the run, signed alike
    for (std::string_view line : sample.Filled()) {
        line = TrimBlanks(line);
        const WordCount count = CountWords(line);
        std::optional<double> first;
        if (count.Words >= 2 && count.Numbers == count.Words) {
            try {
                first = ParseNumber(line.substr(0, line.find(' ')));
            } catch (const OverflowError&) {
            }
        }
        if (!first) {
            run = 0;
            continue;
        }
        const double step = *first - last;
        if (run == 0 || count.Words != words || step == 0) {
            run = 1;  // a run starts here
        } else if (run == 1 || (step > 0) != (low > 0) ||
                   std::max(std::abs(high), std::abs(step)) > 2 * std::min(std::abs(low), std::abs(step))) {
            run = 2;  // the step before is no longer steady: a run starts on the line before
            low = high = step;
        } else {
            ++run;
            if (std::abs(step) < std::abs(low)) low = step;
            if (std::abs(step) > std::abs(high)) high = step;
        }
        words = count.Words;
        last = *first;
        longest = std::max(longest, run);
    }
    return longest;
}

bool HasTimeHistoryRun(const SniffSample& sample) { return LongestSampleRun(sample) >= kTimeHistoryRun; }

}  // namespace

// Marks: each keyword line, and data lines of blank-separated numbers. The samples of a time
// history are no drops: a file that holds them is none.
int SniffJilsDat(const SniffSample& sample)
{
    if (HasTimeHistoryRun(sample)) return 0;
    bool data = false;
    for (std::string_view line : sample.Filled()) {
        const WordCount words = CountWords(TrimBlanks(line));
        data = data || (words.Words >= 2 && words.Numbers == words.Words);
    }
    return Score(KeywordsSeen(sample) + data);
}

// What every time history has: a long run of samples, one line each. Marks: the run, and each
// keyword line of the field program above the samples.
int SniffJilsThy(const SniffSample& sample) { return HasTimeHistoryRun(sample) ? Score(1 + KeywordsSeen(sample)) : 0; }
}  // namespace vantrel
