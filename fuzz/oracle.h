// What the fuzz targets hold number text to, worked out independently of
// numtext: the reading grammar re-checked by hand and the value taken from the
// C library's strtod / strtof (exact, in the "C" locale that a fuzz target
// never leaves), rounding to significant digits taken from printf's exact
// digits. A broken property prints what it saw and aborts, which libFuzzer
// records as a crash together with the input.
#pragma once

#include "numtext/numtext.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace fuzz {

[[noreturn]] inline void fail(std::string_view input, const char *what, const std::string &detail = {})
{
    std::fprintf(stderr, "\n*** property broken: %s\n*** input (%zu bytes): \"", what, input.size());
    for (unsigned char c : input) {
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\')
            std::fputc(c, stderr);
        else
            std::fprintf(stderr, "\\x%02x", c);
    }
    std::fprintf(stderr, "\"\n*** %s\n", detail.c_str());
    std::abort();
}

inline std::string exact(double v)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// Same bits, so -0 differs from +0.
inline bool sameDouble(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}
inline bool sameSingle(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

// What a read gives: a value, or the code of the RunTimeError thrown.
// Any other exception is a broken property on its own.
template <typename T>
struct Outcome {
    std::optional<T> value;
    int code = 0;
};

template <typename T, typename F>
Outcome<T> outcome(std::string_view input, F read)
{
    try {
        return {read(), 0};
    } catch (const rotamet::RunTimeError &e) {
        return {std::nullopt, e.code()};
    } catch (const std::exception &e) {
        fail(input, "an exception other than RunTimeError", e.what());
    } catch (...) {
        fail(input, "an exception other than RunTimeError");
    }
}

// The documented reading grammar, checked by hand: blanks (space, tab) around,
// an optional sign, digits with "." only between two digits of the integer
// part, at most one "," before the decimals, at least one digit, an optional
// exponent "E"/"e" with optional sign and at least one digit. Returns the
// number in the form strtod reads, or nothing when the text does not fit.
inline std::optional<std::string> cText(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0, n = text.size();
    while (i < n && blank(text[i]))
        ++i;
    while (n > i && blank(text[n - 1]))
        --n;
    std::string out;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        out += text[i++];
    bool anyDigit = false;
    for (; i < n; ++i) {
        if (digit(text[i])) {
            out += text[i];
            anyDigit = true;
        } else if (text[i] == '.' && i > 0 && digit(text[i - 1]) && anyDigit && i + 1 < n && digit(text[i + 1])) {
            // thousands separator: skipped
        } else {
            break;
        }
    }
    if (i < n && text[i] == ',') {
        out += '.';
        for (++i; i < n && digit(text[i]); ++i) {
            out += text[i];
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        out += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            out += text[i++];
        if (i == n || !digit(text[i]))
            return std::nullopt;
        for (; i < n && digit(text[i]); ++i)
            out += text[i];
    }
    if (i != n)
        return std::nullopt;
    return out;
}

// The nearest value of the kind to a text in C form; infinite when too large.
inline double nearestDouble(const std::string &c) { return std::strtod(c.c_str(), nullptr); }
inline float nearestSingle(const std::string &c) { return std::strtof(c.c_str(), nullptr); }

// v rounded to `digits` significant digits, as a value of the same kind
// (infinite when the rounded value is past the largest one).
inline double roundedDouble(double v, int digits)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, v);
    return std::strtod(buf, nullptr);
}
inline float roundedSingle(float v, int digits)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, double(v));
    return std::strtof(buf, nullptr);
}

// |v| rounded half away from zero on its exact binary value to `decimals`
// decimals, as "digits" or "digits.decimals" (at least one integer digit).
// printf writes the exact decimal expansion when given enough decimals: a
// double has at most 1074 of them.
inline std::string roundedFixed(double v, int decimals)
{
    static char buf[320 + 1100];
    const int length = std::snprintf(buf, sizeof buf, "%.1080f", std::fabs(v));
    std::string_view all(buf, std::size_t(length));
    const std::size_t point = all.find('.');
    std::string kept(all.substr(0, point + 1 + std::size_t(decimals)));
    const bool up = all[point + 1 + std::size_t(decimals)] >= '5';  // a tie goes up too
    if (up) {
        std::size_t k = kept.size();
        while (k-- > 0) {
            if (kept[k] == '.')
                continue;
            if (kept[k] == '9') {
                kept[k] = '0';
                continue;
            }
            ++kept[k];
            break;
        }
        if (k == std::size_t(-1))
            kept.insert(kept.begin(), '1');
    }
    if (decimals == 0)
        kept.pop_back();  // the "."
    return kept;
}

}  // namespace fuzz
