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

// The sensor whose distance from the plate centre is nearest `x` mm, within `tolerance`; the first
// of two as near. One behind the plate counts by its distance.
std::optional<std::size_t> NearestSensor(const std::vector<std::string_view>& offsets, double mm, double x,
                                         double tolerance)
{
    std::optional<std::size_t> nearest;
    double best = tolerance;
    for (std::size_t sensor = 0; sensor < offsets.size(); ++sensor) {
        const std::optional<double> offset = FiniteNumber(offsets[sensor]);
        const double off = offset ? std::abs(std::abs(*offset * mm) - x) : best + 1;
        if (off <= best && (!nearest || off < best)) {
            nearest = sensor;
            best = off;
        }
    }
    return nearest;
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
    // The sensor nearest each offset, within the tolerance; one behind the plate counts by its distance.
    const std::vector<std::string_view> items = Items(offsets);
    std::vector<std::string> taken, missing;
    for (std::size_t at = 0; at < kIndexOffsets.size(); ++at) {
        sensors_[at] = NearestSensor(items, *mm, kIndexOffsets[at], options_.Tolerance);
        const std::string x = Rounded(kIndexOffsets[at]);
        if (sensors_[at])
            taken.push_back("D" + x + " = D" + std::to_string(*sensors_[at] + 1) + " (" +
                            Rounded(std::abs(*FiniteNumber(items[*sensors_[at]]) * *mm)) + " mm)");
        else missing.push_back(x + " mm");
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
    if (!sensors_[0]) return;
    if (!knPerLoad_) note_ += "; E0 is empty: " + loadProblem_;
    else if (!plateMm_) note_ += "; E0 is empty: LoadPlateRadius with LoadPlateRadiusUnits gives no plate radius";
    else if (!micronsPerDeflection_)
        note_ += "; E0 is empty: DeflectionUnits " + Quoted(ValueOf(document, pddx::Units::DeflectionUnits)) +
                 " is no length known here";
}

void DropMeasures::CheckLoad(int location, int drop, std::string_view load) const
{
    if (options_.NormalLoad == 0) return;
    if (!knPerLoad_) throw ReadError(fileName_, 0, "cannot normalise the loads: " + loadProblem_);
    if (!PositiveNumber(load))
        throw ReadError(fileName_, 0,
                        std::string(pddx::TestLocation::kPrefix) + std::to_string(location) + ", " +
                            std::string(pddx::TestLocation::kDropDataPrefix) + std::to_string(drop) + ": the load " +
                            Quoted(load) + " is not a positive number, so its deflections cannot be normalised");
}

void DropMeasures::WriteFields(std::string& row, const std::vector<std::string_view>& items,
                               const std::vector<std::optional<double>>& numbers) const
{
    if (options_.NormalLoad == 0 && !options_.Indices) {
        for (const std::string_view item : items) Field(row, item);
        return;
    }
    const std::optional<double> load = numbers.front();
    const double loadKn = load && knPerLoad_ ? *load * *knPerLoad_ : std::nan("");
    const double scale = options_.NormalLoad > 0 ? options_.NormalLoad / loadKn : 1;
    // An item that reads as a number is written as NumberField writes numbers.
    const auto item = [&](std::size_t i) { numbers[i] ? NumberField(row, items[i]) : Field(row, items[i]); };
    if (options_.NormalLoad > 0) NumberField(row, normalLoad_);
    else item(0);
    deflections_.clear();
    for (std::size_t i = 1; i < items.size(); ++i) {
        const std::optional<double> deflection = numbers[i];
        deflections_.push_back(deflection ? *deflection * scale : std::nan(""));
        if (options_.NormalLoad == 0) item(i);
        else if (deflection) RoundedField(row, deflections_.back());
        else row += ',';
    }
    if (options_.Indices) WriteIndices(row, deflections_, options_.NormalLoad > 0 ? options_.NormalLoad : loadKn);
}

void DropMeasures::WriteIndices(std::string& row, const std::vector<double>& deflections, double loadKn) const
{
    std::array<double, 4> d;
    for (std::size_t at = 0; at < d.size(); ++at)
        d[at] = sensors_[at] && *sensors_[at] < deflections.size() ? deflections[*sensors_[at]] : std::nan("");
    // NaN stands for a missing value and carries through the arithmetic; a division by D0 = 0 gives
    // infinity. Neither is written.
    const auto write = [&row](double value) {
        if (std::isfinite(value)) RoundedField(row, value);
        else row += ',';
    };
    write(d[0] - d[1]);
    write(d[1] - d[2]);
    write(d[2] - d[3]);
    write(6 * (d[0] + 2 * d[1] + 2 * d[2] + d[3]) / d[0]);
    if (!plateMm_ || !micronsPerDeflection_) {
        row += ',';
        return;
    }
    const double metres = *plateMm_ / 1000;
    const double pressureKpa = loadKn / (std::numbers::pi * metres * metres);
    // kPa times mm over micrometres is MPa.
    const double nu = options_.Poisson;
    write(2 * (1 - nu * nu) * pressureKpa * *plateMm_ / (d[0] * *micronsPerDeflection_));
}

}  // namespace vantrel
