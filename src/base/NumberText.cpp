#include "base/NumberText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>

#include <fast_float/fast_float.h>

#include "base/Latin1.h"

namespace vantrel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether a number that read as zero had a digit other than 0 before its exponent: then it is
// too small for a double rather than zero.
bool LostToZero(std::string_view number)
{
    for (const char c : number) {
        if (c == 'e' || c == 'E') return false;
        if (c >= '1' && c <= '9') return true;
    }
    return false;
}

// The number at the start of `text` ([+-]digits[separator digits][e[+-]digits]) and how many
// characters it takes: 0 when none starts there. fast_float reads it; the plus sign and the
// refusal of "inf" and "nan" are ours, as this version of it has no option for either.
struct Prefix {
    double value = 0;
    std::size_t length = 0;
    std::string_view number;  // as read, without a plus sign
    bool outOfRange = false;
};
Prefix ReadPrefix(std::string_view text, char decimalSeparator)
{
    const bool plus = !text.empty() && text.front() == '+';
    const std::size_t digit = plus || (!text.empty() && text.front() == '-') ? 1 : 0;
    if (digit >= text.size() || !(IsDigit(text[digit]) || text[digit] == decimalSeparator)) return {};
    const char* first = text.data() + (plus ? 1 : 0);
    Prefix prefix;
    const auto [end, error] =
        fast_float::from_chars_advanced(first, text.data() + text.size(), prefix.value,
                                        fast_float::parse_options(fast_float::chars_format::general, decimalSeparator));
    if (error != std::errc() && error != std::errc::result_out_of_range) return {};
    prefix.length = static_cast<std::size_t>(end - text.data());
    prefix.number = std::string_view(first, static_cast<std::size_t>(end - first));
    // Newer versions of fast_float say when a number is out of range; this one gives infinity or 0.
    prefix.outOfRange = error == std::errc::result_out_of_range || std::isinf(prefix.value) ||
                        (prefix.value == 0 && LostToZero(prefix.number));
    return prefix;
}

// A plain decimal of the whole text, as PlainDecimalAt reads it; nullopt for anything else.
std::optional<double> PlainDecimal(std::string_view text, char decimalSeparator)
{
    const std::optional<PlainNumber> plain = PlainDecimalAt(text, decimalSeparator);
    if (!plain || plain->Length != text.size()) return std::nullopt;
    return plain->Value;
}

double ValueOf(const Prefix& prefix)
{
    if (prefix.outOfRange) throw OverflowError(Quoted(prefix.number) + " is too large a number");
    return prefix.value;
}

enum class Form { Suited, Plain };

// A number of `mantissa` digits (no trailing zeros) times ten to `exponent` (that of the first
// digit): in exponent form outside the range a plain number of `maxDigits` suits, unless only the
// plain form will do.
std::string WrittenNumber(bool negative, std::string_view mantissa, int exponent, int maxDigits, Form form)
{
    std::string out = negative ? "-" : "";
    if (form == Form::Suited && (exponent >= maxDigits || exponent < -4)) {
        out += mantissa.front();
        if (mantissa.size() > 1) out.append(".").append(mantissa.substr(1));
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return out + exp;
    }
    if (exponent < 0) return out.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(mantissa);
    const std::size_t wholeDigits = static_cast<std::size_t>(exponent) + 1;
    if (mantissa.size() <= wholeDigits) return out.append(mantissa).append(wholeDigits - mantissa.size(), '0');
    return out.append(mantissa.substr(0, wholeDigits)).append(".").append(mantissa.substr(wholeDigits));
}

// Text of std::to_chars in scientific form, [-]d[.ddd]e[+-]xx, written by WrittenNumber.
std::string WrittenScientific(std::string_view text, int maxDigits, Form form)
{
    const bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    const std::size_t e = text.find('e');
    char mantissa[32];
    std::size_t length = 0;
    for (const char c : text.substr(0, e))
        if (c != '.') mantissa[length++] = c;
    while (length > 1 && mantissa[length - 1] == '0') --length;
    int exponent = 0;
    const std::string_view power = text.substr(e + (text[e + 1] == '+' ? 2 : 1));
    std::from_chars(power.data(), power.data() + power.size(), exponent);
    return WrittenNumber(negative, std::string_view(mantissa, length), exponent, maxDigits, form);
}

// Shortest decimal form of at most `maxDigits` significant digits that reads back as the same
// value at the given precision.
template <typename Real>
std::string ShortestText(Real value, int maxDigits, Form form = Form::Suited)
{
    if (!std::isfinite(value)) throw OverflowError("the number is beyond the range of a number");
    if (value == 0) return "0";
    // The shortest text that reads back as the same value; when even that needs more digits than
    // allowed, no shorter one does either, so round to the allowed number of digits.
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = text.find('e');
    const std::size_t digits = e - (text.front() == '-') - (text.find('.') < e);
    if (digits > static_cast<std::size_t>(maxDigits)) {
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, maxDigits - 1);
        text = std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
    }
    return WrittenScientific(text, maxDigits, form);
}

template <typename Int>
Int RoundTo(double value, const char* typeName)
{
    const double rounded = std::nearbyint(value);  // the default rounding mode sends halves to even
    if (!(rounded >= std::numeric_limits<Int>::min() && rounded <= std::numeric_limits<Int>::max()))
        throw OverflowError(ShortestText(value, 15) + " does not fit a " + typeName + " whole number");
    return static_cast<Int>(rounded);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text, char decimalSeparator)
{
    // Nearly every number comes without blanks around it, and a plain decimal has none within.
    if (const std::optional<double> plain = PlainDecimal(text, decimalSeparator)) return plain;
    text = TrimBlanks(text);
    if (const std::optional<double> plain = PlainDecimal(text, decimalSeparator)) return plain;
    const Prefix prefix = ReadPrefix(text, decimalSeparator);
    if (prefix.length == 0 || prefix.length != text.size()) return std::nullopt;
    return ValueOf(prefix);
}

std::optional<double> GeneralFiniteNumber(std::string_view text)
{
    try {
        return ParseNumber(text);
    } catch (const OverflowError&) {
        return std::nullopt;
    }
}

double ToNumber(std::string_view text)
{
    if (auto value = ParseNumber(text)) return *value;
    throw ConversionError(Quoted(text) + " is not a number");
}

double LeadingNumber(std::string_view text)
{
    std::string compact;
    compact.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') compact += c;
    return ValueOf(ReadPrefix(compact, '.'));
}

std::int16_t RoundToInt16(double value) { return RoundTo<std::int16_t>(value, "16-bit"); }
std::int32_t RoundToInt32(double value) { return RoundTo<std::int32_t>(value, "32-bit"); }
std::int16_t ToInt16(std::string_view text) { return RoundToInt16(ToNumber(text)); }
std::int32_t ToInt32(std::string_view text) { return RoundToInt32(ToNumber(text)); }

std::int32_t CheckCount(long long value, std::string_view what)
{
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw OverflowError(std::string(what) + " " + std::to_string(value) + " does not fit a 32-bit whole number");
    return static_cast<std::int32_t>(value);
}

std::int32_t CounterValue(std::string_view text) { return ToInt32("0" + std::string(TrimBlanks(text))); }

float ToSingle(std::string_view text)
{
    const double value = ToNumber(text);
    if (std::fabs(value) > std::numeric_limits<float>::max())
        throw OverflowError(Quoted(text) + " is too large for a single-precision number");
    return static_cast<float>(value);
}

std::string SingleText(float value) { return ShortestText(value, 7); }
std::string SingleText(std::string_view text) { return SingleText(ToSingle(text)); }
std::string DoubleText(double value) { return ShortestText(value, 15); }
std::string PlainDecimalText(double value) { return ShortestText(value, 15, Form::Plain); }

namespace {

// The powers of ten that a double holds exactly.
constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// `value` (normal, not zero) rounded to `digits` significant digits (at most 9) by scaling it with
// an exact power of ten: the digits as a whole number and the power of ten of the first. The
// scaled value is off the exact product by less than its last bit, so its rounding is the exact
// one unless it lies that near a half; nullopt then, and where no exact power of ten will do.
struct RoundedDigits {
    std::uint64_t Digits;
    int Exponent;
};

std::optional<RoundedDigits> ScaledDigits(double magnitude, int digits)
{
    // The nearest doubles to 10^-22 ... 10^22, only to guess the power of ten of the first digit:
    // a guess that is one off is mended below.
    static constexpr double kNearPowers[] = {
        1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9, 1e-8,
        1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6,  1e7,
        1e8,   1e9,   1e10,  1e11,  1e12,  1e13,  1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21, 1e22};
    constexpr int kLargest = 22;
    // The value lies in [2^binary, 2^(binary + 1)) (a normal double, as every caller's is), so the
    // power of ten of its first digit is floor(binary log10 2) or one more: the comparison picks
    // it without a branch that a table of mixed numbers would mispredict.
    const int binary = static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7FF) - 1023;
    int exponent = (binary * 78913) >> 18;  // floor(binary log10 2), exact for |binary| < 1700
    if (exponent + 1 >= -kLargest && exponent + 1 <= kLargest)
        exponent += magnitude >= kNearPowers[exponent + 1 + kLargest] ? 1 : 0;
    const double lowest = kPowers[digits - 1], beyond = kPowers[digits];
    for (int tries = 0; tries < 3; ++tries) {
        const int scale = digits - 1 - exponent;
        if (scale > kLargest || scale < -kLargest) return std::nullopt;
        const double scaled = scale >= 0 ? magnitude * kPowers[scale] : magnitude / kPowers[-scale];
        if (scaled >= beyond) {
            ++exponent;
            continue;
        }
        if (scaled < lowest) {
            --exponent;
            continue;
        }
        // Positive and below 1e9: the cast is the floor.
        const double whole = static_cast<double>(static_cast<std::uint64_t>(scaled));
        const double fraction = scaled - whole;
        if (std::abs(fraction - 0.5) <= beyond * 0x1p-50) return std::nullopt;  // too near a half to tell
        auto rounded = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
        if (static_cast<double>(rounded) >= beyond) {  // 9.999996 to 10.0000
            rounded /= 10;
            ++exponent;
        }
        return RoundedDigits{rounded, exponent};
    }
    return std::nullopt;
}

// Writes the `count` digits of `n` (below 10^count, count at most 10) at `to`, leading zeros
// included, two at a time.
void WriteDigits(char* to, std::uint32_t n, int count)
{
    static constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                     "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                     "8081828384858687888990919293949596979899";
    for (int at = count; at >= 2; at -= 2) {
        std::copy_n(kPairs + static_cast<std::size_t>(2 * (n % 100)), 2, to + at - 2);
        n /= 100;
    }
    if (count % 2 == 1) to[0] = static_cast<char>('0' + n);
}

// `digits` (at most 9) significant digits of `value` written at `to` as WrittenNumber writes a
// plain decimal; the end, or nullptr where ScaledDigits cannot tell them. A power of ten of at
// most 22 reached the digits, so the text has at most 33 characters. The digits are split as
// numbers and each part written where it goes: digits written to a buffer and copied on in words
// would be read back before their stores are done, which stalls the processor.
char* WriteScaledDigits(char* to, double value, int digits)
{
    static constexpr std::uint32_t kWholePowers[] = {1,      10,      100,      1000,      10000,
                                                     100000, 1000000, 10000000, 100000000, 1000000000};
    const std::optional<RoundedDigits> rounded = ScaledDigits(std::abs(value), digits);
    if (!rounded) return nullptr;
    auto n = static_cast<std::uint32_t>(rounded->Digits);
    int length = digits;  // of n, its trailing zeros left out
    while (length > 1 && n % 10 == 0) {
        n /= 10;
        --length;
    }
    char* at = to;
    if (value < 0) *at++ = '-';
    const int exponent = rounded->Exponent;
    if (exponent < 0) {
        *at++ = '0';
        *at++ = '.';
        at = std::fill_n(at, -exponent - 1, '0');
        WriteDigits(at, n, length);
        return at + length;
    }
    // The whole part, then the point and the fraction where there is one.
    const int whole = exponent + 1;
    if (length <= whole) {
        WriteDigits(at, n, length);
        return std::fill_n(at + length, whole - length, '0');
    }
    const std::uint32_t scale = kWholePowers[length - whole];
    WriteDigits(at, n / scale, whole);
    at[whole] = '.';
    WriteDigits(at + whole + 1, n % scale, length - whole);
    return at + length + 1;
}

}  // namespace

char* WriteRoundedPlainText(char* to, double value, int digits)
{
    // Rounded to at most 15 digits, a normal double reads back as those digits and no others, so
    // they are the shortest text of the rounded value: written as they come.
    const double magnitude = std::abs(value);
    if (magnitude < 1e-300 || magnitude > 1e300 || digits > 9) return nullptr;
    // A whole number of at most `digits` digits (a difference of whole deflections) is itself.
    // (Below 1e9 the cast is exact for a whole number and the floor of any other.)
    if (magnitude < kPowers[digits] && static_cast<double>(static_cast<std::int64_t>(magnitude)) == magnitude)
        return std::to_chars(to, to + kRoundedRoom, static_cast<std::int64_t>(value)).ptr;
    return WriteScaledDigits(to, value, digits);
}

void AppendRoundedPlainText(std::string& out, double value, int digits)
{
    char text[kRoundedRoom];
    if (const char* const end = WriteRoundedPlainText(text, value, digits)) {
        out.append(text, static_cast<std::size_t>(end - text));
        return;
    }
    // Near the ends of the range (subnormals, a rounding up past the largest double), zero,
    // infinity and NaN, the rounded text is read back and written as PlainDecimalText writes it.
    const double magnitude = std::abs(value);
    if (magnitude < 1e-300 || magnitude > 1e300 || digits > 15) {
        char rounded[512];
        std::snprintf(rounded, sizeof rounded, "%.*g", digits, value);
        out += PlainDecimalText(std::strtod(rounded, nullptr));
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits - 1);
    out += WrittenScientific(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)), 15, Form::Plain);
}

std::string RoundedPlainText(double value, int digits)
{
    std::string text;
    AppendRoundedPlainText(text, value, digits);
    return text;
}

std::chrono::sys_days DateFromParts(int year, int month, int day)
{
    using namespace std::chrono;
    if (year >= 0 && year <= 29) year += 2000;
    else if (year >= 30 && year <= 99) year += 1900;
    const year_month first = std::chrono::year{year} / January + months{month - 1};
    const sys_days date = sys_days{first / 1} + days{day - 1};
    const int resultYear = static_cast<int>(year_month_day{date}.year());
    if (resultYear < 100 || resultYear > 9999)
        throw ConversionError("year " + std::to_string(year) + ", month " + std::to_string(month) + ", day " +
                              std::to_string(day) + " is not a valid date");
    return date;
}

std::string MonthAbbreviation(unsigned month)
{
    static constexpr std::array<const char*, 12> names = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12) throw ConversionError("month " + std::to_string(month) + " does not exist");
    return names[month - 1];
}

std::string FormatDate(std::chrono::sys_days date)
{
    const std::chrono::year_month_day ymd{date};
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02u-%s-%04d", static_cast<unsigned>(ymd.day()),
                  MonthAbbreviation(static_cast<unsigned>(ymd.month())).c_str(), static_cast<int>(ymd.year()));
    return buffer;
}

std::string FormatTime(int hours, int minutes, int seconds)
{
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
        throw ConversionError(std::to_string(hours) + ":" + std::to_string(minutes) + ":" + std::to_string(seconds) +
                              " is not a valid time of day");
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", hours, minutes, seconds);
    return buffer;
}

std::string TimeOfDayText(std::string_view text)
{
    std::array<int, 3> parts{0, 0, 0};
    std::size_t count = 0;
    std::string_view rest = text;
    while (true) {
        const auto colon = rest.find(':');
        const std::string_view part = TrimBlanks(rest.substr(0, colon));
        std::size_t used = 0;
        while (used < part.size() && IsDigit(part[used])) ++used;
        if (count == parts.size() || part.empty() || used != part.size() || part.size() > 4)
            throw ConversionError(Quoted(text) + " is not a time of day");
        parts[count++] = std::atoi(std::string(part).c_str());
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    if (count < 2) throw ConversionError(Quoted(text) + " is not a time of day");
    return FormatTime(parts[0], parts[1], parts[2]);
}

}  // namespace vantrel
