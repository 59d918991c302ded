// Number text: the Italian rules (thousands ".", decimals ",", the six format
// patterns, half-away-from-zero rounding) written by hand on top of
// std::from_chars / std::to_chars, which do the exact conversions. No locale,
// no setting, no state. Apart from the returned std::string nothing is
// allocated: work is done in stack buffers.
#include "numtext/numtext.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>
#include <type_traits>

namespace rotamet {

namespace {

[[noreturn]] void typeMismatch() { throw RunTimeError(errcode::TypeMismatch); }
[[noreturn]] void overflow() { throw RunTimeError(errcode::Overflow); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// ---------------------------------------------------------------- reading

// A number text in the form std::from_chars reads: "[-]digits[.digits]" at
// [sign, digitsEnd), then "e[-]digits" up to last when there is an exponent.
struct CText {
    char *sign;  // the "-" or the first digit
    char *digitsEnd;
    char *last;
    long long exponent;  // as written (saturated), before clamping
};

// A text up to this long is handed over as it stands.
constexpr std::ptrdiff_t maxCopied = 800;
// Past this many significant digits only "is any later digit non-zero" can
// change the nearest double: a midpoint between two doubles has at most 767
// significant digits. Longer texts keep that many digits and fold the rest
// into one sticky "1", so a text of any length is read in linear time.
constexpr int maxKept = 800;
// With at most ~800 digits around the point, any exponent beyond this is out
// of range either way, so clamping it keeps overflow and underflow intact.
constexpr long long exponentClamp = 99999;
constexpr std::size_t ctextSize = 1 + std::max<std::size_t>(maxCopied, maxKept + 1) + 8;

// The grammar of a number text. Hands every mantissa digit, and "." for the
// decimal ",", to put, in order; returns the exponent. Throws type mismatch.
template <typename Put>
long long scanNumber(const char *p, const char *end, Put put)
{
    int digits = 0;
    // Integer part: a "." is a thousands separator only between two digits.
    for (; p != end; ++p) {
        if (isDigit(*p)) {
            put(*p);
            ++digits;
        } else if (!(*p == '.' && digits > 0 && p + 1 != end && isDigit(p[1]))) {
            break;
        }
    }
    if (p != end && *p == ',') {
        put('.');
        for (++p; p != end && isDigit(*p); ++p) {
            put(*p);
            ++digits;
        }
    }
    if (digits == 0)
        typeMismatch();

    long long exponent = 0;
    if (p != end && (*p == 'E' || *p == 'e')) {
        ++p;
        bool negative = false;
        if (p != end && (*p == '+' || *p == '-'))
            negative = *p++ == '-';
        if (p == end || !isDigit(*p))
            typeMismatch();
        for (; p != end && isDigit(*p); ++p) {
            if (exponent < 1'000'000'000'000LL)
                exponent = exponent * 10 + (*p - '0');
        }
        if (negative)
            exponent = -exponent;
    }
    if (p != end)
        typeMismatch();
    return exponent;
}

// Writes the number text into buf (ctextSize chars) for std::from_chars.
CText toCText(std::string_view in, char *buf)
{
    const char *p = in.data();
    const char *end = p + in.size();
    while (p != end && isBlank(*p))
        ++p;
    while (end != p && isBlank(end[-1]))
        --end;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';

    CText t;
    char *const first = buf + 1;  // buf[0] is for the "-"
    char *w = first;
    if (end - p <= maxCopied) {
        t.exponent = scanNumber(p, end, [&](char c) { *w++ = c; });
    } else {
        // Significant digits only: value = digits * 10^shift.
        int kept = 0;
        long long shift = 0;
        bool fraction = false;
        bool sticky = false;
        t.exponent = scanNumber(p, end, [&](char c) {
            if (c == '.') {
                fraction = true;
            } else if (kept < maxKept) {
                if (kept > 0 || c != '0') {
                    *w++ = c;
                    ++kept;
                }
                shift -= fraction;  // a leading zero or a kept decimal
            } else {
                sticky |= c != '0';
                shift += !fraction;  // an integer digit dropped
            }
        });
        if (sticky) {
            *w++ = '1';
            --shift;
        }
        if (w == first)
            *w++ = '0';
        t.exponent += shift;
    }

    t.sign = first;
    if (negative)
        *--t.sign = '-';
    t.digitsEnd = w;
    if (t.exponent != 0) {
        *w++ = 'e';
        w = std::to_chars(w, buf + ctextSize, std::clamp(t.exponent, -exponentClamp, exponentClamp)).ptr;
    }
    t.last = w;
    return t;
}

// Whether an out-of-range text is too large (rather than too small): the
// first non-zero digit stands before the point once the exponent is applied.
bool isTooLarge(const CText &t)
{
    long long position = 0;
    long long point = -1;
    long long firstNonZero = -1;
    for (const char *c = t.sign; c != t.digitsEnd; ++c) {
        if (*c == '.') {
            point = position;
        } else if (*c != '-') {
            if (firstNonZero < 0 && *c != '0')
                firstNonZero = position;
            ++position;
        }
    }
    if (point < 0)
        point = position;
    return firstNonZero >= 0 && point - firstNonZero + t.exponent > 0;
}

template <typename Real>
Real parseReal(std::string_view text)
{
    char buf[ctextSize];
    const CText t = toCText(text, buf);
    Real value{};
    const auto result = std::from_chars(t.sign, t.last, value);
    if (result.ec == std::errc::result_out_of_range) {
        if (isTooLarge(t))
            overflow();
        return *t.sign == '-' ? -Real(0) : Real(0);  // below the smallest subnormal
    }
    return value;
}

// Nearest integer, a tie going to the even neighbour.
double roundHalfEven(double v)
{
    double r = std::floor(v);
    const double fraction = v - r;  // exact
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(r, 2.0) != 0))
        r += 1;
    return r;
}

template <typename Int>
Int parseInteger(std::string_view text)
{
    const double r = roundHalfEven(parseReal<double>(text));
    if (r < std::numeric_limits<Int>::min() || r > std::numeric_limits<Int>::max())
        overflow();
    return static_cast<Int>(r);
}

// ---------------------------------------------------------------- writing

template <typename Int>
std::string integerText(Int value)
{
    char buf[16];
    const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
    return std::string(buf, end);
}

// %G-style text at the given number of significant digits, in the Italian
// form: "," for ".", "E" for "e". Zero of either sign is "0".
template <typename Real>
std::string realText(Real value, int precision)
{
    if (!std::isfinite(value))
        overflow();
    if (value == 0)
        return "0";
    // The four largest Doubles of each sign round at 15 digits to
    // 1,79769313486232E+308, past the largest Double, a text that would not
    // read back: they are written as the largest 15-digit text that does.
    if constexpr (std::is_same_v<Real, double>) {
        constexpr double largestText = 1.79769313486231e308;
        if (std::fabs(value) > largestText)
            value = std::copysign(largestText, value);
    }
    char buf[32];
    auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision).ptr;
    // A text "1E+28" stands for a power of ten; where the nearest value to it
    // lies below it by more than half a unit of the decade below (the Singles
    // just above 1E+28 and 1E-38), that value writes "9,999999E+27". Such a
    // text is written as the text of the value it reads back to, so that
    // writing what was read gives the same text again.
    const char *digits = buf + (value < 0);
    if (digits[0] == '1' && (digits + 1 == end || digits[1] == 'e')) {
        Real back{};
        std::from_chars(buf, end, back);
        end = std::to_chars(buf, buf + sizeof buf, back, std::chars_format::general, precision).ptr;
    }
    for (char *c = buf; c != end; ++c) {
        if (*c == '.')
            *c = ',';
        else if (*c == 'e')
            *c = 'E';
    }
    return std::string(buf, end);
}

// A format pattern: [prefix] integer places [. decimal places] [suffix].
// "#" and "0" are digit places; the number part is the run of "#0.,"
// characters, everything before it is prefix and everything after is suffix.
struct Pattern {
    std::string_view prefix;
    std::string_view suffix;
    int minIntegerDigits = 0;  // "0" places before the point
    bool grouping = false;     // "," between integer digit places
    int decimals = 0;          // digit places after the point
    int optionalDecimals = 0;  // trailing "#" places after the last "0" place
};

bool isNumberChar(char c) { return c == '#' || c == '0' || c == '.' || c == ','; }

Pattern parsePattern(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && !isNumberChar(text[i]))
        ++i;
    const std::size_t numberFirst = i;
    bool inDecimals = false;
    bool commaPending = false;  // a "," seen after an integer digit place
    bool grouping = false;
    int integerPlaces = 0;
    int zeroPlaces = 0;
    int decimals = 0;
    int optional = 0;
    for (; i < text.size() && isNumberChar(text[i]); ++i) {
        const char c = text[i];
        if (c == '.') {
            inDecimals = true;  // a second "." counts for nothing
        } else if (c == ',') {
            commaPending = !inDecimals && integerPlaces > 0;
        } else if (inDecimals) {
            ++decimals;
            optional = c == '#' ? optional + 1 : 0;
        } else {
            ++integerPlaces;
            zeroPlaces += c == '0';
            grouping = grouping || commaPending;
            commaPending = false;
        }
    }
    return {text.substr(0, numberFirst), text.substr(i), zeroPlaces, grouping, decimals, optional};
}

// A finite double as mantissa * 2^exponent, the mantissa an integer below 2^53.
struct Binary {
    std::uint64_t mantissa;
    int exponent;
};

Binary binary(double v)
{
    const auto bits = std::bit_cast<std::uint64_t>(v);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    if (biased == 0)
        return {fraction, -1074};  // zero or subnormal
    return {fraction | (std::uint64_t(1) << 52), biased - 1075};
}

// True when |v| * 10^decimals lies exactly halfway between two integers, that
// is when |v| * 2^(decimals + 1) is an odd integer (5^decimals is odd): the
// lowest set bit of v has the weight 2^-(decimals + 1).
bool isHalfway(double v, int decimals)
{
    const Binary b = binary(v);
    return b.mantissa != 0 && b.exponent + std::countr_zero(b.mantissa) == -(decimals + 1);
}

// Fixed text of a magnitude with exactly `decimals` decimals, rounded half
// away from zero: "ddd" or "ddd.ddd" at [first, end).
struct Fixed {
    char *first;
    char *point;  // the "." or end when there are no decimals
    char *end;
};

// The common case in integers: below 2^53 the mantissa times 10^decimals stays
// below 2^63 for up to 3 decimals, and the scaled value is that product shifted
// right, so rounding is a look at the bits shifted out. buf holds 24 chars.
bool smallFixed(double magnitude, int decimals, char *buf, Fixed &f)
{
    if (decimals > 3 || !(magnitude < 0x1p53))
        return false;
    constexpr std::uint64_t powersOf10[] = {1, 10, 100, 1000};
    const Binary b = binary(magnitude);  // exponent <= 0 here
    const std::uint64_t product = b.mantissa * powersOf10[decimals];
    const int shift = -b.exponent;
    std::uint64_t scaled = 0;  // beyond 63 bits of shift the value is below one half
    if (shift == 0) {
        scaled = product;
    } else if (shift < 64) {
        const std::uint64_t half = std::uint64_t(1) << (shift - 1);
        scaled = (product >> shift) + ((product & (2 * half - 1)) >= half);
    }

    char digits[20];
    const int count = static_cast<int>(std::to_chars(digits, digits + sizeof digits, scaled).ptr - digits);
    const int width = std::max(count, decimals + 1);  // at least "0" before the point
    char *w = buf;
    for (int i = 0; i < width; ++i) {
        if (i == width - decimals)
            *w++ = '.';
        const int d = i - (width - count);
        *w++ = d < 0 ? '0' : digits[d];
    }
    f = {buf, buf + (width - decimals), w};
    if (decimals == 0)
        f.point = w;
    return true;
}

// Any other value (more decimals, or 2^53 and above). buf must hold
// 311 + decimals chars.
Fixed roundedFixed(double magnitude, int decimals, char *buf, std::size_t size)
{
    Fixed f;
    if (smallFixed(magnitude, decimals, buf, f))
        return f;

    // to_chars rounds exactly, but a tie goes to even. At a tie the text with
    // one decimal more is exact and ends in "5": drop it and round up by hand.
    // Here a tie has 4 decimals or more (2^53 and above is whole), and then the
    // digit before the "5" is a 2 or a 7: |v| * 10^d * 2 = 5^d * odd ends in 5,
    // so |v| * 10^d = k + 1/2 with k ending in 2 or 7. No carry can follow.
    const bool tie = isHalfway(magnitude, decimals);
    f.first = buf;
    f.end = std::to_chars(buf, buf + size, magnitude, std::chars_format::fixed, decimals + tie).ptr;
    if (tie) {
        --f.end;  // the "5"
        ++f.end[-1];
    }
    f.point = decimals == 0 ? f.end : f.end - decimals - 1;
    return f;
}

std::string patternText(double value, const Pattern &pat, char *buf, std::size_t size)
{
    const Fixed f = roundedFixed(std::fabs(value), pat.decimals, buf, size);

    // Integer digits without the lone "0" of a value below one, then padded
    // to the "0" places of the pattern (at least one digit in all).
    const char *intFirst = f.first;
    if (f.point - intFirst == 1 && *intFirst == '0')
        ++intFirst;
    const int intDigits = static_cast<int>(f.point - intFirst);

    // Trailing zero decimals go while their place is "#".
    const char *decFirst = f.point == f.end ? f.end : f.point + 1;
    int shownDecimals = pat.decimals;
    while (shownDecimals > pat.decimals - pat.optionalDecimals && decFirst[shownDecimals - 1] == '0')
        --shownDecimals;

    int intShown = std::max(intDigits, pat.minIntegerDigits);
    if (intShown == 0 && shownDecimals == 0)
        intShown = 1;

    bool allZero = true;
    for (const char *c = f.first; c != f.end && allZero; ++c)
        allZero = *c == '0' || *c == '.';
    const bool minus = std::signbit(value) && !allZero;

    const int separators = pat.grouping && intShown > 0 ? (intShown - 1) / 3 : 0;
    const std::size_t length = minus + pat.prefix.size() + static_cast<std::size_t>(intShown + separators)
        + (shownDecimals > 0 ? 1 + static_cast<std::size_t>(shownDecimals) : 0) + pat.suffix.size();

    std::string out(length, '\0');
    char *w = out.data();
    if (minus)
        *w++ = '-';
    w = std::copy(pat.prefix.begin(), pat.prefix.end(), w);
    for (int i = 0; i < intShown; ++i) {
        if (i > 0 && pat.grouping && (intShown - i) % 3 == 0)
            *w++ = '.';
        const int fromDigits = i - (intShown - intDigits);
        *w++ = fromDigits < 0 ? '0' : intFirst[fromDigits];
    }
    if (shownDecimals > 0) {
        *w++ = ',';
        w = std::copy(decFirst, decFirst + shownDecimals, w);
    }
    std::copy(pat.suffix.begin(), pat.suffix.end(), w);
    return out;
}

}  // namespace

double ParseDouble(std::string_view text) { return parseReal<double>(text); }
float ParseSingle(std::string_view text) { return parseReal<float>(text); }
std::int16_t ParseInt16(std::string_view text) { return parseInteger<std::int16_t>(text); }
std::int32_t ParseInt32(std::string_view text) { return parseInteger<std::int32_t>(text); }

std::string NumberText(std::int16_t value) { return integerText(value); }
std::string NumberText(std::int32_t value) { return integerText(value); }
std::string NumberText(float value) { return realText(value, 7); }
std::string NumberText(double value) { return realText(value, 15); }

std::string PatternText(double value, std::string_view pattern)
{
    if (!std::isfinite(value))
        overflow();
    const Pattern pat = parsePattern(pattern);
    // The largest double has 309 integer digits; then the "." and one extra
    // decimal for a tie.
    const std::size_t needed = 311 + static_cast<std::size_t>(pat.decimals);
    char buf[512];
    if (needed <= sizeof buf)
        return patternText(value, pat, buf, sizeof buf);
    std::string big(needed, '\0');  // only for patterns with hundreds of decimals
    return patternText(value, pat, big.data(), big.size());
}

std::string RemoveAll(std::string_view text, std::string_view piece)
{
    if (piece.empty())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(piece, from)) != std::string_view::npos; from = at + piece.size())
        out.append(text, from, at - from);
    out.append(text, from);
    return out;
}

}  // namespace rotamet
