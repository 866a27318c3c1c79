#include "core/LocationMap.h"

#include <algorithm>
#include <cmath>

#include "base/Latin1.h"
#include "base/NumberText.h"
#include "base/TextEncoding.h"
#include "core/ExportFields.h"

namespace vantrel {
namespace {

struct Fix {
    double Latitude;
    double Longitude;
};

std::optional<Fix> FixOf(std::string_view gps)
{
    const std::vector<std::string_view> items = Items(gps);
    if (items.size() < 2) return std::nullopt;
    const std::optional<double> latitude = FiniteNumber(items[0]), longitude = FiniteNumber(items[1]);
    if (!latitude || !longitude || std::abs(*latitude) > 90 || std::abs(*longitude) > 180) return std::nullopt;
    if (*latitude == 0 && *longitude == 0) return std::nullopt;
    return Fix{*latitude, *longitude};
}

// GPSUnits empty, or degrees for both latitude and longitude.
bool InDegrees(const PDDXFile& document)
{
    const std::string units = ValueOf(document, pddx::Units::GPSUnits);
    const std::vector<std::string_view> items = Items(units);
    return TrimBlanks(units).empty() ||
           (items.size() >= 2 && EqualsIgnoreCase(items[0], "degree") && EqualsIgnoreCase(items[1], "degree"));
}

// A JSON string of UTF-8 text.
std::string JsonString(std::string_view utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// The largest of the numbers at `item` of the drops of a test location, as JSON.
std::string Peak(const PDDXSection& location, std::size_t item)
{
    std::optional<double> peak;
    ForEachNumbered(location, pddx::TestLocation::kDropDataPrefix, [&](int, std::string_view value) {
        const std::vector<std::string_view> items = Items(value);
        const std::optional<double> number = item < items.size() ? FiniteNumber(items[item]) : std::nullopt;
        if (number) peak = std::max(peak.value_or(*number), *number);
    });
    return peak ? DoubleText(*peak) : "null";
}

}  // namespace

std::string LocationMap::Add(const std::string& fileName, std::shared_ptr<const PDDXFile> document)
{
    const bool degrees = InDegrees(*document);
    std::size_t fixes = 0, locations = 0;
    ForEachLocation(*document, [&](int, const PDDXSection& section) {
        ++locations;
        fixes += degrees && FixOf(ValueOf(section, pddx::TestLocation::GPSLocation)) ? 1 : 0;
    });
    rows_ += fixes;
    files_.push_back({fileName, std::move(document)});
    if (!degrees)
        return "GPSUnits " + Quoted(ValueOf(*files_.back().Held, pddx::Units::GPSUnits)) +
               " are not degrees, so no test location is mapped";
    if (fixes == locations) return "";
    return std::to_string(locations - fixes) + " of " + std::to_string(locations) +
           " test locations have no GPS fix that parses and lies in range; they are left out";
}

void LocationMap::Write(std::ostream& out) const
{
    std::string text = "{\"type\":\"FeatureCollection\",\"features\":[";
    bool first = true;
    for (const Document& file : files_) {
        const PDDXFile& document = *file.Held;
        if (!InDegrees(document)) continue;
        const std::string units =
            ",\"load_units\":" + JsonString(Utf8FromLatin1(ValueOf(document, pddx::Units::LoadUnits))) +
            ",\"deflection_units\":" + JsonString(Utf8FromLatin1(ValueOf(document, pddx::Units::DeflectionUnits)));
        ForEachLocation(document, [&](int number, const PDDXSection& section) {
            const std::optional<Fix> fix = FixOf(ValueOf(section, pddx::TestLocation::GPSLocation));
            if (!fix) return;
            const std::string place = ValueOf(section, pddx::TestLocation::TestLocation);
            text += first ? "\n" : ",\n";
            first = false;
            text += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[" +
                    DoubleText(fix->Longitude) + "," + DoubleText(fix->Latitude) +
                    "]},\"properties\":{\"file\":" + JsonString(ValidUtf8(file.Name)) +
                    ",\"location\":" + std::to_string(number) + ",\"station\":" +
                    JsonString(Utf8FromLatin1(TrimBlanks(std::string_view(place).substr(0, place.find(','))))) +
                    ",\"peak_load\":" + Peak(section, 0) + ",\"peak_D1\":" + Peak(section, 1) + units + "}}";
            WriteRows(out, text);
        });
    }
    text += "\n]}\n";
    WriteRows(out, text, true);
}

}  // namespace vantrel
