#include "core/CalibrationChecks.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cmath>
#include <limits>
#include <numbers>
#include <set>
#include <utility>
#include <span>

#include "base/Latin1.h"
#include "base/NumberText.h"
#include "core/DropMeasures.h"
#include "core/ExportFields.h"
#include "core/UnitFactors.h"

namespace vantrel {
namespace {

namespace calibration = pddx::DeviceCalibration;
namespace configuration = pddx::DeviceConfiguration;

using Day = std::chrono::sys_days;

// The device the Dynatest readers name.
constexpr std::string_view kDynatestDevice = "Dynatest FWD";

// Plate radii (mm) within what V127 takes for a radius, and the plates FWDs carry (300 and
// 450 mm across), on which a load labelled as a force is tried as a pressure.
constexpr double kMinPlateMm = 50, kMaxPlateMm = 250;
constexpr double kUsualPlatesMm[] = {150, 225};

// A force unit and the pressure unit of its system, which writers label one for the other.
struct UnitPair {
    std::string_view Force, Pressure;
};
constexpr UnitPair kUnitPairs[] = {{"kN", "kPa"}, {"lbf", "psi"}};

// The pair of a document's load unit (a force or a pressure); kN and kPa for another.
const UnitPair& PairOf(std::string_view unit)
{
    for (const UnitPair& pair : kUnitPairs)
        if ((KilonewtonsPer(unit) && KilonewtonsPer(unit) == KilonewtonsPer(pair.Force)) ||
            (KilopascalsPer(unit) && KilopascalsPer(unit) == KilopascalsPer(pair.Pressure)))
            return pair;
    return kUnitPairs[0];
}

// Whether a test time gives seconds other than zero ("hh:mm:ss"); a time kept to the minute has
// none, or ":00" made up for them.
bool GivesSeconds(std::string_view time)
{
    const std::size_t first = time.find(':');
    const std::size_t second = first == std::string_view::npos ? first : time.find(':', first + 1);
    if (second == std::string_view::npos) return false;
    const std::optional<double> seconds = FiniteNumber(TrimBlanks(time.substr(second + 1)));
    return !seconds || *seconds != 0;
}

// "dd-mmm-yyyy" (as this program writes dates), "yyyy-mm-dd" or "dd.mm.yyyy"; nothing else is
// taken for a date: "03/04/2004" could be either month.
std::optional<Day> ReadDate(std::string_view text)
{
    text = TrimBlanks(text);
    int day = 0, month = 0, year = 0;
    const auto number = [](std::string_view digits, int& into) {
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), into);
        return error == std::errc() && end == digits.data() + digits.size() && !digits.empty();
    };
    bool read = false;
    if (text.size() == 11 && text[2] == '-' && text[6] == '-') {
        for (unsigned m = 1; m <= 12; ++m)
            if (EqualsIgnoreCase(text.substr(3, 3), MonthAbbreviation(m))) month = static_cast<int>(m);
        read = month > 0 && number(text.substr(0, 2), day) && number(text.substr(7), year);
    } else if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        read = number(text.substr(0, 4), year) && number(text.substr(5, 2), month) && number(text.substr(8), day);
    } else if (text.size() == 10 && text[2] == '.' && text[5] == '.') {
        read = number(text.substr(0, 2), day) && number(text.substr(3, 2), month) && number(text.substr(6), year);
    }
    const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day))};
    if (!read || year < 1900 || !date.ok()) return std::nullopt;
    return Day(date);
}

// A list value's items; none for an empty one.
std::vector<std::string_view> ListItems(std::string_view list)
{
    return TrimBlanks(list).empty() ? std::vector<std::string_view>() : Items(list);
}

std::string Text(double value) { return DoubleText(std::round(value * 100) / 100); }

class ValueRules {
public:
    ValueRules(const PDDXFile& document, const CheckLimits& limits, const RuleReport& report)
        : document_(document), limits_(limits), report_(report)
    {
        const std::string_view sensors = Value(configuration::NumberOfDeflectionSensors);
        const std::optional<double> count = FiniteNumber(sensors);
        // A count as counters are: a whole number from 0 to 2147483647 ("1e134" is none).
        if (count && *count >= 0 && *count <= std::numeric_limits<std::int32_t>::max() && std::floor(*count) == *count)
            sensors_ = static_cast<std::size_t>(*count);
    }

    void Dates()
    {
        const SectionAndKey dataDate = TrimBlanks(Value(pddx::OperationsInformation::StartDate)).empty()
                                           ? pddx::OperationsInformation::EndDate
                                           : pddx::OperationsInformation::StartDate;
        const std::optional<Day> data = DateOf(dataDate);
        static constexpr SectionAndKey kReference[] = {
            calibration::LoadCellCalibrationDate,       calibration::LoadCellDynamicCalibrationDate,
            calibration::LoadCellCalibrationCenterDate, calibration::SensorStaticCalibrationDate,
            calibration::SensorDynamicCalibrationDate,  calibration::SensorReferenceCalibrationDate,
            calibration::SensorCalibrationCenterDate};
        for (const SectionAndKey& key : kReference) Age(key, data, dataDate, "V101", limits_.ReferenceCalibrationDays);
        Age(calibration::SensorRelativeCalibrationDate, data, dataDate, "V102", limits_.RelativeCalibrationDays);
    }

    void Factors()
    {
        // A Dynatest device keeps its sensors' absolute gains (sensitivities, far from 1 by design)
        // as reference factors, and its relative gains, the factors the band is for, as centre
        // gains. Told by the document, so that a file and its conversion are judged alike.
        const bool dynatest =
            EqualsIgnoreCase(TrimBlanks(Value(pddx::DeviceInformation::DeviceDesignationName)), kDynatestDevice);
        for (const SectionAndKey& key :
             {dynatest ? calibration::SensorCalibrationCenterGain : calibration::SensorReferenceCalibrationFactor,
              calibration::SensorRelativeCalibrationFactor}) {
            const std::string what = key.Key == calibration::SensorCalibrationCenterGain.Key ? "'s relative gain "
                                                                                             : "'s factor ";
            const std::vector<std::string_view> factors = ListItems(Value(key));
            for (std::size_t k = 0; k < factors.size(); ++k) {
                const std::optional<double> factor = FiniteNumber(factors[k]);
                if (factor && (*factor < limits_.MinFactor || *factor > limits_.MaxFactor))
                    Report(key, "V111",
                           "sensor " + std::to_string(k + 1) + what + std::string(factors[k]) + " is outside " +
                               DoubleText(limits_.MinFactor) + " to " + DoubleText(limits_.MaxFactor));
            }
        }
        for (const SectionAndKey& key :
             {calibration::SensorStaticCalibrationFactor, calibration::SensorDynamicCalibrationFactor,
              calibration::SensorReferenceCalibrationFactor, calibration::SensorRelativeCalibrationFactor}) {
            const std::size_t factors = ListItems(Value(key)).size();
            if (factors > 0 && sensors_ && factors != *sensors_)
                Report(key, "V112", std::to_string(factors) + " factors for " + std::to_string(*sensors_) + " sensors",
                       {configuration::NumberOfDeflectionSensors});
        }
        for (const SectionAndKey& key :
             {calibration::LoadCellCalibrationFactor, calibration::LoadCellDynamicCalibrationFactor}) {
            const std::string_view factor = TrimBlanks(Value(key));
            if (!factor.empty() && !FiniteNumber(factor)) Report(key, "V113", Quoted(factor) + " is not a number");
        }
    }

    void SerialNumbers()
    {
        const SectionAndKey key = pddx::DeviceInformation::SensorSerialNumbers;
        const std::vector<std::string_view> serials = ListItems(Value(key));
        if (serials.empty()) {
            if (sensors_ && *sensors_ > 0)
                Report(key, "V121", "none given for the " + std::to_string(*sensors_) + " sensors");
            return;
        }
        if (sensors_ && serials.size() != *sensors_)
            Report(key, "V122", std::to_string(serials.size()) + " for " + std::to_string(*sensors_) + " sensors",
                   {configuration::NumberOfDeflectionSensors});
        std::set<std::string_view> seen;
        for (const std::string_view serial : serials)
            if (!serial.empty() && !seen.insert(serial).second) Report(key, "V123", Quoted(serial) + " is given twice");
    }

    void Offsets()
    {
        const SectionAndKey key = configuration::DeflectionSensorXAxisDistances;
        const std::vector<std::string_view> items = ListItems(Value(key));
        const std::optional<double> mm = MillimetresPer(Value(pddx::Units::SensorsLocationUnits));
        std::vector<double> offsets;
        for (const std::string_view item : items)
            if (const std::optional<double> offset = FiniteNumber(item)) offsets.push_back(*offset);
        if (offsets.size() != items.size()) return;  // said by the check of the list itself
        const std::vector<std::string_view> across = ListItems(Value(configuration::DeflectionSensorYAxisDistances));
        // Two sensors at one X offset are apart when their Y offsets differ.
        const auto apart = [&](std::size_t i, std::size_t j) {
            return i < across.size() && j < across.size() && across[i] != across[j];
        };
        for (std::size_t i = 0; i < offsets.size(); ++i)
            for (std::size_t j = i + 1; j < offsets.size(); ++j)
                if (offsets[i] == offsets[j] && !apart(i, j))
                    Report(key, "V124",
                           "sensors " + std::to_string(i + 1) + " and " + std::to_string(j + 1) + " are both at " +
                               Text(offsets[i]),
                           {configuration::DeflectionSensorYAxisDistances});
        const bool inLine = std::all_of(across.begin(), across.end(), [](std::string_view y) {
            const std::optional<double> value = FiniteNumber(y);
            return !value || *value == 0;
        });
        // Listed along the axis (a sensor behind the plate first) or by the distance from the plate.
        std::vector<double> distances;
        distances.reserve(offsets.size());
        for (const double offset : offsets) distances.push_back(std::abs(offset));
        if (inLine && !std::is_sorted(offsets.begin(), offsets.end()) &&
            !std::is_sorted(distances.begin(), distances.end()))
            Report(key, "V125", "the offsets do not grow from the plate outwards");
        if (!mm) return;
        for (std::size_t k = 0; k < offsets.size(); ++k)
            if (offsets[k] * *mm < -1000 || offsets[k] * *mm > 3000)
                Report(key, "V126",
                       "sensor " + std::to_string(k + 1) + " at " + Text(offsets[k]) + " is " + Text(offsets[k] * *mm) +
                           " mm from the plate",
                       {pddx::Units::SensorsLocationUnits});
    }

    void PlateRadius()
    {
        const SectionAndKey key = configuration::LoadPlateRadius;
        const std::optional<double> radius = FiniteNumber(Value(key));
        const std::optional<double> mm = MillimetresPer(Value(pddx::Units::LoadPlateRadiusUnits));
        if (!radius || !mm || TrimBlanks(Value(key)).empty()) return;
        const double millimetres = *radius * *mm;
        if (millimetres >= kMinPlateMm && millimetres <= kMaxPlateMm) return;
        std::string message = Text(*radius) + " is a radius of " + Text(millimetres) + " mm";
        if (millimetres > kMaxPlateMm)
            message += "; a plate " + Text(millimetres) + " mm across has a radius of " + Text(millimetres / 2) + " mm";
        Report(key, "V127", message, {pddx::Units::LoadPlateRadiusUnits});
    }

private:
    std::string_view Value(const SectionAndKey& key) const { return document_.Element(key).Value(); }
    void Report(const SectionAndKey& key, std::string_view code, std::string message,
                const RelatedElements& related = {}) const
    {
        report_(key.Section, key.Key, code, RuleOf(code).Level, std::move(message), related);
    }
    std::optional<Day> DateOf(const SectionAndKey& key) const
    {
        const std::string_view text = TrimBlanks(Value(key));
        if (text.empty()) return std::nullopt;
        const std::optional<Day> date = ReadDate(text);
        if (!date) Report(key, "V104", Quoted(text) + " is no date");
        return date;
    }
    void Age(const SectionAndKey& key, std::optional<Day> data, const SectionAndKey& dataKey, std::string_view code,
             double limit) const
    {
        const std::optional<Day> calibrated = DateOf(key);
        if (!calibrated || !data) return;
        const auto days = (*data - *calibrated).count();
        const std::string when = FormatDate(*calibrated);
        if (days < 0)
            Report(key, "V103", when + " is after the data's " + std::string(dataKey.Key) + ", " + FormatDate(*data),
                   {dataKey});
        else if (static_cast<double>(days) > limit)
            Report(key, code,
                   when + " is " + std::to_string(days) + " days before the data's " + std::string(dataKey.Key) + ", " +
                       FormatDate(*data) + " (limit " + DoubleText(limit) + " days)",
                   {dataKey});
    }

    const PDDXFile& document_;
    const CheckLimits& limits_;
    const RuleReport& report_;
    std::optional<std::size_t> sensors_;
};

}  // namespace

void OrderByValue(std::span<const double> values, std::vector<std::size_t>& order)
{
    struct Keyed {
        std::uint64_t Key;  // the value's bits, which order positive doubles as their values
        std::size_t Place;
    };
    std::vector<Keyed> keyed(values.size()), spare(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) keyed[i] = {std::bit_cast<std::uint64_t>(values[i]), i};
    const auto ordered = [&order, &keyed] {
        order.clear();
        for (const Keyed& k : keyed) order.push_back(k.Place);
    };
    // A few values are sorted by comparison. Hundreds (a location of a calibration's many drops)
    // by their bits a byte at a time, each pass keeping the order of the one before: comparing
    // took a sixth of check's time.
    if (values.size() <= 64) {
        std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
            return a.Key < b.Key || (a.Key == b.Key && a.Place < b.Place);
        });
        ordered();
        return;
    }
    for (int shift = 0; shift < 64; shift += 8) {
        std::array<std::size_t, 256> starts{};
        for (const Keyed& k : keyed) ++starts[(k.Key >> shift) & 0xFF];
        if (starts[(keyed.front().Key >> shift) & 0xFF] == keyed.size()) continue;  // one byte for all
        std::size_t at = 0;
        for (std::size_t& start : starts) at += std::exchange(start, at);
        for (const Keyed& k : keyed) spare[starts[(k.Key >> shift) & 0xFF]++] = k;
        keyed.swap(spare);
    }
    ordered();
}

void CheckCalibrationValues(const PDDXFile& document, const CheckLimits& limits, const RuleReport& report)
{
    ValueRules rules(document, limits, report);
    rules.Dates();
    rules.Factors();
    rules.SerialNumbers();
    rules.Offsets();
    rules.PlateRadius();
}

DropRules::DropRules(const PDDXFile& document, const CheckLimits& limits, RuleReport report)
    : limits_(limits), report_(std::move(report))
{
    toTheMinute_ = true;
    for (const PDDXSection& section : document.Sections())
        if (const PDDXElement* time = section.Elements().Find(pddx::TestLocation::TestTime);
            time && GivesSeconds(time->Value()))
            toTheMinute_ = false;
    // A pressure is a force on a plate of a plausible radius only (V127 tells of the others).
    const std::string_view unit = TrimBlanks(document.Element(pddx::Units::LoadUnits).Value());
    loadUnit_ = Utf8FromLatin1(unit);
    unitIsForce_ = KilonewtonsPer(unit).has_value();
    if (const std::optional<double> plate = PlateMillimetres(document);
        plate && *plate >= kMinPlateMm && *plate <= kMaxPlateMm)
        plateMm_ = plate;
    if (unitIsForce_ || plateMm_) knPerLoad_ = LoadScaleOf(document).KilonewtonsPerLoad;

    const std::optional<double> mm = MillimetresPer(document.Element(pddx::Units::SensorsLocationUnits).Value());
    for (const std::string_view item :
         ListItems(document.Element(configuration::DeflectionSensorXAxisDistances).Value())) {
        const std::optional<double> offset = FiniteNumber(item);
        offsets_.push_back(offset && mm ? std::optional(*offset * *mm) : std::nullopt);
    }
    // A basin from the plate outwards on each side of it: the sensors in front by their offsets,
    // those behind it too. Without offsets for every sensor, Basin takes the sensors as listed.
    if (!std::all_of(offsets_.begin(), offsets_.end(), [](const auto& o) { return o.has_value(); })) return;
    for (const double side : {1.0, -1.0}) {
        std::vector<std::size_t>& line = sides_.emplace_back();
        for (std::size_t k = 0; k < offsets_.size(); ++k)
            if (*offsets_[k] * side >= 0) line.push_back(k);
        std::stable_sort(line.begin(), line.end(),
                         [&](std::size_t a, std::size_t b) { return *offsets_[a] * side < *offsets_[b] * side; });
    }
}

void DropRules::Begin(std::string_view location)
{
    location_.assign(location);
    drops_.clear();
    handles_.clear();
    deflections_.clear();
}

void DropRules::Drop(std::string_view handle, std::span<const std::optional<double>> items)
{
    if (items.size() < 2) return;
    // Only a drop of numbers is judged; the others are findings of the drop itself.
    if (!std::all_of(items.begin(), items.end(), [](const std::optional<double>& item) { return item.has_value(); }))
        return;
    Load(handle, *items.front());
    const std::size_t at = deflections_.size();
    for (std::size_t k = 1; k < items.size(); ++k) deflections_.push_back(*items[k]);
    const std::span<const double> deflections(deflections_.data() + at, items.size() - 1);
    for (std::size_t k = 0; k < deflections.size(); ++k)
        if (deflections[k] <= 0) {
            Report(handle, "V131", "D" + std::to_string(k + 1) + " is " + DoubleText(deflections[k]));
            deflections_.resize(at);
            return;
        }
    Basin(handle, deflections);
    drops_.push_back({handles_.size(), handle.size(), *items.front(), at, deflections.size()});
    handles_.append(handle);
}

// Told once: a document's loads share their unit, so that one drop outside the range says it of all.
void DropRules::Load(std::string_view handle, double load)
{
    if (loadTold_ || !knPerLoad_) return;
    const auto within = [this](double kn) {
        return kn >= limits_.MinLoadKilonewtons && kn <= limits_.MaxLoadKilonewtons;
    };
    const double kn = load * *knPerLoad_;
    if (within(kn)) return;
    loadTold_ = true;
    std::string message = "load " + DoubleText(load) + " " + loadUnit_;
    if (!unitIsForce_) message += " on the plate, " + Text(*plateMm_) + " mm radius,";
    message += (*knPerLoad_ == 1 ? " is" : " is " + Text(kn) + " kN,") + std::string(" outside ") +
               DoubleText(limits_.MinLoadKilonewtons) + " to " + DoubleText(limits_.MaxLoadKilonewtons) +
               " kN, what an FWD applies (the document's first such drop)";
    // The other unit of its system a writer may have meant: a pressure on the plate for a force,
    // a force for a pressure.
    const UnitPair& pair = PairOf(loadUnit_);
    const std::string_view other = unitIsForce_ ? pair.Pressure : pair.Force;
    const std::string meant = "; the loads may be " + std::string(other) + " labelled as " + loadUnit_;
    const std::string asOther = ": " + DoubleText(load) + " " + std::string(other);
    if (const double asForce = load * *KilonewtonsPer(pair.Force); !unitIsForce_ && within(asForce)) {
        message += meant + (asForce == load ? "" : asOther + " is " + Text(asForce) + " kN");
    } else if (unitIsForce_) {
        const auto onPlate = [&](double plateMm) {
            return load * *KilopascalsPer(pair.Pressure) * std::numbers::pi * plateMm * plateMm / 1e6;
        };
        std::vector<double> plates(std::begin(kUsualPlatesMm), std::end(kUsualPlatesMm));
        if (plateMm_) plates = {*plateMm_};
        for (const double plate : plates)
            if (within(onPlate(plate))) {
                message +=
                    meant + asOther + " on a plate of " + Text(plate) + " mm radius is " + Text(onPlate(plate)) + " kN";
                break;
            }
    }
    Report(handle, "V136", message);
}

// Sensors from the plate outwards, where the offsets tell them, else as listed.
void DropRules::Basin(std::string_view handle, std::span<const double> deflections)
{
    const bool known = !sides_.empty() && offsets_.size() == deflections.size();
    const auto name = [&](std::size_t k) {
        const std::string sensor = "D" + std::to_string(k + 1);
        return known ? sensor + " (" + Text(*offsets_[k]) + " mm)" : sensor;
    };
    // A deflection at most this many times the one nearer the plate rises less than the limit by
    // far more than any rounding: the division that tells the rise is left out for it (nearly
    // every sensor of a drop). Deflections are positive here.
    const double within = (1 + limits_.BasinRisePercent / 100) * (1 - 1e-9);
    // Whether the `count` sensors sensor(0), sensor(1), ... outwards rise too much, which is told.
    const auto rises = [&](std::size_t count, const auto& sensor) {
        for (std::size_t i = 1; i < count; ++i) {
            const std::size_t nearer = sensor(i - 1), farther = sensor(i);
            if (deflections[farther] <= deflections[nearer] * within) continue;
            if (known && *offsets_[nearer] == *offsets_[farther]) continue;  // two sensors at one place
            const double rise = (deflections[farther] / deflections[nearer] - 1) * 100;
            if (rise > limits_.BasinRisePercent) {
                Report(handle, "V132",
                       name(farther) + " is " + Text(rise) + " % more than " + name(nearer) + ", nearer the plate");
                return true;
            }
        }
        return false;
    };
    if (!known) {
        rises(deflections.size(), [](std::size_t i) { return i; });
        return;
    }
    for (const std::vector<std::size_t>& line : sides_)
        if (rises(line.size(), [&line](std::size_t i) { return line[i]; })) return;
}

void DropRules::Report(std::string_view key, std::string_view code, std::string message, const RelatedElements& related,
                       std::optional<Severity> level)
{
    report_(location_, key, code, level ? *level : RuleOf(code).Level, std::move(message), related);
}

RelatedElements DropRules::Others(DropGroup group, const HeldDrop* except) const
{
    RelatedElements others;
    others.reserve(group.size());
    for (const HeldDrop* drop : group)
        if (drop != except) others.push_back({location_, HandleOf(*drop)});
    return others;
}

void DropRules::End(std::string_view testTime)
{
    Heights();
    const std::string time(TrimBlanks(testTime));
    if (time.empty()) return;
    const auto [first, added] = testTimes_.emplace(time, location_);
    if (added) return;
    const RelatedElements related = {{first->second, pddx::TestLocation::TestTime}};
    // Minutes alone, or ":00" made up for the seconds, do not tell two places apart.
    if (toTheMinute_)
        Report(pddx::TestLocation::TestTime, "V134",
               time + ", as [" + first->second +
                   "]; the document gives no seconds, so whether both were tested at once cannot be told",
               related, Severity::Note);
    else Report(pddx::TestLocation::TestTime, "V134", time + ", as [" + first->second + "]", related);
}

// Drops of one height give loads a few per cent apart, and heights lie further apart than that:
// sorted by load, a load more than kHeightGap above the one before starts the next height.
void DropRules::Heights()
{
    constexpr double kHeightGap = 1.10;
    // The drops by load, drops of one load in document order.
    loads_.clear();
    places_.clear();
    for (std::size_t i = 0; i < drops_.size(); ++i)
        if (drops_[i].Load > 0) {
            loads_.push_back(drops_[i].Load);
            places_.push_back(i);
        }
    OrderByValue(loads_, order_);
    std::vector<const HeldDrop*> sorted;
    sorted.reserve(order_.size());
    for (const std::size_t k : order_) sorted.push_back(&drops_[places_[k]]);
    // The median load of drops sorted by load, read off rather than sorted for again.
    const auto medianLoad = [](DropGroup drops) {
        const std::size_t n = drops.size();
        return n % 2 ? drops[n / 2]->Load : (drops[n / 2 - 1]->Load + drops[n / 2]->Load) / 2;
    };
    const double locationMedian = sorted.empty() ? 0 : medianLoad(sorted);
    for (std::size_t first = 0; first < sorted.size();) {
        std::size_t last = first + 1;
        while (last < sorted.size() && sorted[last]->Load <= sorted[last - 1]->Load * kHeightGap) ++last;
        const DropGroup height(sorted.data() + first, last - first);
        first = last;
        const double median = medianLoad(height);
        for (const HeldDrop* drop : height) {
            const double off = std::abs(drop->Load / median - 1) * 100;
            if (height.size() > 1 && off > limits_.LoadTolerancePercent)
                Report(HandleOf(*drop), "V133",
                       "load " + DoubleText(drop->Load) + " is " + Text(off) + " % from " + Text(median) +
                           ", the median of the " + std::to_string(height.size()) + " drops of its height",
                       Others(height, drop));
        }
        // A drop alone at a fraction of the others' load fell from no height of the sequence; one
        // alone at a height of its own may be the seating drop, or a sequence of single drops.
        if (height.size() == 1 && height.front()->Load < locationMedian / 2)
            Report(HandleOf(*height.front()), "V133",
                   "load " + DoubleText(height.front()->Load) + " is less than half the location's median load, " +
                       Text(locationMedian));
        if (height.size() >= 3) Repeatability(height, median);
    }
}

void DropRules::Repeatability(DropGroup group, double load)
{
    // Sums by sensor, drop after drop, so that each drop's deflections are read in one go.
    const std::size_t sensors = group.front()->DeflectionCount;
    sums_.assign(sensors, 0);
    squares_.assign(sensors, 0);
    counts_.assign(sensors, 0);
    for (const HeldDrop* drop : group)
        for (std::size_t k = 0; k < std::min(sensors, drop->DeflectionCount); ++k) {
            sums_[k] += Deflection(*drop, k);
            ++counts_[k];
        }
    for (std::size_t k = 0; k < sensors; ++k)
        if (counts_[k] > 0) sums_[k] /= static_cast<double>(counts_[k]);  // the means
    for (const HeldDrop* drop : group)
        for (std::size_t k = 0; k < std::min(sensors, drop->DeflectionCount); ++k)
            squares_[k] += (Deflection(*drop, k) - sums_[k]) * (Deflection(*drop, k) - sums_[k]);
    std::size_t worst = 0;
    double worstVariation = -1;
    for (std::size_t k = 0; k < sensors; ++k) {
        if (counts_[k] < 3) continue;
        const double variation = std::sqrt(squares_[k] / static_cast<double>(counts_[k] - 1)) / sums_[k] * 100;
        if (variation > worstVariation) {
            worstVariation = variation;
            worst = k;
        }
    }
    if (worstVariation > limits_.RepeatabilityPercent)
        Report(HandleOf(*group.front()), "V135",
               "D" + std::to_string(worst + 1) + " varies by " + Text(worstVariation) + " % over the " +
                   std::to_string(group.size()) + " drops near load " + Text(load),
               Others(group, group.front()));
}

}  // namespace vantrel
