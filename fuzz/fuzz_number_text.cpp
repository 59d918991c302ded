// Writing the values that reading gives. The input is read as a Double and as
// a Single; its first 8 bytes are also taken as the bits of a Double, so the
// whole range (subnormals, the largest values) is reached directly. For each
// finite value:
// - NumberText writes 15 (Double) or 7 (Single) significant digits. That is
//   the design, so the text reads back to the value rounded to that many
//   digits, not to the value itself; it must read back without error, and the
//   value read must write the same text again.
// - PatternText with each of the program's six patterns never throws, gives
//   the exact binary value rounded half away from zero to the pattern's
//   decimals, written by the pattern's rules, and that text (without "°")
//   reads back to within half a unit of the last decimal of the value.
#include "oracle.h"

#include <cstring>

namespace {

struct Pattern {
    const char *text;
    int decimals;
    int optional;  // trailing "#" decimal places
    const char *suffix;
};
constexpr Pattern patterns[] = {
    {"##,##0.#0", 2, 0, ""},
    {"##,##0.#00", 3, 0, ""},
    {"##,##0.##0", 3, 0, ""},
    {"##,##0.0\xc2\xb0", 1, 0, "\xc2\xb0"},
    {"##,##0.0#\xc2\xb0", 2, 1, "\xc2\xb0"},
    {"##,##0.#0\xc2\xb0", 2, 0, "\xc2\xb0"},
};

// The pattern text by the documented rules, from the rounded digits.
std::string expectedPatternText(double v, const Pattern &p)
{
    const std::string fixed = fuzz::roundedFixed(v, p.decimals);
    const std::size_t point = fixed.find('.');
    const std::string integer = fixed.substr(0, point);
    std::string decimals = point == std::string::npos ? "" : fixed.substr(point + 1);
    for (int i = 0; i < p.optional && !decimals.empty() && decimals.back() == '0'; ++i)
        decimals.pop_back();

    std::string out;
    if (std::signbit(v) && fixed.find_first_not_of("0.") != std::string::npos)
        out += '-';
    for (std::size_t i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0)
            out += '.';
        out += integer[i];
    }
    if (!decimals.empty())
        out += ',' + decimals;
    return out + p.suffix;
}

template <typename Real>
void checkNumberText(std::string_view input, Real v)
{
    constexpr bool single = sizeof(Real) == sizeof(float);
    constexpr int digits = single ? 7 : 15;
    auto read = [](std::string_view t) {
        if constexpr (single)
            return rotamet::ParseSingle(t);
        else
            return rotamet::ParseDouble(t);
    };
    const std::string written = rotamet::NumberText(v);
    const std::string context = fuzz::exact(double(v)) + " -> \"" + written + "\"";

    Real rounded;
    if constexpr (single)
        rounded = fuzz::roundedSingle(v, digits);
    else
        rounded = fuzz::roundedDouble(v, digits);
    const auto back = fuzz::outcome<Real>(input, [&] { return read(written); });
    if (!back.value)
        fuzz::fail(input, "the text NumberText wrote does not read back",
                   context + " raises " + std::to_string(back.code));
    if (std::isfinite(rounded) && !(*back.value == rounded))
        fuzz::fail(input, "NumberText does not read back to the value rounded to its digits",
                   context + " reads " + fuzz::exact(double(*back.value)) + ", rounded "
                       + fuzz::exact(double(rounded)));
    const std::string again = rotamet::NumberText(*back.value);
    if (again != written)
        fuzz::fail(input, "NumberText of the value read back is another text", context + " then \"" + again + "\"");
}

void checkPatternText(std::string_view input, double v)
{
    for (const Pattern &p : patterns) {
        const auto text = fuzz::outcome<std::string>(input, [&] { return rotamet::PatternText(v, p.text); });
        const std::string context = fuzz::exact(v) + " with \"" + p.text + "\"";
        if (!text.value)
            fuzz::fail(input, "PatternText threw for a finite value", context + ": code " + std::to_string(text.code));
        const std::string expected = expectedPatternText(v, p);
        if (*text.value != expected)
            fuzz::fail(input, "PatternText is not the value rounded half away from zero",
                       context + " -> \"" + *text.value + "\", expected \"" + expected + "\"");

        // The read-back is itself rounded to a Double: allow one unit in the
        // last place of it beyond half a unit of the last decimal.
        const std::string plain = rotamet::RemoveAll(*text.value, "\xc2\xb0");
        const auto back = fuzz::outcome<double>(input, [&] { return rotamet::ParseDouble(plain); });
        if (!back.value)
            fuzz::fail(input, "pattern text does not read back", context + " -> \"" + plain + "\"");
        const long double halfUnit = 0.5L * std::pow(10.0L, -p.decimals);
        const long double ulp = std::nextafter(std::fabs(*back.value), HUGE_VAL) - std::fabs(*back.value);
        if (std::fabs(static_cast<long double>(*back.value) - v) > halfUnit + ulp)
            fuzz::fail(input, "pattern text reads back more than half a unit away",
                       context + " -> \"" + plain + "\" reads " + fuzz::exact(*back.value));
    }
}

void checkDouble(std::string_view input, double v)
{
    checkNumberText(input, v);
    checkPatternText(input, v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto d = fuzz::outcome<double>(text, [&] { return rotamet::ParseDouble(text); });
    if (d.value)
        checkDouble(text, *d.value);
    const auto f = fuzz::outcome<float>(text, [&] { return rotamet::ParseSingle(text); });
    if (f.value) {
        checkNumberText(text, *f.value);
        checkPatternText(text, double(*f.value));
    }
    if (size >= sizeof(double)) {
        double bits;
        std::memcpy(&bits, data, sizeof bits);
        if (std::isfinite(bits))
            checkDouble(text, bits);
    }
    return 0;
}
