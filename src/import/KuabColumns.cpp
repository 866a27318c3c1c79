#include "import/KuabColumns.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>

#include "base/Latin1.h"
#include "base/ReadError.h"
#include "import/GpsDegrees.h"
#include "base/NumberText.h"
#include "import/Sniffing.h"

namespace vantrel {
namespace {

constexpr int kMaxTemperatureColumns = 10;
constexpr int kMaxSensor = 24;  // D24: the 25th column, the most a table holds

bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> upperWords)
{
    const std::string upper = UpperCase(word);
    return std::find(upperWords.begin(), upperWords.end(), upper) != upperWords.end();
}

bool IsLoadUnit(std::string_view unit) { return IsOneOf(unit, {"KN", "LBF", "KGF"}); }
bool IsDeflectionUnit(std::string_view unit) { return IsOneOf(unit, {"\xB5M", "UM", "MIL", "MILS"}); }
bool IsTemperatureUnit(std::string_view unit)
{
    return IsOneOf(unit, {"\xB0"
                          "C",
                          "\xB0"
                          "F",
                          "C", "F"});
}
bool IsTimeUnit(std::string_view unit) { return TextContains("hh:mm", unit); }
bool IsNmeaUnit(std::string_view unit) { return IsOneOf(unit, {"NMEA"}); }
bool IsDegreeUnit(std::string_view unit) { return IsOneOf(unit, {"\xB0", "DEG", "DEGREE", "DEGREES"}); }

bool IsUnitWord(std::string_view word)
{
    return IsLoadUnit(word) || IsDeflectionUnit(word) || IsTemperatureUnit(word) || IsTimeUnit(word) ||
           IsNmeaUnit(word) || IsDegreeUnit(word) || NormaliseUnitName(word) != word;
}

bool IsTimeTitle(std::string_view title)
{
    for (std::string_view word : {"time", "Tid", "Aika", "Zeit"})
        if (TextContains(word, title)) return true;
    return false;
}

// D followed by a sensor number: D0, D1, ...
bool IsSensorTitle(std::string_view title)
{
    return title.size() >= 2 && UpperChar(title.front()) == 'D' && IsWholeNumberText(title.substr(1));
}

// The temperature a title names, English, Swedish and Finnish words tried in this order, so that
// a title holding two of them counts as the first (as the English rule takes "Air" first).
std::string TemperatureUse(std::string_view title)
{
    static constexpr struct {
        std::string_view word;
        const char* use;
    } kUses[] = {{"Air", "Air"},          {"Luft", "Air"},     {"Ilma", "Air"},      {"Pave", "Pavement"},
                 {"Surface", "Pavement"}, {"Yta", "Pavement"}, {"Pint", "Pavement"}, {"Ground", "Ground"}};
    for (const auto& entry : kUses)
        if (TextContains(entry.word, title)) return entry.use;
    return std::string(title);
}

// The unit under each title, or empty text where none stands.
std::vector<std::string_view> UnitsUnderTitles(const std::vector<KuabWord>& titles, const std::vector<KuabWord>& units,
                                               std::vector<std::string>& underNoTitle)
{
    std::vector<std::string_view> under(titles.size());
    if (titles.size() == units.size()) {
        for (std::size_t i = 0; i < titles.size(); ++i) under[i] = units[i].Text;
        return under;
    }
    for (const KuabWord& unit : units) {
        std::size_t best = titles.size(), bestOverlap = 0;
        for (std::size_t i = 0; i < titles.size(); ++i) {
            const std::size_t begin = std::max(unit.Begin, titles[i].Begin), end = std::min(unit.End, titles[i].End);
            if (end > begin && end - begin > bestOverlap) best = i, bestOverlap = end - begin;
        }
        if (best < titles.size() && under[best].empty()) under[best] = unit.Text;
        else underNoTitle.emplace_back(unit.Text);
    }
    return under;
}

struct Axis {
    const char* name;
    std::size_t column;
    char positive, negative;  // hemisphere letters
    int limit;                // degrees either way
};

int HemisphereSign(std::string_view word, const Axis& axis)
{
    if (word.size() != 1) return 0;
    const char letter = UpperChar(word.front());
    return letter == axis.positive ? 1 : letter == axis.negative ? -1 : 0;
}

bool IsAnyHemisphere(std::string_view word)
{
    return word.size() == 1 && std::string_view("NSEW").find(UpperChar(word.front())) != std::string_view::npos;
}

// One coordinate in degrees. Its hemisphere letter may end the word or follow it as a word of its
// own; such a lone letter pushes the next coordinate one word along, so a coordinate that finds
// the other axis's letter in its own place reads the word after it. A letter before the value is
// not read: the value would then be taken from the wrong word.
std::optional<double> Coordinate(const LineFields& fields, const Axis& axis, bool degrees, std::string& fault)
{
    std::size_t at = axis.column;
    if (IsAnyHemisphere(fields[at]) && HemisphereSign(fields[at], axis) == 0) ++at;
    const std::string_view written = fields[at];
    std::string_view number = written;
    int sign = number.empty() ? 0 : HemisphereSign(number.substr(number.size() - 1), axis);
    if (sign != 0) number.remove_suffix(1);
    else sign = HemisphereSign(fields[at + 1], axis);

    std::optional<double> value;
    try {
        value = ParseNumber(number);
    } catch (const OverflowError&) {  // too large to be a coordinate
    }
    if (!value) {
        fault = std::string(axis.name) + " " + Quoted(written) + " is not a number";
        return std::nullopt;
    }
    const double size = std::fabs(*value), whole = std::floor(size / 100), minutes = size - whole * 100;
    if (!degrees && minutes >= 60) {
        fault = std::string(axis.name) + " " + Quoted(written) + " has minutes of 60 or more";
        return std::nullopt;
    }
    const double result = degrees ? size : whole + minutes / 60;
    if (result > axis.limit) {
        fault =
            std::string(axis.name) + " " + Quoted(written) + " is beyond " + std::to_string(axis.limit) + " degrees";
        return std::nullopt;
    }
    return std::copysign(result, *value) * (sign < 0 ? -1 : 1);
}

// What a title and the unit under it make of their column; columns marked NMEA but titled
// otherwise wait in `nmea` until every title is known.
void PlanColumn(KuabColumnPlan& plan, std::size_t column, std::string_view title, std::string_view unit,
                std::vector<std::size_t>& nmea)
{
    KuabPlacedColumns& columns = plan.Columns;
    const std::size_t sensor = KuabSensorOfTitle(title);
    if (column == 0) plan.StationUnit = unit;
    if (IsLoadUnit(unit) && !columns.Load) {
        columns.Load = column;
        plan.LoadUnit = unit;
        plan.Customary = IsOneOf(unit, {"LBF"});
    } else if (IsTemperatureUnit(unit)) {
        if (plan.Temperatures.size() == kMaxTemperatureColumns)
            throw InputError("the column title line has more than 10 temperature columns");
        if (plan.Temperatures.empty()) plan.TemperatureUnit = unit;
        plan.Temperatures.push_back(column);
        plan.TemperatureUses.push_back(TemperatureUse(title));
    } else if (IsDeflectionUnit(unit) || sensor > 0) {
        columns.Deflections.push_back(column);
        // Untitled by sensor: the sensors in order.
        plan.Sensors.push_back(sensor > 0 ? sensor : columns.Deflections.size());
        if (plan.DeflectionUnit.empty()) plan.DeflectionUnit = unit;
    } else if (IsOneOf(title, {"LAT", "LATITUDE"})) {
        columns.Latitude = column;
        columns.PositionsInDegrees = IsDegreeUnit(unit);
    } else if (IsOneOf(title, {"LONG", "LON", "LONGITUDE"})) {
        columns.Longitude = column;
    } else if (IsNmeaUnit(unit)) {
        nmea.push_back(column);
    } else if (IsTimeTitle(title) || IsTimeUnit(unit)) {
        plan.Time = column;
    }
}

// Columns marked NMEA but titled otherwise are latitude, then longitude, as NMEA writes them. One
// coordinate without the other places neither; `lone` then names it.
void PlacePositions(KuabPlacedColumns& columns, const std::vector<std::size_t>& nmea, std::string& lone)
{
    for (const std::size_t column : nmea) {
        if (!columns.Latitude) columns.Latitude = column;
        else if (!columns.Longitude) columns.Longitude = column;
    }
    if (columns.Latitude.has_value() == columns.Longitude.has_value()) return;
    lone = columns.Latitude ? "latitude" : "longitude";
    columns.Latitude.reset();
    columns.Longitude.reset();
}

}  // namespace

std::vector<KuabWord> KuabWords(std::string_view line)
{
    std::vector<KuabWord> words;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        const std::size_t end = std::min(line.find(' ', i), line.size());
        words.push_back({line.substr(i, end - i), i, end});
        i = end;
    }
    return words;
}

std::size_t KuabSensorNumber(std::string_view title)
{
    const auto number = ParseNumber(title.substr(1));
    if (!number || *number != std::floor(*number))
        throw InputError("the deflection column title " + Quoted(title) + " does not end in a sensor number");
    if (*number < 0 || *number > kMaxSensor)
        throw InputError("the deflection column title " + Quoted(title) + " names a sensor outside 0 to 24");
    return static_cast<std::size_t>(*number) + 1;
}

std::size_t KuabSensorOfTitle(std::string_view title) { return IsSensorTitle(title) ? KuabSensorNumber(title) : 0; }

bool NamesKuabSensor(const std::vector<KuabWord>& words)
{
    return std::any_of(words.begin(), words.end(), [](const KuabWord& word) { return IsSensorTitle(word.Text); });
}

// A table has at least a station, a load and one deflection.
bool LooksLikeKuabTitles(const std::vector<KuabWord>& words)
{
    return words.size() >= 3 && !IsKuabNote(words) &&
           std::none_of(words.begin(), words.end(), [](const KuabWord& word) { return IsUnitWord(word.Text); });
}

bool IsKuabDashLine(const std::vector<KuabWord>& words)
{
    return !words.empty() && std::all_of(words.begin(), words.end(), [](const KuabWord& word) {
        return word.Text.find_first_not_of('-') == std::string_view::npos;
    });
}

bool IsKuabNote(const std::vector<KuabWord>& words)
{
    return std::any_of(words.begin(), words.end(), [](const KuabWord& word) { return IsNumberText(word.Text); });
}

KuabColumnPlan PlanKuabColumns(std::string_view titleLine, std::string_view unitsLine)
{
    KuabColumnPlan plan;
    const std::vector<KuabWord> titles = KuabWords(titleLine);
    const std::vector<std::string_view> units = UnitsUnderTitles(titles, KuabWords(unitsLine), plan.UnitsUnderNoTitle);
    std::vector<std::size_t> nmea;
    for (std::size_t column = 0; column < titles.size(); ++column)
        PlanColumn(plan, column, titles[column].Text, units[column], nmea);
    PlacePositions(plan.Columns, nmea, plan.LonePosition);
    plan.Columns.Placed = !plan.Columns.Deflections.empty();
    return plan;
}

KuabPosition ReadKuabPosition(const LineFields& fields, const KuabPlacedColumns& columns)
{
    const Axis latitude{"latitude", columns.Latitude.value(), 'N', 'S', 90};
    const Axis longitude{"longitude", columns.Longitude.value(), 'E', 'W', 180};
    KuabPosition position;
    const std::optional<double> north = Coordinate(fields, latitude, columns.PositionsInDegrees, position.Fault);
    std::string eastFault;
    const std::optional<double> east = Coordinate(fields, longitude, columns.PositionsInDegrees, eastFault);
    if (!eastFault.empty()) position.Fault += (position.Fault.empty() ? "" : "; ") + eastFault;
    if (north && east) position.Text = DegreesText(*north) + ", " + DegreesText(*east);
    return position;
}

}  // namespace vantrel
