#pragma once
// Number, date and time conversions shared by the document and every reader. Each rule has one
// implementation here, so that a value converts the same way whatever file it came from.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantrel {

// A text that is not the number, date or time it should be.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A number that does not fit where it must go (a 16-bit counter, a single-precision value).
class OverflowError : public ConversionError {
public:
    using ConversionError::ConversionError;
};

// The whole text as a decimal number: blanks around it allowed, an optional sign (plus or minus),
// digits with an optional fraction and exponent; a point as the decimal separator, or a comma
// where the caller knows the text uses one. Nothing else is a number: no "inf", "nan" or hex.
// Every number the program reads goes through here. A number beyond the range of a double
// throws OverflowError.
std::optional<double> ParseNumber(std::string_view text, char decimalSeparator = '.');
double ToNumber(std::string_view text);  // as ParseNumber; throws ConversionError when it is not

// A plain decimal of at most 15 digits ("49.3", "-912", "+.5"), nearly every number of a file, at
// the start of `text`: read up to the first character that cannot continue it, as ParseNumber
// reads those characters, with how many it took. nullopt where no such number starts, or one of
// more digits (which ParseNumber reads the general way).
struct PlainNumber {
    double Value;
    std::size_t Length;
};
// Always inline: nearly every number of a file goes through here, most in loops over a drop's
// items, and an optional returned from a call is written in parts and read back.
[[gnu::always_inline]] inline std::optional<PlainNumber> PlainDecimalAt(std::string_view text,
                                                                        char decimalSeparator = '.')
{
    // Its digits as a whole number divided by a power of ten, both exact, give the correctly
    // rounded value, the one the general reading gives, at a fraction of its cost.
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* at = text.data();
    const char* const end = at + text.size();
    const bool negative = at != end && *at == '-';
    if (at != end && (negative || *at == '+')) ++at;
    // A digit string past 15 digits wraps around, but is refused below all the same.
    std::uint64_t digits = 0;
    const auto readDigits = [&] {
        const char* const first = at;
        for (; at != end && *at >= '0' && *at <= '9'; ++at)
            digits = digits * 10 + static_cast<std::uint64_t>(*at - '0');
        return at - first;
    };
    const std::ptrdiff_t whole = readDigits();
    std::ptrdiff_t decimals = 0;
    if (at != end && *at == decimalSeparator) {
        ++at;
        decimals = readDigits();
    }
    if (whole + decimals == 0 || whole + decimals > 15) return std::nullopt;
    // A whole number, as most deflections are, needs no division.
    const double value = decimals == 0 ? static_cast<double>(digits) : static_cast<double>(digits) / kPowers[decimals];
    return PlainNumber{negative ? -value : value, static_cast<std::size_t>(at - text.data())};
}

// As ParseNumber, with a number too large for a double taken as none: for what is computed from
// values (checks, indices), where such a value cannot take part.
std::optional<double> GeneralFiniteNumber(std::string_view text);
// Inline, a plain decimal read at once: export reads millions of items one at a time. (Always
// inline: an optional returned from a call is written in two parts and read back as one, which
// stalls the processor on every number.)
[[gnu::always_inline]] inline std::optional<double> FiniteNumber(std::string_view text)
{
    if (const std::optional<PlainNumber> plain = PlainDecimalAt(text); plain && plain->Length == text.size())
        return plain->Value;
    return GeneralFiniteNumber(text);
}

// The number at the start of a text: blanks, tabs and line feeds anywhere are ignored, reading
// stops at the first character that cannot continue the number; no number at all gives 0.
double LeadingNumber(std::string_view text);

// Nearest whole number, halves to the even one; OverflowError outside the type's range.
std::int16_t RoundToInt16(double value);
std::int32_t RoundToInt32(double value);
std::int16_t ToInt16(std::string_view text);
std::int32_t ToInt32(std::string_view text);

// Checks that a count or a number in a name (test locations, drops, samples, sensors) fits
// 32 bits; `what` names it in the error.
std::int32_t CheckCount(long long value, std::string_view what);

// A counter kept in an element: "0" followed by the trimmed text, so that empty counts as 0.
std::int32_t CounterValue(std::string_view text);

// Single precision: the text read as a number and held as a 32-bit float (OverflowError beyond
// its range), written back in the shortest form of at most 7 significant digits.
float ToSingle(std::string_view text);
std::string SingleText(float value);
std::string SingleText(std::string_view text);

// A double written in the shortest form of at most 15 significant digits.
std::string DoubleText(double value);
// The same digits always written as a plain decimal number, never in exponent form (1E-05 is
// 0.00001, 1E+15 is 1000000000000000).
std::string PlainDecimalText(double value);
// `value` rounded to `digits` significant digits (1 to 17) as printf's "%.*g" rounds, then written
// as PlainDecimalText writes the value that text reads as.
std::string RoundedPlainText(double value, int digits);
// The same appended to `out`, building no string of its own where it can (a table's numbers).
void AppendRoundedPlainText(std::string& out, double value, int digits);
// The same written at `to`, which has room for kRoundedRoom characters, for at most 9 digits of a
// value neither tiny nor huge (1e-300 to 1e300), as nearly every computed number is: the end of
// the text, or nullptr where AppendRoundedPlainText must write it.
constexpr std::size_t kRoundedRoom = 40;
char* WriteRoundedPlainText(char* to, double value, int digits);

// The calendar date of year, month and day: years 0 to 29 mean 2000 to 2029 and 30 to 99 mean
// 1930 to 1999; months and days beyond their range carry into the next month or year (and below
// it, back into the previous one). ConversionError outside the years 100 to 9999.
std::chrono::sys_days DateFromParts(int year, int month, int day);

// "dd-mmm-yyyy" with English month abbreviations, e.g. 07-Apr-2004.
std::string FormatDate(std::chrono::sys_days date);
std::string MonthAbbreviation(unsigned month);  // 1 = "Jan" ... 12 = "Dec"

// "hh:nn:ss"; ConversionError unless hours 0-23, minutes and seconds 0-59.
std::string FormatTime(int hours, int minutes, int seconds);

// A time of day written "h:m" or "h:m:s", blanks allowed around each part, as hh:nn:ss.
std::string TimeOfDayText(std::string_view text);

}  // namespace vantrel
