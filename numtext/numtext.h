// Number text: how text becomes a number and a number becomes text, by the
// Italian conventions ("," decimal separator, "." thousands separator).
// Owns nothing else. Reads no locale and no setting: the same input gives the
// same output on every machine. Failures throw rotamet::RunTimeError.
#pragma once

#include "numtext/runtimeerror.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace rotamet {

// Reading a number. Leading and trailing blanks (space, tab) are ignored; an
// optional "+" or "-" leads; a "." standing between two digits of the integer
// part is a thousands separator and is skipped; at most one "," starts the
// decimals; an exponent "E"/"e", optional sign and at least one digit may
// follow. There must be at least one digit before the exponent. Anything else
// is a type mismatch (13); a value too large for the kind is overflow (6); a
// value too small for it reads as a zero of its sign.
//   ParseDouble("1.000")      → 1000        ParseDouble("1,000") → 1
//   ParseDouble(" 2,5 ")      → 2.5         ParseDouble("0.4")   → 4
//   ParseDouble("5,")         → 5           ParseDouble(",5")    → 0.5
//   ParseDouble("-1.234,5E3") → -1234500    ParseDouble("1E-999") → 0
//   ParseDouble("7,450581E-10") → 7.450581e-10
//   ParseDouble("7,0°")       → error 13    ParseDouble("")      → error 13
//   ParseDouble(".5")         → error 13    ParseDouble("1..2")  → error 13
//   ParseDouble("9E999")      → error 6     ParseSingle("1E39")  → error 6
// ParseSingle gives the Single nearest to the text (not via double):
//   ParseSingle("1,0000000596046448") → 1.00000012f
// ParseInt16/ParseInt32 read the text as a Double, then round to the nearest
// integer, a tie going to the even neighbour, and check the range:
//   ParseInt16(" 2,5 ") → 2   ParseInt16("3,5") → 4   ParseInt16("-2,5") → -2
//   ParseInt16("40000") → error 6   ParseInt16("32767,5") → error 6
double ParseDouble(std::string_view text);
float ParseSingle(std::string_view text);
std::int16_t ParseInt16(std::string_view text);
std::int32_t ParseInt32(std::string_view text);

// Plain number text. Integers: their digits, "-" before a negative value.
// Reals: rounded to 15 significant digits (Double) or 7 (Single), trailing
// zeros dropped, "," as separator, none for a whole value, "0" for a zero of
// either sign. Exponent form "d,dddE±XX" (sign always, at least two digits)
// when the decimal exponent is below -4 or at least the digit count, as
// printf's %.15G / %.7G. The text reads back (ParseDouble / ParseSingle) to
// a value that gives the same text again. An infinite or NaN value raises
// overflow (6).
//   NumberText(47.0)          → "47"        NumberText(0.4)       → "0,4"
//   NumberText(37.35)         → "37,35"     NumberText(-1.5)      → "-1,5"
//   NumberText(827.7777777777778) → "827,777777777778"
//   NumberText(7.4505807e-10f) → "7,450581E-10"
//   NumberText(1e15)          → "1E+15"     NumberText(123456789012345.0) → "123456789012345"
//   NumberText(0.0001)        → "0,0001"    NumberText(0.00001)   → "1E-05"
std::string NumberText(std::int16_t value);
std::string NumberText(std::int32_t value);
std::string NumberText(float value);
std::string NumberText(double value);

// Pattern text. In a pattern "#" and "0" are digit places, "." marks the
// decimal separator, "," between integer digit places asks for grouping by
// three; characters before the first and after the last of these are copied
// (the "°" of the program's patterns). The program uses six patterns:
//   "##,##0.#0"  2 decimals      "##,##0.#00" 3 decimals   "##,##0.##0" 3 decimals
//   "##,##0.0°"  1 decimal + °   "##,##0.0#°" 1 or 2 + °   "##,##0.#0°" 2 + °
// The value is rounded half away from zero on its exact binary value to as
// many decimals as there are places after "."; the integer part has all its
// digits, at least as many as its "0" places, grouped with "."; "," comes
// before the decimals, and trailing zero decimals are dropped from the right
// while their place is "#" (dropping stops at a "0" place or a non-zero digit);
// with no decimal left the "," goes too.
//   PatternText(1234.5, "##,##0.#0")  → "1.234,50"
//   PatternText(7, "##,##0.0°")       → "7,0°"
//   PatternText(0.4, "##,##0.##0")    → "0,400"
//   PatternText(0.0625, "##,##0.#00") → "0,063"
//   PatternText(2.125, "##,##0.#0")   → "2,13"   PatternText(-2.125, ...) → "-2,13"
//   PatternText(12.5, "##,##0.0#°")   → "12,5°"  PatternText(12.25, ...) → "12,25°"
//   PatternText(12, "##,##0.0#°")     → "12,0°"
//   PatternText(-0.001, "##,##0.#0")  → "0,00"   PatternText(3, "0.##") → "3"
// A value that rounds to zero is written without a sign. An infinite or NaN
// value raises overflow (6).
std::string PatternText(double value, std::string_view pattern);

// Every occurrence of piece removed from text, compared exactly.
//   RemoveAll("7,0°", "°") → "7,0"
std::string RemoveAll(std::string_view text, std::string_view piece);

}  // namespace rotamet
