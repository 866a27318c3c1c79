// KUAB FWD field data (.FWD) and the KUAB configuration FVO.INI.
//
// The data file is line oriented; the first character of a line says what it holds: "C", "H"
// and "I" are "key: value" header lines, "J" lines are the table header (column titles, units,
// dash runs giving the column widths) and "D" lines are one drop each. Titles in other languages
// are placed by the units under them (KuabColumns.h). The table layout and the
// sensor offsets carry over into the next KUAB file of the same run (KuabCarryOver).
// A file whose title line begins "IKUAB FWD FILE" writes its date day/month/year with slashes.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Latin1.h"
#include "base/NativeText.h"
#include "base/NumberText.h"
#include "base/ReadError.h"
#include "document/PDDXFile.h"
#include "import/FileFormats.h"
#include "import/KuabColumns.h"
#include "import/ReaderInput.h"
#include "import/ReaderSupport.h"
#include "import/Sniffing.h"

namespace vantrel {

// What the KUAB FWD reader carries from one file to the next within one run: the table layout
// (column widths, the time column, the temperature columns, the columns placed by their units)
// and the sensor offsets. A later file that lacks its own column-title, dash or sensor-distance
// lines is read with the last ones seen.
namespace {

// Table columns are numbered from 0, as the words of a table line less its record letter.
struct KuabCarryOver {
    // The column holding the time of a drop; none while no column title has named one.
    std::optional<std::size_t> TimeColumn;

    // The width of each dash run of the last dash line, column by column.
    std::vector<std::size_t> ColumnWidths;

    // The column of each temperature reading.
    std::vector<std::size_t> TemperatureColumns;

    // The sensor offsets as the sensor-distance line wrote them, before any position line signed
    // them: a repeated position line starts again from these.
    std::vector<std::string> SensorDistances;

    // The same offsets with those of sensors towards the front of the device (FRONT) made negative.
    std::vector<std::string> SensorOffsets;

    // The offsets are distances whose side of the plate no position line has given yet: they are
    // not the sensors' X offsets, which stay empty for the user to fill in.
    bool SidesUnknown = false;

    KuabPlacedColumns Placed;
};

// What the data reader keeps between the lines of one file; a new file starts with a new one.
struct KuabFwdFileState {
    bool LocationOpen = false;               // a data line of this file has opened a test location
    bool SlashDate = false;                  // "Date Created" is d/m/y, written out as dd-mmm-yyyy
    bool SignedDistances = false;            // the layout writes the sensor distances with their sign
    int UnsignedDistancesLine = 0;           // the sensor-distance line no position line has signed yet
    int Line = 0;                            // the number of the line being read, for warnings
    PDDXSection* CurrentLocation = nullptr;  // the test location that takes the drops
    std::string LastStation;                 // station text of the last data line
    LineFields Fields;                       // the current line's words, reused line to line
    std::string Drop;                        // the current drop's value, reused likewise
    // Column titles the English rules do not know, waiting for the units line under them.
    std::string PendingTitles;
    int PendingTitlesLine = 0;

    // The elements every data line sets, looked up once rather than per drop.
    PDDXElement* StartTime = nullptr;
    PDDXElement* EndTime = nullptr;
    PDDXElement* TestTime = nullptr;
    PDDXElement* TestLocation = nullptr;
    PDDXElement* TestTemperatures = nullptr;
    PDDXElement* GpsLocation = nullptr;
    KuabCarryOver* Carry = nullptr;  // the run's, looked up once per file
};

// The offset of sensor `sensor` (1 for the first); empty where the sensor distances give none.
std::string_view OffsetOf(const KuabCarryOver& carry, std::size_t sensor)
{
    return sensor >= 1 && sensor <= carry.SensorOffsets.size() ? carry.SensorOffsets[sensor - 1] : std::string_view();
}

// The table holds at most this many columns, and the sensor-offset list as many words.
constexpr std::size_t kMaxColumns = 25;
constexpr std::size_t kMaxTemperatureColumns = 10;

// The English table: the station, the drop number, the load and the deflections; the units line
// under it has each column's unit.
constexpr std::size_t kColStation = 0, kColLoad = 2, kColFirstDeflection = 3;
// A header value of a number and its unit ("150 mm").
constexpr std::size_t kColNumber = 0, kColUnit = 1;

// Lists are joined with ", " between entries; an entry may itself be empty.
void AppendListItem(std::string& list, int index, std::string_view item)
{
    if (index > 1) list.append(", ");
    list.append(item);
}

void Warn(ReaderContext& context, const KuabFwdFileState& file, std::string what)
{
    context.Warnings.Add(file.Line, std::move(what));
}

std::string Plural(int count, const char* word) { return std::to_string(count) + " " + word + (count == 1 ? "" : "s"); }

// ---- header lines ("C", "H", "I") ----

// A unit word may stand in parentheses: "(cm)".
std::string UnitName(std::string_view word)
{
    if (word.size() > 2 && word.front() == '(' && word.back() == ')') word = word.substr(1, word.size() - 2);
    return NormaliseUnitName(word);
}

// The value's words as sensor offsets: the last word is their unit. Only a position line says
// on which side of the plate each sensor stands, so the X and Y distances wait for it, unless the
// layout writes the offsets with their sign.
void SensorDistanceRule(ReaderContext& context, KuabFwdFileState& file, std::string_view value, PDDXFile& document)
{
    LineFields& words = file.Fields;
    const char* tooMany = "the sensor distances hold more than 25 words (24 offsets and their unit at most)";
    try {
        SplitOnSpaces(value, words);
    } catch (const InputError&) {
        throw InputError(tooMany);
    }
    if (words.size() > kMaxColumns) throw InputError(tooMany);
    // An empty value is read by the same rule: the count becomes -1 (later drops then take no
    // field at all) and the unit is the word count, "0".
    const int count = static_cast<int>(words.size()), n = count - 1;
    const std::string_view unit = count > 0 ? words[words.size() - 1] : std::string_view("0");
    if (count == 0) Warn(context, file, "the sensor distances are empty");
    else if (IsNumberText(unit))
        Warn(context, file,
             "the sensor distances end in " + Quoted(unit) +
                 ", a number, where their unit belongs; it was taken as the unit");
    std::string x, y;
    for (int i = 1; i <= n; ++i) {
        const std::string_view offset = words[static_cast<std::size_t>(i - 1)];
        if (!IsNumberText(offset))
            Warn(context, file, "sensor offset " + std::to_string(i) + ", " + Quoted(offset) + ", is not a number");
        AppendListItem(x, i, TrimBlanks(offset));
        AppendListItem(y, i, "0");
    }

    KuabCarryOver& carry = *file.Carry;
    carry.SensorDistances.assign(words.begin(), words.begin() + std::max(n, 0));
    carry.SensorOffsets = carry.SensorDistances;
    carry.SidesUnknown = !file.SignedDistances;
    context.NumSensors = n;
    document.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors).SetValue(std::to_string(n));
    document.Element(pddx::Units::SensorsLocationUnits).SetValue(UnitName(unit));
    if (carry.SidesUnknown) {
        file.UnsignedDistancesLine = n > 0 ? file.Line : 0;  // an empty line is warned of already
        x.clear();
        y.clear();
    }
    document.Element(pddx::DeviceConfiguration::DeflectionSensorXAxisDistances).SetValue(std::move(x));
    document.Element(pddx::DeviceConfiguration::DeflectionSensorYAxisDistances).SetValue(std::move(y));
}

void WarnOfUnsignedDistances(ReaderContext& context, const KuabFwdFileState& file)
{
    if (file.UnsignedDistancesLine == 0) return;
    context.Warnings.Add(file.UnsignedDistancesLine,
                         "the sensor distances were not used as X offsets: no \"Sensor Position\" line says on which "
                         "side of the plate each sensor stands; the X and Y offsets were left empty");
}

// Sensors towards the front of the device (FRONT) get negative offsets. Each position line starts again from the
// offsets as the sensor-distance line gave them, so repeating it does not sign an offset twice.
void SensorPositionRule(ReaderContext& context, KuabFwdFileState& file, std::string_view value, PDDXFile& document)
{
    LineFields& positions = file.Fields;
    SplitOnSpaces(value, positions);
    const int n = context.NumSensors;
    if (n > static_cast<int>(kMaxColumns))
        throw InputError("the sensor count " + std::to_string(n) +
                         " is more than the 25 sensor offsets a position line can place");

    KuabCarryOver& carry = *file.Carry;
    carry.SidesUnknown = false;
    file.UnsignedDistancesLine = 0;
    const int placed = static_cast<int>(positions.size()), offsets = static_cast<int>(carry.SensorDistances.size());
    const int sensors = std::max(n, 0);  // an empty distance line has already been warned of
    if (placed < sensors)
        Warn(context, file,
             "the positions place " + std::to_string(placed) + " of " + Plural(sensors, "sensor") +
                 "; the others were taken as behind the plate");
    else if (placed > sensors)
        Warn(context, file,
             Plural(placed, "position") + " for " + Plural(sensors, "sensor") + "; the last " +
                 std::to_string(placed - sensors) + " were not read");
    if (offsets < sensors)
        Warn(context, file,
             "the sensor distances give " + Plural(offsets, "offset") + " for " + Plural(sensors, "sensor") +
                 "; the others were left empty");
    std::string x, y;
    for (int i = 1; i <= n; ++i) {
        const auto at = static_cast<std::size_t>(i - 1);
        if (i > offsets) {
            AppendListItem(x, i, TextContains("FRONT", positions[at]) ? "-" : "");  // no offset to sign
        } else if (TextContains("FRONT", positions[at])) {
            std::string negative = "-" + std::string(TrimBlanks(carry.SensorDistances[at]));
            AppendListItem(x, i, negative);
            carry.SensorOffsets[at] = std::move(negative);
        } else {
            AppendListItem(x, i, TrimBlanks(carry.SensorDistances[at]));
            carry.SensorOffsets[at] = carry.SensorDistances[at];
        }
        AppendListItem(y, i, "0");
    }
    document.Element(pddx::DeviceConfiguration::DeflectionSensorXAxisDistances).SetValue(std::move(x));
    document.Element(pddx::DeviceConfiguration::DeflectionSensorYAxisDistances).SetValue(std::move(y));
}

// "number unit": the number into one element, the unit word into another.
void NumberAndUnit(ReaderContext& context, KuabFwdFileState& file, std::string_view value, std::string_view what,
                   PDDXFile& document, const SectionAndKey& valueName, const SectionAndKey& unitName, bool trimNumber)
{
    SplitOnSpaces(value, file.Fields);
    const std::size_t words = file.Fields.size();
    const std::string_view number = file.Fields[kColNumber];
    if (words == 0) Warn(context, file, "the " + std::string(what) + " is empty");
    else if (!IsNumberText(number))
        Warn(context, file, "the " + std::string(what) + " " + Quoted(number) + " is not a number");
    if (words == 1) Warn(context, file, "the " + std::string(what) + " has no unit");
    if (words > 2)
        Warn(context, file,
             "the " + std::string(what) + " " + Quoted(TrimBlanks(value)) +
                 " is more than a number and its unit; the rest was not read");
    document.Element(unitName).SetValue(UnitName(file.Fields[kColUnit]));
    document.Element(valueName).SetValue(std::string(trimNumber ? TrimBlanks(number) : number));
}

// A date written d/m/y (two- or four-digit year) as dd-mmm-yyyy. Field programs of this layout
// write the day first; only when the second number cannot be a month is it the day.
std::optional<std::string> SlashDateText(std::string_view text)
{
    int parts[3] = {0, 0, 0};
    std::size_t count = 0;
    for (std::string_view rest = TrimBlanks(text); count < 3; ++count) {
        const std::string_view part = rest.substr(0, rest.find('/'));
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), parts[count]);
        const bool year = count == 2;
        if (error != std::errc() || end != part.data() + part.size() || part.empty() || part.front() == '-' ||
            (year ? part.size() != 2 && part.size() != 4 : part.size() > 2))
            return std::nullopt;
        if ((part.size() == rest.size()) != year) return std::nullopt;  // three parts, no more
        rest.remove_prefix(std::min(rest.size(), part.size() + 1));
    }
    int day = parts[0], month = parts[1];
    if (month > 12) std::swap(day, month);
    if (day < 1 || day > 31 || month < 1 || month > 12) return std::nullopt;
    const std::chrono::sys_days date = DateFromParts(parts[2], month, day);
    if (static_cast<unsigned>(std::chrono::year_month_day{date}.day()) != static_cast<unsigned>(day))
        return std::nullopt;  // 31/04 and the like
    return FormatDate(date);
}

void DateRule(ReaderContext& context, KuabFwdFileState& file, std::string_view value, PDDXFile& document)
{
    std::optional<std::string> date;
    if (file.SlashDate) {
        date = SlashDateText(value);
        if (!date)
            Warn(context, file, "the date " + Quoted(value) + " is not day/month/year; it was copied as written");
    }
    document.Element(pddx::OperationsInformation::StartDate).SetValue(date ? *date : std::string(value));
}

// Header keys whose value is copied as it stands, in the order they are tried.
struct TextRule {
    std::string_view word;
    SectionAndKey name;
};
constexpr TextRule kTextRules[] = {
    {"Road Name", pddx::LocationIdentification::FacilityName},
    {"Site", pddx::LocationIdentification::SiteName},
    {"Operator", pddx::OperationsInformation::OperatorName},
    {"Operat\xF6r", pddx::OperationsInformation::OperatorName},
    {"weather", pddx::OperationsInformation::WeatherCondition},
};

void HeaderLine(ReaderContext& context, KuabFwdFileState& file, std::string_view line, PDDXFile& document)
{
    const std::size_t colon = line.find(':', 1);
    if (colon == std::string_view::npos) {
        Warn(context, file, "the header line has no \":\" after its key; it was skipped");
        return;
    }
    const std::string_view key = line.substr(1, colon - 1);
    const std::string_view value = line.substr(colon + 1);  // not trimmed: the blank after ":" stays

    // The first rule whose word the key contains decides, so "Sensor Distance" never reaches the
    // position rules and "Operator Site" is a site.
    for (const TextRule& rule : kTextRules) {
        if (TextContains(rule.word, key)) {
            document.Element(rule.name).SetValue(std::string(value));
            return;
        }
    }
    if (TextContains("Date Created", key)) DateRule(context, file, value, document);
    else if (TextContains("Plate Radius", key))
        NumberAndUnit(context, file, value, "plate radius", document, pddx::DeviceConfiguration::LoadPlateRadius,
                      pddx::Units::LoadPlateRadiusUnits, false);
    else if (TextContains("Sensor Distance", key) || TextContains("Distance", key))
        SensorDistanceRule(context, file, value, document);
    else if (TextContains("Sensor Position", key) || TextContains("Position", key))
        SensorPositionRule(context, file, value, document);
    else if (TextContains("Testpoint spacing", key))
        NumberAndUnit(context, file, value, "test point spacing", document, pddx::DeflectionData::NominalTestSpacing,
                      pddx::Units::NominalTestSpacingUnits, true);
}

// ---- table header lines ("J") ----

void CheckColumnCount(std::size_t count, std::string_view what)
{
    if (count > kMaxColumns)
        throw InputError("the " + std::string(what) + " has " + std::to_string(count) + " columns, more than 25");
}

// The use of the temperature a column title names; nullptr for a column of no temperature.
const char* TemperatureUse(std::string_view title)
{
    if (TextContains("Air", title)) return "Air";
    if (TextContains("Pave", title)) return "Pavement";
    if (TextContains("Ground", title)) return "Ground";
    return nullptr;
}

// The offsets of the `d`th deflection column, titled `title`, appended to the X and Y lists.
void AppendSensorDistances(ReaderContext& context, const KuabFwdFileState& file, std::string_view title, int d,
                           std::string& x, std::string& y)
{
    const KuabCarryOver& carry = *file.Carry;
    const std::size_t sensor = KuabSensorNumber(title);
    if (const std::size_t offsets = carry.SensorOffsets.size(); sensor > offsets)
        Warn(context, file,
             "column " + Quoted(title) + " names sensor " + std::to_string(sensor) +
                 ", but the sensor distances give " + Plural(static_cast<int>(offsets), "offset") +
                 "; its offset was left empty");
    AppendListItem(x, d, TrimBlanks(OffsetOf(carry, sensor)));
    AppendListItem(y, d, "0");
}

// Column titles. Form A (a "Distance" line) may name a time column and takes two-character
// deflection titles; form B (a "Station" line) takes deflection titles of up to three.
void ColumnTitleLine(ReaderContext& context, KuabFwdFileState& file, bool formA, PDDXFile& document)
{
    const LineFields& titles = file.Fields;
    CheckColumnCount(titles.size(), "column title line");

    KuabCarryOver& carry = *file.Carry;
    carry.Placed = {};  // the table is laid out by these titles
    file.PendingTitles.clear();
    std::optional<std::size_t> timeColumn = carry.TimeColumn;
    std::vector<std::size_t> temperatures;
    int d = 0;
    std::string uses, x, y;
    for (std::size_t column = 0; column < titles.size(); ++column) {
        const std::string_view title = titles[column];
        if (formA && TextContains("time", title)) timeColumn = column;

        if (const char* use = TemperatureUse(title)) {
            if (temperatures.size() == kMaxTemperatureColumns)
                throw InputError("the column title line has more than 10 temperature columns");
            temperatures.push_back(column);
            AppendListItem(uses, static_cast<int>(temperatures.size()), use);
        }

        const bool deflection = TextContains("D", title) && (formA ? title.size() == 2 : title.size() <= 3);
        if (!deflection) continue;
        ++d;
        if (carry.SidesUnknown) KuabSensorNumber(title);  // no offsets to take, but its number is checked
        else AppendSensorDistances(context, file, title, d, x, y);
    }

    carry.TimeColumn = timeColumn;
    const std::size_t t = temperatures.size();
    carry.TemperatureColumns = std::move(temperatures);
    context.NumSensors = d;
    document.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors).SetValue(std::to_string(d));
    document.Element(pddx::DeviceConfiguration::NumberOfTemperatureSensors).SetValue(std::to_string(t));
    document.Element(pddx::DeviceConfiguration::TemperatureSensorUse).SetValue(std::move(uses));
    if (carry.SidesUnknown) return;
    document.Element(pddx::DeviceConfiguration::DeflectionSensorXAxisDistances).SetValue(std::move(x));
    document.Element(pddx::DeviceConfiguration::DeflectionSensorYAxisDistances).SetValue(std::move(y));
}

// The units under the titles: station unit, (drop,) load unit, deflection unit, and the unit of
// the first temperature column.
void UnitsLine(ReaderContext& context, KuabFwdFileState& file, bool metric, PDDXFile& document)
{
    const LineFields& units = file.Fields;
    const std::vector<std::size_t>& temperatures = file.Carry->TemperatureColumns;
    const std::size_t needed = std::max(kColFirstDeflection, temperatures.empty() ? 0 : temperatures.front()) + 1;
    if (units.size() < needed)
        Warn(context, file,
             "the units line ends after column " + std::to_string(units.size()) + " of " + std::to_string(needed) +
                 "; the units of the columns missing were left empty");
    const std::string station = NormaliseUnitName(units[kColStation]);
    document.Element(pddx::Units::TestLocationUnits)
        .SetValue(metric ? station + ", " + station + ", " + station : station + ", inch, inch");
    document.Element(pddx::Units::LoadUnits).SetValue(NormaliseUnitName(units[kColLoad]));
    document.Element(pddx::Units::DeflectionUnits).SetValue(NormaliseUnitName(units[kColFirstDeflection]));
    // Without a known temperature column there is no word to take; the element keeps its value.
    if (!temperatures.empty())
        document.Element(pddx::Units::TemperatureUnits).SetValue(NormaliseUnitName(units[temperatures.front()]));
}

std::string Joined(const std::vector<std::string>& items)
{
    std::string list;
    for (std::size_t i = 0; i < items.size(); ++i) AppendListItem(list, static_cast<int>(i) + 1, items[i]);
    return list;
}

// The units line under titles the English rules do not know places their columns, and sets what
// the English title and units lines set. Without a deflection column nothing is placed: false.
bool PlaceTitles(ReaderContext& context, KuabFwdFileState& file, std::string_view line, PDDXFile& document)
{
    const std::string titles = std::move(file.PendingTitles);
    file.PendingTitles.clear();
    const int titleLine = file.PendingTitlesLine;
    const KuabColumnPlan plan = PlanKuabColumns(titles, line.substr(1));
    for (const std::string& unit : plan.UnitsUnderNoTitle)
        Warn(context, file, "the unit " + Quoted(unit) + " stands under no title of its own; it was not read");
    if (!plan.Columns.Placed) {
        context.Warnings.Add(titleLine, "the column titles name no deflection column (no title D0, D1, ... and no "
                                        "unit um or mil under one); they were not read");
        return false;
    }

    KuabCarryOver& carry = *file.Carry;
    carry.Placed = plan.Columns;
    if (plan.Time) carry.TimeColumn = plan.Time;
    carry.TemperatureColumns = plan.Temperatures;
    const int d = static_cast<int>(plan.Columns.Deflections.size());
    context.NumSensors = d;
    document.Element(pddx::DeviceConfiguration::NumberOfDeflectionSensors).SetValue(std::to_string(d));
    document.Element(pddx::DeviceConfiguration::NumberOfTemperatureSensors)
        .SetValue(std::to_string(plan.Temperatures.size()));
    document.Element(pddx::DeviceConfiguration::TemperatureSensorUse).SetValue(Joined(plan.TemperatureUses));

    // The distances from the sensor offsets as for English titles; a file without offsets, or
    // without the side of the plate each stands on, leaves them as they are rather than giving
    // each sensor an empty one.
    if (const std::size_t offsets = carry.SensorOffsets.size(); offsets > 0 && !carry.SidesUnknown) {
        const std::vector<KuabWord> words = KuabWords(titles);
        std::string x, y;
        for (std::size_t i = 0; i < plan.Sensors.size(); ++i) {
            const std::size_t sensor = plan.Sensors[i];
            if (sensor > offsets)
                context.Warnings.Add(titleLine,
                                     "column " + Quoted(words[plan.Columns.Deflections[i]].Text) + " is sensor " +
                                         std::to_string(sensor) + ", but the sensor distances give " +
                                         Plural(static_cast<int>(offsets), "offset") + "; its offset was left empty");
            AppendListItem(x, static_cast<int>(i) + 1, TrimBlanks(OffsetOf(carry, sensor)));
            AppendListItem(y, static_cast<int>(i) + 1, "0");
        }
        document.Element(pddx::DeviceConfiguration::DeflectionSensorXAxisDistances).SetValue(std::move(x));
        document.Element(pddx::DeviceConfiguration::DeflectionSensorYAxisDistances).SetValue(std::move(y));
    }

    const std::string station = NormaliseUnitName(plan.StationUnit);
    document.Element(pddx::Units::TestLocationUnits)
        .SetValue(plan.Customary ? station + ", inch, inch" : station + ", " + station + ", " + station);
    if (plan.Columns.Load) document.Element(pddx::Units::LoadUnits).SetValue(NormaliseUnitName(plan.LoadUnit));
    else Warn(context, file, "no column has a load unit (kN, lbf or kgf) under it; the loads were left empty");
    document.Element(pddx::Units::DeflectionUnits).SetValue(NormaliseUnitName(plan.DeflectionUnit));
    if (!plan.Temperatures.empty())
        document.Element(pddx::Units::TemperatureUnits).SetValue(NormaliseUnitName(plan.TemperatureUnit));
    if (plan.Columns.Latitude) document.Element(pddx::Units::GPSUnits).SetValue("degree, degree");
    if (!plan.LonePosition.empty())
        Warn(context, file,
             "a " + plan.LonePosition + " column but no " +
                 (plan.LonePosition == "latitude" ? "longitude" : "latitude") + " column; the positions were not read");
    return true;
}

// Titles the English rules do not know wait for the units line under them. Their limits end the
// reading at their own line.
void KeepTitles(KuabFwdFileState& file, std::string_view line, const std::vector<KuabWord>& words)
{
    CheckColumnCount(words.size(), "column title line");
    for (const KuabWord& word : words) KuabSensorOfTitle(word.Text);
    file.PendingTitles.assign(line.substr(1));
    file.PendingTitlesLine = file.Line;
}

void WarnOfUnplacedTitles(ReaderContext& context, KuabFwdFileState& file)
{
    if (file.PendingTitles.empty()) return;
    context.Warnings.Add(file.PendingTitlesLine, "the column titles were not read: no units line follows them");
    file.PendingTitles.clear();
}

void ColumnWidthLine(KuabFwdFileState& file)
{
    CheckColumnCount(file.Fields.size(), "dash line");
    std::vector<std::size_t>& widths = file.Carry->ColumnWidths;
    widths.clear();
    for (const std::string_view dashes : file.Fields) widths.push_back(dashes.size());
}

void TableHeaderLine(ReaderContext& context, KuabFwdFileState& file, std::string_view line, PDDXFile& document)
{
    enum class Kind { TitlesA, TitlesB, Metric, Customary, Widths, OtherTitles, TheirUnits };
    const std::vector<KuabWord> words = KuabWords(line.substr(1));
    Kind kind;
    if (TextContains("Distance", line)) kind = Kind::TitlesA;
    else if (TextContains("Station", line)) kind = Kind::TitlesB;
    else if (!file.PendingTitles.empty() && !words.empty() && !IsKuabDashLine(words) && !IsKuabNote(words))
        kind = Kind::TheirUnits;
    else if (NamesKuabSensor(words)) kind = Kind::OtherTitles;  // units lines never hold a D0
    // Before the units test: a title may hold the letters of a unit (the Swedish for deflection
    // holds "kn").
    else if (!IsKuabDashLine(words) && LooksLikeKuabTitles(words)) kind = Kind::OtherTitles;
    else if (TextContains("kN", line)) kind = Kind::Metric;  // a line with both "kN" and "lbf" is metric
    else if (TextContains("lbf", line)) kind = Kind::Customary;
    else if (line.find("---") != std::string_view::npos) kind = Kind::Widths;
    else return;

    SplitOnSpaces(line.substr(1), file.Fields);
    switch (kind) {
    case Kind::TitlesA:
        ColumnTitleLine(context, file, true, document);
        break;
    case Kind::TitlesB:
        ColumnTitleLine(context, file, false, document);
        break;
    case Kind::Metric:
        UnitsLine(context, file, true, document);
        break;
    case Kind::Customary:
        UnitsLine(context, file, false, document);
        break;
    case Kind::Widths:
        ColumnWidthLine(file);
        break;
    case Kind::OtherTitles:
        KeepTitles(file, line, words);
        break;
    case Kind::TheirUnits:
        // Titles not placed: the line is read as the English units line it may be, as it was before.
        if (!PlaceTitles(context, file, line, document) && (TextContains("kN", line) || TextContains("lbf", line)))
            UnitsLine(context, file, TextContains("kN", line), document);
        break;
    }
}

// ---- data lines ("D") ----

// The time column's text is cut from the line by the dash widths, one character to the left of
// the column: the blank before it (or the record letter) is part of it. Not trimmed. Without a
// dash line over the column it is the column's word.
std::string_view TimeText(const KuabCarryOver& carry, std::string_view line, const LineFields& fields)
{
    const std::size_t column = carry.TimeColumn.value();
    const std::vector<std::size_t>& widths = carry.ColumnWidths;
    if (widths.size() <= column) return fields[column];
    std::size_t start = 0;
    for (std::size_t i = 0; i < column; ++i) start += widths[i] + 1;
    if (start >= line.size()) return {};
    return line.substr(start, widths[column] + 1);
}

// The column of the load (i = 0) and of deflection i; none for a load no column holds.
std::optional<std::size_t> DropColumn(const KuabPlacedColumns& placed, int i)
{
    if (!placed.Placed) return kColLoad + static_cast<std::size_t>(i);
    if (i == 0) return placed.Load;
    return placed.Deflections[static_cast<std::size_t>(i - 1)];
}

// The first and last column of a drop of `n` deflections.
struct ColumnSpan {
    int First, Last;
};

ColumnSpan DropColumns(const KuabPlacedColumns& placed, int n)
{
    if (!placed.Placed) return {static_cast<int>(kColLoad), static_cast<int>(kColLoad) + n};
    ColumnSpan span{static_cast<int>(kMaxColumns), 0};
    for (int i = 0; i <= n; ++i) {
        if (const auto column = DropColumn(placed, i)) {
            span.First = std::min(span.First, static_cast<int>(*column));
            span.Last = std::max(span.Last, static_cast<int>(*column));
        }
    }
    return span;
}

// A drop of deflections by their places on the line must fit in the fields a line may hold.
void CheckDropFits(const KuabPlacedColumns& placed, int n)
{
    // Below 0 (an empty distance line): no field at all. Messages count columns from 1.
    const int loadField = static_cast<int>(kColLoad) + 1;
    if (!placed.Placed && loadField + n > static_cast<int>(kMaxFields))
        throw InputError("a drop of " + std::to_string(n) + " deflections needs fields " + std::to_string(loadField) +
                         " to " + std::to_string(loadField + n) + ", but a line holds at most 40");
}

// A station other than the last line's (or the file's first) opens a test location.
void OpenLocationOfStation(KuabFwdFileState& file, PDDXFile& document, bool firstOfFile)
{
    const std::string_view station = file.Fields[kColStation];
    if (!firstOfFile && station == file.LastStation) return;
    PDDXSection& location = document.AddTestLocation();
    file.CurrentLocation = &location;
    file.TestTime = &location.Element(pddx::TestLocation::TestTime);
    file.TestLocation = &location.Element(pddx::TestLocation::TestLocation);
    file.TestTemperatures = &location.Element(pddx::TestLocation::TestTemperatures);
    file.GpsLocation = &location.Element(pddx::TestLocation::GPSLocation);
    file.LastStation = station;
    std::string where(TrimBlanks(station));
    file.TestLocation->SetValue(where.append(", 0, 0"));  // the same for every drop at this station
}

// Before any title line has named a time column there is no time to cut: the times stay.
void SetDropTime(ReaderContext& context, KuabFwdFileState& file, std::string_view line, bool firstOfFile)
{
    const KuabCarryOver& carry = *file.Carry;
    if (!carry.TimeColumn) return;
    const std::string_view time = TimeText(carry, line, file.Fields);
    if (time.empty()) Warn(context, file, "the line ends before the time column; the time was left empty");
    if (firstOfFile) file.StartTime->SetValue(time);
    file.TestTime->SetValue(time);
    file.EndTime->SetValue(time);
}

// The load and `n` deflections as the test location's next drop.
void AddDrop(ReaderContext& context, KuabFwdFileState& file, int n)
{
    const KuabPlacedColumns& placed = file.Carry->Placed;
    const LineFields& fields = file.Fields;
    const int count = static_cast<int>(fields.size());
    if (const ColumnSpan span = DropColumns(placed, n); count <= span.Last)
        Warn(context, file,
             "the line ends after column " + std::to_string(count) + "; the load and " + Plural(n, "deflection") +
                 " need columns " + std::to_string(span.First + 1) + " to " + std::to_string(span.Last + 1) +
                 ", those missing were left empty");
    std::string& drop = file.Drop;
    drop.clear();
    for (int i = 0; i <= n; ++i) {
        if (i > 0) drop.append(", ");
        const std::optional<std::size_t> column = DropColumn(placed, i);
        const std::string_view value = column ? TrimBlanks(fields[*column]) : "";
        if (column && static_cast<int>(*column) < count && !IsNumberText(value))
            Warn(context, file,
                 (i == 0 ? std::string("the load ") : "deflection " + std::to_string(i) + ", ") + Quoted(value) +
                     (i == 0 ? "" : ",") + " is not a number");
        drop.append(value);
    }
    file.CurrentLocation->AddDropData().SetValue(drop);
}

// Every drop sets the position; the station's last drop gives it.
void SetPosition(ReaderContext& context, KuabFwdFileState& file)
{
    const KuabPlacedColumns& placed = file.Carry->Placed;
    if (!placed.Latitude) return;
    KuabPosition position = ReadKuabPosition(file.Fields, placed);
    if (!position.Fault.empty()) Warn(context, file, std::move(position.Fault) + "; the position was left empty");
    file.GpsLocation->SetValue(std::move(position.Text));
}

void SetTemperatures(ReaderContext& context, KuabFwdFileState& file)
{
    const LineFields& fields = file.Fields;
    const std::vector<std::size_t>& columns = file.Carry->TemperatureColumns;
    if (!columns.empty() && *std::max_element(columns.begin(), columns.end()) >= fields.size())
        Warn(context, file,
             "the line ends after column " + std::to_string(fields.size()) +
                 ", before a temperature column; that temperature was left empty");
    std::string temperatures;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) temperatures.append(", ");
        temperatures.append(fields[columns[i]]);
    }
    file.TestTemperatures->SetValue(std::move(temperatures));
}

void DataLine(ReaderContext& context, KuabFwdFileState& file, std::string_view line, PDDXFile& document)
{
    WarnOfUnplacedTitles(context, file);
    SplitOnSpaces(line.substr(1), file.Fields);
    const KuabPlacedColumns& placed = file.Carry->Placed;
    const int n = placed.Placed ? static_cast<int>(placed.Deflections.size()) : context.NumSensors;
    CheckDropFits(placed, n);

    const bool firstOfFile = !file.LocationOpen;
    OpenLocationOfStation(file, document, firstOfFile);
    if (!file.EndTime) {
        file.StartTime = &document.Element(pddx::OperationsInformation::StartTime);
        file.EndTime = &document.Element(pddx::OperationsInformation::EndTime);
    }
    SetDropTime(context, file, line, firstOfFile);
    file.LocationOpen = true;

    AddDrop(context, file, n);
    SetPosition(context, file);
    SetTemperatures(context, file);
}

}  // namespace

// One non-empty line after the first, line `number` of the file (for warnings). Throws on a line
// beyond the reader's limits.
void ParseKuabFwdLine(ReaderContext& context, KuabFwdFileState& file, std::string_view line, int number,
                      PDDXFile& document)
{
    if (line.empty()) return;
    file.Line = number;
    switch (line.front()) {
    case 'C':
    case 'H':
    case 'I':
        HeaderLine(context, file, line, document);
        break;
    case 'J':
        TableHeaderLine(context, file, line, document);
        break;
    case 'D':
        DataLine(context, file, line, document);
        break;
    default:
        break;  // other record letters carry nothing the document takes
    }
}

void ReadKuabFwd(ReaderContext& context, ReaderInput& input, PDDXFile& document)
{
    KuabFwdFileState file;
    file.Carry = &context.CarryOver.Of<KuabCarryOver>();
    NativeLines lines(input.Bytes);
    std::string_view title;
    if (lines.Next(title)) {  // the first line is the file's own title and is not read otherwise
        // This layout writes the offsets of sensors towards the front of the device negative.
        file.SlashDate = file.SignedDistances = title.starts_with("IKUAB FWD FILE");
        ForEachLine(lines, input.Name, [&](std::string_view line, int number) {
            ParseKuabFwdLine(context, file, line, number, document);
        });
        WarnOfUnplacedTitles(context, file);
        WarnOfUnsignedDistances(context, file);
    }
    document.Element(pddx::OperationsInformation::FileName).SetValue(ReplaceAll(input.Name, ".FWD", ".DDX"));
    document.Element(pddx::Units::DropHistoryDataFrequencyUnits).SetValue("Hertz");
    document.Element(pddx::DeviceInformation::DeviceLoadType).SetValue("Impulse");
}

// The first line is free text. The others start with a record letter, at least six in ten of
// them; marks: C, H or I header lines "key: value", J table lines whose column titles name
// Distance or Station, D data lines of numbers.
int SniffKuabFwd(const SniffSample& sample)
{
    const auto& lines = sample.Lines();
    int records = 0, others = 0;
    bool header = false, titles = false, data = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (TrimBlanks(line).empty()) continue;
        const char letter = line.front();
        if (std::string_view("CHIJD").find(letter) == std::string_view::npos) {
            ++others;
            continue;
        }
        ++records;
        if (letter == 'J') titles = titles || TextContains("Distance", line) || TextContains("Station", line);
        else if (letter == 'D') data = data || CountWords(line.substr(1)).Numbers >= 3;
        else header = header || line.find(':', 1) != std::string_view::npos;
    }
    if (records * 10 < (records + others) * 6) return 0;
    return Score(header + titles + data);
}
}  // namespace vantrel
