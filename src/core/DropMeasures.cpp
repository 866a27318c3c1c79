#include "core/DropMeasures.h"

#include <cmath>
#include <numbers>

#include "base/Latin1.h"
#include "base/NumberText.h"
#include "base/ReadError.h"
#include "core/ExportFields.h"
#include "core/UnitFactors.h"

namespace vantrel {
namespace {

constexpr std::array<double, 4> kIndexOffsets = {0, 300, 600, 900};  // mm

// The sensors each index takes, as positions in kIndexOffsets.
struct IndexSensors {
    std::string_view Name;
    std::vector<std::size_t> Sensors;
};
const IndexSensors kIndexSensors[] = {
    {"SCI", {0, 1}}, {"BDI", {1, 2}}, {"BCI", {2, 3}}, {"AREA", {0, 1, 2, 3}}, {"E0", {0}}};

std::string JoinedNames(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

// A positive number, or nullopt.
std::optional<double> PositiveNumber(std::string_view text)
{
    const std::optional<double> number = FiniteNumber(text);
    return number && *number > 0 ? number : std::nullopt;
}

}  // namespace

std::optional<double> PlateMillimetres(const PDDXFile& document)
{
    const std::optional<double> radius = PositiveNumber(ValueOf(document, pddx::DeviceConfiguration::LoadPlateRadius));
    const std::optional<double> radiusMm = MillimetresPer(ValueOf(document, pddx::Units::LoadPlateRadiusUnits));
    if (radius && radiusMm) return *radius * *radiusMm;
    return std::nullopt;
}

LoadScale LoadScaleOf(const PDDXFile& document)
{
    const std::string loadUnits = ValueOf(document, pddx::Units::LoadUnits);
    if (const std::optional<double> force = KilonewtonsPer(loadUnits)) return {force, {}};
    if (TrimBlanks(loadUnits).empty()) return {std::nullopt, "it gives no LoadUnits"};
    if (!KilopascalsPer(loadUnits))
        return {std::nullopt, "its LoadUnits " + Quoted(loadUnits) + " is neither a force nor a pressure known here"};
    const std::optional<double> plateMm = PlateMillimetres(document);
    if (!plateMm)
        return {std::nullopt, "its loads are pressures (LoadUnits " + Quoted(loadUnits) +
                                  "), and LoadPlateRadius with LoadPlateRadiusUnits gives no plate radius to make "
                                  "them forces"};
    const double metres = *plateMm / 1000;
    return {*KilopascalsPer(loadUnits) * std::numbers::pi * metres * metres, {}};
}

DropMeasures::DropMeasures(const PDDXFile& document, const std::string& fileName, const ExportOptions& options)
    : fileName_(fileName), options_(options), plateMm_(PlateMillimetres(document))
{
    LoadScale scale = LoadScaleOf(document);
    knPerLoad_ = scale.KilonewtonsPerLoad;
    loadProblem_ = std::move(scale.Problem);
    if (const std::optional<double> mm = MillimetresPer(ValueOf(document, pddx::Units::DeflectionUnits)))
        micronsPerDeflection_ = *mm * 1000;
    if (options.Indices) FindSensors(document);
    if (options.NormalLoad > 0) normalLoad_ = Rounded(options.NormalLoad);
}

namespace {

// The sensor nearest `x` mm from the plate centre within `tolerance`, of `offsets` in mm (NaN where
// not a number). For x above 0 only a sensor in front of the plate (a positive offset), where the
// basin is measured, counts; D0 may be on either side. Of two as near, the one farther in front, so
// that the order of the list does not matter; of two at one offset, the first.
std::optional<std::size_t> NearestSensor(const std::vector<double>& offsets, double x, double tolerance)
{
    std::optional<std::size_t> nearest;
    for (std::size_t sensor = 0; sensor < offsets.size(); ++sensor) {
        const double offset = offsets[sensor];
        if (!(std::abs(offset - x) <= tolerance) || (x > 0 && offset < 0)) continue;
        const double best = nearest ? std::abs(offsets[*nearest] - x) : tolerance;
        if (!nearest || std::abs(offset - x) < best || (std::abs(offset - x) == best && offset > offsets[*nearest]))
            nearest = sensor;
    }
    return nearest;
}

// The offsets of a list, `mm` millimetres each; NaN for one that is not a number.
std::vector<double> Millimetres(std::string_view list, double mm)
{
    std::vector<double> offsets;
    for (const std::string_view item : Items(list)) {
        const std::optional<double> offset = FiniteNumber(item);
        offsets.push_back(offset ? *offset * mm : std::nan(""));
    }
    return offsets;
}

std::string SensorAt(std::size_t sensor, double offset)
{
    return "D" + std::to_string(sensor + 1) + " (" + Rounded(offset) + " mm)";
}

}  // namespace

void DropMeasures::FindSensors(const PDDXFile& document)
{
    const std::string offsets = ValueOf(document, pddx::DeviceConfiguration::DeflectionSensorXAxisDistances);
    const std::string units = ValueOf(document, pddx::Units::SensorsLocationUnits);
    const std::optional<double> mm = MillimetresPer(units);
    if (TrimBlanks(offsets).empty()) {
        note_ = "indices are empty: DeflectionSensorXAxisDistances gives no sensor offsets";
        return;
    }
    if (!mm) {
        note_ = "indices are empty: SensorsLocationUnits " + Quoted(units) + " is no length known here";
        return;
    }
    // Resolved once for the document: each drop then only reads the deflections taken.
    const std::vector<double> offsetsMm = Millimetres(offsets, *mm);
    std::vector<std::string> taken, missing, behind;
    for (std::size_t at = 0; at < kIndexOffsets.size(); ++at) {
        const double x = kIndexOffsets[at];
        sensors_[at] = NearestSensor(offsetsMm, x, options_.Tolerance);
        if (sensors_[at]) {
            taken.push_back("D" + Rounded(x) + " = " + SensorAt(*sensors_[at], offsetsMm[*sensors_[at]]));
            continue;
        }
        missing.push_back((x > 0 ? "+" : "") + Rounded(x) + " mm");
        // A sensor as far behind the plate is named, that the note tell why it was not taken.
        if (const std::optional<std::size_t> back = NearestSensor(offsetsMm, -x, options_.Tolerance); x > 0 && back)
            behind.push_back(SensorAt(*back, offsetsMm[*back]));
    }
    note_ = taken.empty() ? "indices take no sensor" : "indices take " + JoinedNames(taken);
    std::vector<std::string> empty;
    for (const IndexSensors& index : kIndexSensors)
        for (const std::size_t sensor : index.Sensors)
            if (!sensors_[sensor]) {
                empty.push_back(std::string(index.Name));
                break;
            }
    if (!missing.empty())
        note_ += "; no sensor within " + Rounded(options_.Tolerance) + " mm of " + JoinedNames(missing) + ", so " +
                 JoinedNames(empty) + (empty.size() == 1 ? " is" : " are") + " empty";
    if (!behind.empty()) note_ += " (behind the plate, and so not used: " + JoinedNames(behind) + ")";
    if (!sensors_[0]) return;
    if (!knPerLoad_) note_ += "; E0 is empty: " + loadProblem_;
    else if (!plateMm_) note_ += "; E0 is empty: LoadPlateRadius with LoadPlateRadiusUnits gives no plate radius";
    else if (!micronsPerDeflection_)
        note_ += "; E0 is empty: DeflectionUnits " + Quoted(ValueOf(document, pddx::Units::DeflectionUnits)) +
                 " is no length known here";
}

void DropMeasures::CheckLoad(int location, int drop, std::string_view value) const
{
    if (options_.NormalLoad == 0) return;
    const std::string_view load = TrimBlanks(value.substr(0, value.find(',')));
    if (!knPerLoad_) throw ReadError(fileName_, 0, "cannot normalise the loads: " + loadProblem_);
    if (!PositiveNumber(load))
        throw ReadError(fileName_, 0,
                        std::string(pddx::TestLocation::kPrefix) + std::to_string(location) + ", " +
                            std::string(pddx::TestLocation::kDropDataPrefix) + std::to_string(drop) + ": the load " +
                            Quoted(load) + " is not a positive number, so its deflections cannot be normalised");
}

namespace {

// Item `i` of a drop as a number; NaN where it is missing or not a number.
double NumberOf(const std::vector<std::string_view>& items, std::size_t i)
{
    const std::optional<double> value = i < items.size() ? FiniteNumber(items[i]) : std::nullopt;
    return value ? *value : std::nan("");
}

}  // namespace

std::array<double, 4> DropMeasures::IndexDeflections(const std::vector<std::string_view>& items) const
{
    // Only the load and the deflections the indices take are read as numbers.
    std::array<double, 4> d;
    for (std::size_t at = 0; at < d.size(); ++at)
        d[at] = sensors_[at] ? NumberOf(items, *sensors_[at] + 1) : std::nan("");
    return d;
}

double DropMeasures::LoadKn(const std::vector<std::string_view>& items) const
{
    return knPerLoad_ ? NumberOf(items, 0) * *knPerLoad_ : std::nan("");
}

void DropMeasures::WriteFields(std::string& row, std::string_view drop, std::size_t width, DropRoom& room) const
{
    if (options_.NormalLoad > 0) {
        WriteNormalised(row, drop, width, room);
        return;
    }
    ItemFields(row, drop, width, room.Items);
    if (options_.Indices) WriteIndices(row, IndexDeflections(room.Items), LoadKn(room.Items));
}

char* DropMeasures::WriteFields(char* to, std::string_view drop, std::size_t width, DropRoom& room) const
{
    if (options_.NormalLoad > 0) return nullptr;
    char* const end = PlainItemFields(drop, width, room.Items, to);
    if (!end || !options_.Indices) return end;
    return WriteIndices(end, IndexDeflections(room.Items), LoadKn(room.Items));
}

void DropMeasures::WriteNormalised(std::string& row, std::string_view drop, std::size_t width, DropRoom& room) const
{
    std::vector<std::optional<double>>& numbers = room.Numbers;
    Items(drop, room.Items, numbers);
    numbers.resize(width);
    // CheckLoad saw to it that the load is a positive number.
    const double loadKn = numbers.front() && knPerLoad_ ? *numbers.front() * *knPerLoad_ : std::nan("");
    const double scale = options_.NormalLoad / loadKn;
    NumberField(row, normalLoad_);
    std::array<double, 4> d;
    d.fill(std::nan(""));
    for (std::size_t i = 1; i < numbers.size(); ++i) {
        if (!numbers[i]) {
            row += ',';
            continue;
        }
        const double deflection = *numbers[i] * scale;
        RoundedField(row, deflection);
        for (std::size_t at = 0; at < d.size(); ++at)
            if (sensors_[at] && *sensors_[at] + 1 == i) d[at] = deflection;
    }
    if (options_.Indices) WriteIndices(row, d, options_.NormalLoad);
}

std::array<double, 5> DropMeasures::Indices(const std::array<double, 4>& d, double loadKn) const
{
    std::array<double, 5> indices = {d[0] - d[1], d[1] - d[2], d[2] - d[3],
                                     6 * (d[0] + 2 * d[1] + 2 * d[2] + d[3]) / d[0], std::nan("")};
    if (plateMm_ && micronsPerDeflection_) {
        const double metres = *plateMm_ / 1000;
        const double pressureKpa = loadKn / (std::numbers::pi * metres * metres);
        // kPa times mm over micrometres is MPa.
        const double nu = options_.Poisson;
        indices[4] = 2 * (1 - nu * nu) * pressureKpa * *plateMm_ / (d[0] * *micronsPerDeflection_);
    }
    return indices;
}

// NaN stands for a missing value and carries through the arithmetic; a division by D0 = 0 gives
// infinity. Neither is written.
char* DropMeasures::WriteIndices(char* to, const std::array<double, 4>& d, double loadKn) const
{
    for (const double value : Indices(d, loadKn)) {
        *to++ = ',';
        if (!std::isfinite(value)) continue;
        to = WriteRoundedPlainText(to, value, 6);
        if (!to) return nullptr;
    }
    return to;
}

void DropMeasures::WriteIndices(std::string& row, const std::array<double, 4>& d, double loadKn) const
{
    char text[kIndexTitles.size() * (kRoundedRoom + 1)];
    if (const char* const end = WriteIndices(text, d, loadKn)) {
        row.append(text, static_cast<std::size_t>(end - text));
        return;
    }
    // A number near the ends of the range is written the general way.
    for (const double value : Indices(d, loadKn)) {
        row += ',';
        if (std::isfinite(value)) AppendRoundedPlainText(row, value, 6);
    }
}

}  // namespace vantrel
