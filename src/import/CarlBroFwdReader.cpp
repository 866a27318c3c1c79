// Carl Bro FWD files, exported as tab-separated text, and the Carl Bro configuration exported as
// tab-separated text.
//

#include <charconv>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/NumberText.h"
#include "base/ReadError.h"
#include "document/PDDXFile.h"
#include "import/CarlBroDevice.h"
#include "import/GpsDegrees.h"
#include "import/LineChecks.h"
#include "import/FileFormats.h"
#include "import/ReaderInput.h"
#include "import/ReaderSupport.h"
#include "import/Sniffing.h"

namespace vantrel {

// What the Carl Bro FWD reader carries from one file to the next within one run: the temperature
// columns named by the last column-title line, used by the drop lines of later files until a new
// column-title line names others; and the test location the last "Chainage" line opened, with
// whether it has its time, which station lines of a later file go on with until their own
// "Chainage" line.
namespace {

struct CarlBroCarryOver {
    // The field of each temperature reading in a drop line.
    std::vector<std::size_t> TemperatureColumns;

    // The document holding the last test location (compared, never used: it may be gone) and
    // that location's section name. A later file continues it only when read into the same
    // document; in another one it has no test location until its first "Chainage" line.
    const PDDXFile* LocationDocument = nullptr;
    std::string LocationName;
    // The last test location has received its TestTime.
    bool LocationTimed = false;
};

// What the FWD reader knows between the lines of one file. The temperature columns are not here:
// they outlive the file (CarlBroCarryOver), and so do the current location and its timed
// flag, which a file starts with as the previous one left them.
struct CarlBroFwdState {
    std::int16_t Block = 0;                  // the block the lines belong to; 0 before the first "$"
    PDDXSection* CurrentLocation = nullptr;  // where lane, remarks, times and drops go
    bool LocationTimed = false;              // CurrentLocation has its TestTime
    bool FileTimed = false;                  // the file has given StartTime
    bool Positioned = false;                 // a station of the file has its GPS position
    bool WithAltitude = false;               // ... and one its altitude in metres
    CarlBroCarryOver* Carry = nullptr;       // the run's, looked up once per file
};

constexpr std::size_t kMaxTemperatureColumns = 10;

// ---------------------------------------------------------------------------------------------
// FWD text

// A key line (blocks 1 and 2): its key, and its value. The key of the sensor offsets is followed
// by one offset per sensor.
constexpr std::size_t kColKey = 0, kColValue = 1, kColFirstOffset = 1;
// The altitude of a drop's position: "0.0 m".
constexpr std::size_t kColAltitudeNumber = 0, kColAltitudeUnit = 1;
// The sequence line of a drop block: "Time 10:32" in its fourth field.
constexpr std::size_t kColSequenceTime = 3;
// A block line: "$" and the block's number in its first field.
constexpr std::size_t kColBlock = 0;
// A drop line: its drop number, the deflections, a field not kept, the load, and the
// temperatures where the column-title line put them. The column-title line has the load's unit
// where the load stands.
constexpr std::size_t kColDropNumber = 0, kColFirstDeflection = 1;
constexpr std::size_t LoadColumn(int sensors) { return kColFirstDeflection + static_cast<std::size_t>(sensors) + 1; }

// Field `index` of a line, where a rule computes the index from the sensor count.
std::string_view FieldAt(const LineFields& fields, std::size_t index, std::string_view what)
{
    if (index >= kMaxFields)
        throw InputError(std::string(what) + " would stand in field " + std::to_string(index + 1) +
                         ", but a line holds fields 1 to 40 only");
    return fields[index];
}

// The value of a key line without blanks at either end.
std::string KeyValue(const LineFields& fields) { return std::string(TrimBlanks(fields[kColValue])); }

PDDXSection& CurrentLocation(const CarlBroFwdState& file, std::string_view line)
{
    if (!file.CurrentLocation)
        throw InputError(std::string(line) + " before any \"Chainage\" line: there is no test location for it");
    return *file.CurrentLocation;
}

// The sensor count that cuts title and drop lines into deflections and load.
int SensorCount(const ReaderContext& context)
{
    const int n = context.NumSensors;
    if (n < 0)
        throw InputError("the deflection-sensor count is " + std::to_string(n) +
                         "; a \"Radial offset\" line must set it before the drops");
    return n;
}

void ReadSensorOffsets(ReaderContext& context, const LineFields& fields, PDDXFile& document)
{
    document.Element(pddx::Units::SensorsLocationUnits).SetValue(NormaliseUnitName(BracketContents(fields[kColKey])));
    std::string x, y;
    for (std::size_t i = kColFirstOffset; i < fields.size(); ++i) {
        if (i > kColFirstOffset) x += ", ", y += ", ";
        x += CommaToPoint(TrimBlanks(fields[i]));
        y += "0";
    }
    document.Element(pddx::DeviceConfiguration::DeflectionSensorXAxisDistances).SetValue(std::move(x));
    document.Element(pddx::DeviceConfiguration::DeflectionSensorYAxisDistances).SetValue(std::move(y));
    const int sensors = static_cast<int>(fields.size() - kColFirstOffset);
    context.NumSensors = sensors;
    document.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors).SetValue(std::to_string(sensors));
}

void ParseGeneralHeader(ReaderContext& context, const LineFields& fields, PDDXFile& document, LineFaults& faults)
{
    const std::string_view key = fields[kColKey];
    if (TextContains("Filename", key)) {
        document.Element(pddx::OperationsInformation::FileName).SetValue(KeyValue(fields));
    } else if (TextContains("Name of client", key)) {
        document.Element(pddx::OperationsInformation::OperatorName).SetValue(KeyValue(fields));
    } else if (TextContains("Districtnumber", key)) {
        document.Element(pddx::LocationIdentification::SiteName).SetValue(KeyValue(fields));
    } else if (TextContains("Road reference", key)) {
        document.Element(pddx::LocationIdentification::FacilityName).SetValue(KeyValue(fields));
    } else if (TextContains("Start reference", key)) {
        document.Element(pddx::LocationIdentification::SectionName).SetValue(KeyValue(fields));
    } else if (TextContains("Date", key)) {
        // The key names the layout of its date, e.g. "Date [dd-mm-yy]".
        const std::string layout = BracketContents(key), text = KeyValue(fields);
        std::string unread;
        document.Element(pddx::OperationsInformation::EndDate)
            .SetValue(FormatDate(DateFromPattern(layout, text, &unread)));
        if (!unread.empty())
            faults.Note("the date " + Quoted(text) + " is longer than its layout " + Quoted(layout) + ": " +
                        Quoted(unread) + " was not read");
    } else if (TextContains("FWD number", key)) {
        document.Element(pddx::DeviceInformation::DeviceSerialNumber).SetValue(KeyValue(fields));
    } else if (TextContains("radius", key)) {
        document.Element(pddx::Units::LoadPlateRadiusUnits).SetValue(NormaliseUnitName(BracketContents(key)));
        document.Element(pddx::DeviceConfiguration::LoadPlateRadius).SetValue(CommaToPoint(KeyValue(fields)));
    } else if (TextContains("Radial offset", key)) {
        ReadSensorOffsets(context, fields, document);
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

// The part of a "Label: value" field after its label, trimmed, when the label is `label`.
std::optional<std::string_view> LabelledValue(std::string_view field, std::string_view label)
{
    const std::size_t colon = field.find(':');
    if (colon == std::string_view::npos || !EqualsIgnoreCase(TrimBlanks(field.substr(0, colon)), label))
        return std::nullopt;
    return TrimBlanks(field.substr(colon + 1));
}

// "Position of Drop:", then fields of their own in any order, such as
//     Longitude: 2°34'21.6492"E     Latitude: 48°53'5.0022"N     Altitude: 0.0 m
// The station's GPSLocation is latitude, longitude in decimal degrees, and the altitude after
// them where it is a number of metres.
void ReadPositionOfDrop(CarlBroFwdState& file, const LineFields& fields, LineFaults& faults)
{
    PDDXSection& location = CurrentLocation(file, "a \"Position of Drop\" line");
    std::optional<std::string_view> latitude, longitude, altitude;
    // The second marks are no quotes, but split as such they join fields: each is parted again.
    for (std::size_t i = kColValue; i < fields.size(); ++i) {
        for (std::size_t at = 0, tab = 0; tab != std::string_view::npos; at = tab + 1) {
            tab = fields[i].find('\t', at);
            const std::string_view piece = fields[i].substr(at, tab == std::string_view::npos ? tab : tab - at);
            if (auto value = LabelledValue(piece, "Latitude")) latitude = value;
            else if (auto value = LabelledValue(piece, "Longitude")) longitude = value;
            else if (auto value = LabelledValue(piece, "Altitude")) altitude = value;
        }
    }
    if (!latitude || !longitude)
        return faults.Note("the position of the drop has no \"Latitude:\" and \"Longitude:\"; it was not read");
    std::string position = ReadGpsPosition(std::string(*latitude) + " " + std::string(*longitude)).Text;
    if (position.empty())
        return faults.Note("the position of the drop, latitude " + Quoted(*latitude) + " and longitude " +
                           Quoted(*longitude) + ", is no latitude and longitude in degrees; it was not read");
    if (altitude) {
        LineFields words;
        SplitOnSpaces(*altitude, words);
        if (words.size() == 2 && LineFaults::IsNumber(words[kColAltitudeNumber]) &&
            NormaliseUnitName(words[kColAltitudeUnit]) == "meter") {
            position.append(", ").append(words[kColAltitudeNumber]);
            file.WithAltitude = true;
        } else {
            faults.Note("the altitude " + Quoted(*altitude) +
                        " is not a number of metres (\"0.0 m\"); it was not kept");
        }
    }
    location.Element(pddx::TestLocation::GPSLocation).SetValue(std::move(position));
    file.Positioned = true;
}

void ParseStationHeader(CarlBroFwdState& file, const LineFields& fields, PDDXFile& document, LineFaults& faults)
{
    const std::string_view key = fields[kColKey];
    if (TextContains("Chainage", key)) {
        std::string unit = NormaliseUnitName(BracketContents(key));
        unit += TestLocationSuffix(unit);
        document.Element(pddx::Units::TestLocationUnits).SetValue(std::move(unit));
        file.LocationTimed = false;
        file.CurrentLocation = &document.AddTestLocation();
        file.CurrentLocation->Element(pddx::TestLocation::TestLocation)
            .SetValue(CommaToPoint(KeyValue(fields)) + ", 0, 0");
    } else if (TextContains("Lane", key)) {
        CurrentLocation(file, "a \"Lane\" line").Element(pddx::TestLocation::TestLane).SetValue(KeyValue(fields));
    } else if (TextContains("Remarks", key)) {
        CurrentLocation(file, "a \"Remarks\" line").Element(pddx::TestLocation::TestComment).SetValue(KeyValue(fields));
    } else if (TextContains("Pavement", key)) {
        document.Element(pddx::LocationIdentification::PavementType).SetValue(KeyValue(fields));
    } else if (TextContains("Position", key)) {
        ReadPositionOfDrop(file, fields, faults);
    }
}

void ReadSequenceTime(CarlBroFwdState& file, const LineFields& fields, PDDXFile& document, LineFaults& faults)
{
    const std::string_view field = fields[kColSequenceTime];
    if (field.size() < 5)
        throw InputError("the sequence line's field 4 " + Quoted(field) +
                         " is too short to hold a time such as \"Time 10:32\"");
    const std::string_view clock = TrimBlanks(field.substr(5));
    faults.ExpectTime(clock);
    const std::string time = std::string(clock) + ":00";
    if (!file.LocationTimed) {
        CurrentLocation(file, "a sequence line").Element(pddx::TestLocation::TestTime).SetValue(time);
        file.LocationTimed = true;
    }
    if (!file.FileTimed) {
        document.Element(pddx::OperationsInformation::StartTime).SetValue(time);
        file.FileTimed = true;
    }
    document.Element(pddx::OperationsInformation::EndTime).SetValue(time);
}

// The column-title line: the load column's title is its unit; temperature columns are found by
// their titles. The columns stay known to later files of the run.
void ReadColumnTitles(ReaderContext& context, const LineFields& fields, PDDXFile& document)
{
    const std::size_t load = LoadColumn(SensorCount(context));
    const bool pounds = UpperCase(TrimBlanks(FieldAt(fields, load, "the load unit"))) == "LBF";
    document.Element(pddx::Units::LoadUnits).SetValue(pounds ? "pound-force" : "kilo-Newton");
    document.Element(pddx::Units::DeflectionUnits).SetValue(pounds ? "mil" : "micron");
    document.Element(pddx::Units::TemperatureUnits).SetValue(pounds ? "Fahrenheit" : "Celsius");

    std::vector<std::size_t> columns;
    std::string uses;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string_view title = fields[i];
        const char* use = TextContains("Air", title)   ? "Air"
                          : TextContains("Sur", title) ? "Surface"
                          : TextContains("Man", title) ? "Manual"
                                                       : nullptr;
        if (!use) continue;
        if (columns.size() == kMaxTemperatureColumns)
            throw InputError("column " + std::to_string(i + 1) + " " + Quoted(title) +
                             " is a temperature column beyond the 10 a file can have");
        columns.push_back(i);
        if (!uses.empty()) uses += ", ";
        uses += use;
    }
    document.Element(pddx::DeviceConfiguration::NumberOfTemperatureSensors).SetValue(std::to_string(columns.size()));
    context.CarryOver.Of<CarlBroCarryOver>().TemperatureColumns = std::move(columns);
    document.Element(pddx::DeviceConfiguration::TemperatureSensorUse).SetValue(std::move(uses));
}

// A drop line: drop number, n deflections, a column the reader does not keep, the load, and the
// temperatures in the columns the title line named.
void ReadDrop(ReaderContext& context, const CarlBroFwdState& file, const LineFields& fields, LineFaults& faults)
{
    const int sensors = SensorCount(context);
    const std::size_t load = LoadColumn(sensors);
    std::string drop = CommaToPoint(FieldAt(fields, load, "the load"));
    if (!LineFaults::IsNumber(drop)) faults.ExpectNumber("load", drop, "in field " + std::to_string(load + 1));
    for (std::size_t k = 0; k < static_cast<std::size_t>(sensors); ++k) {
        const std::string deflection = CommaToPoint(fields[kColFirstDeflection + k]);
        if (!LineFaults::IsNumber(deflection)) faults.ExpectNumber("deflection " + std::to_string(k + 1), deflection);
        drop.append(", ").append(deflection);
    }
    PDDXSection& location = CurrentLocation(file, "a drop line");
    location.AddDropData().SetValue(std::move(drop));

    const std::vector<std::size_t>& columns = file.Carry->TemperatureColumns;
    std::string temperatures;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        if (k > 0) temperatures += ", ";
        const std::size_t column = columns[k];
        const std::string temperature = CommaToPoint(FieldAt(fields, column, "a temperature"));
        if (!LineFaults::IsNumber(temperature))
            faults.ExpectNumber("temperature", temperature, "in field " + std::to_string(column + 1));
        temperatures += temperature;
    }
    location.Element(pddx::TestLocation::TestTemperatures).SetValue(std::move(temperatures));
}

void ParseDropBlock(ReaderContext& context, CarlBroFwdState& file, const LineFields& fields, PDDXFile& document,
                    LineFaults& faults)
{
    const std::string_view first = fields[kColDropNumber];
    const int count = static_cast<int>(fields.size());
    const int temperatures = static_cast<int>(file.Carry->TemperatureColumns.size());
    if (TextContains("Sequence", first)) {
        ReadSequenceTime(file, fields, document, faults);
    } else if (TextContains("Drop", first)) {
        ReadColumnTitles(context, fields, document);
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

// Line `line` (non-empty), split with SplitOnTabs. Throws on a malformed line; a drop line too
// short to hold a drop, or values that are not the numbers or time they should be, are warnings.
void ParseCarlBroFwdLine(ReaderContext& context, CarlBroFwdState& file, const LineFields& fields, PDDXFile& document,
                         int line)
{
    const std::string_view first = fields[kColBlock];
    if (!first.empty() && first.front() == '$') {
        try {
            file.Block = ToInt16(first.substr(1));
        } catch (const ConversionError&) {
            throw ConversionError("the block line " + Quoted(first) + " has no block number after its \"$\"");
        }
        return;
    }
    LineFaults faults;
    switch (file.Block) {
    case 1:
        ParseGeneralHeader(context, fields, document, faults);
        break;
    case 2:
        ParseStationHeader(file, fields, document, faults);
        break;
    case 3:
        ParseDropBlock(context, file, fields, document, faults);
        break;
    default:
        break;  // before the first block, and blocks this reader does not know
    }
    faults.Report(context.Warnings, line);
}

// Reads a Carl Bro FWD text file into `document`. The first failure ends the reading with a
// ReadError naming the file and line; what was stored before it stays.
void ReadCarlBroFwd(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    CarlBroCarryOver& carry = context.CarryOver.Of<CarlBroCarryOver>();
    CarlBroFwdState file;  // block 0, the file not yet timed
    file.Carry = &carry;
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
        LineFields fields;
        ForEachLine(input, [&](std::string_view line, int number) {
            SplitOnTabs(line, fields);
            ParseCarlBroFwdLine(context, file, fields, document, number);
        });
    } catch (const ReadError&) {
        keep();
        throw;
    }
    keep();
    AtLine(input.Name, 0, [&] {
        // The input's own name, as the output's, whatever name block 1 gave.
        document.Element(pddx::OperationsInformation::FileName).SetValue(ReplaceAll(input.Name, ".TXT", ".DDX"));
        if (file.Positioned)
            document.Element(pddx::Units::GPSUnits)
                .SetValue(file.WithAltitude ? "degree, degree, meter" : "degree, degree");
        SetCarlBroDevice(document);
    });
}
// Tab-separated; marks: each of the blocks opened by "$1", "$2", "$3" lines, and each keyword
// line whose first field names a general, station or drop item ("Chainage [m]"). It takes a block
// and a keyword.
int SniffCarlBroFwd(const SniffSample& sample)
{
    static constexpr std::string_view kKeywords[] = {"Filename",     "Districtnumber", "Road reference",
                                                     "Plate radius", "Radial offset",  "Chainage",
                                                     "Sequence",     "Drop no"};
    bool blocks[3] = {};
    bool keywords[std::size(kKeywords)] = {};
    for (std::string_view line : sample.Filled()) {
        const std::string_view first = FirstField(line, '\t');
        if (first.size() == 2 && first[0] == '$' && first[1] >= '1' && first[1] <= '3') blocks[first[1] - '1'] = true;
        if (line.find('\t') == std::string_view::npos) continue;
        for (std::size_t k = 0; k < std::size(kKeywords); ++k)
            keywords[k] = keywords[k] || TextContains(kKeywords[k], first);
    }
    const int blockMarks = static_cast<int>(std::count(std::begin(blocks), std::end(blocks), true));
    const int keywordMarks = static_cast<int>(std::count(std::begin(keywords), std::end(keywords), true));
    return blockMarks == 0 || keywordMarks == 0 ? 0 : Score(blockMarks + keywordMarks);
}
}  // namespace vantrel
