#pragma once
// A GPS position as field crews and their programs write it, read as latitude and longitude in
// degrees: decimal degrees ("38.5432 -121.74695", "38.5432, -121.74695"), or with a hemisphere
// letter before or after each coordinate, in degrees, degrees and minutes, or degrees, minutes
// and seconds ("N38 32.592 W121 44.817", "38.5432N 121.74695W", "38°32'35.5\"N ..."). Degrees
// may be marked by a degree sign or d, deg or degrees, minutes by ' or a prime, seconds by " or a
// double prime (a prime reaches the reader as "?": it is no Latin-1 character); each mark parts
// the numbers as a blank does.

#include <string>
#include <string_view>

namespace vantrel {

struct GpsPosition {
    std::string Text;   // "latitude, longitude"; empty when the words are no position
    std::string Extra;  // the words after the position (an altitude), not taken
};

GpsPosition ReadGpsPosition(std::string_view text);

// Signed decimal degrees to 7 decimals (about a centimetre), trailing zeros dropped, "-0" as "0";
// a full stop as decimal separator whatever the locale.
std::string DegreesText(double degrees);

}  // namespace vantrel
