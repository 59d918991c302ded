// Number text: how text becomes a number and a number becomes text, by the
// Italian conventions ("," decimal separator, "." thousands separator).
// Owns nothing else. Reads no locale and no setting: the same input gives the
// same output on every machine. Failures throw rotamet::RunTimeError.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "numtext/runtimeerror.h"

namespace rotamet {

// Reading a number. Leading and trailing blanks are ignored; an optional "+"
// or "-" leads; a "." between digits of the integer part is a thousands
// separator and is skipped; at most one "," starts the decimals; an exponent
// "E"/"e", optional sign and digits may follow. Anything else is a type
// mismatch (13); a value out of range of the kind is overflow (6).
//   ParseDouble("1.000")      → 1000        ParseDouble("1,000") → 1
//   ParseDouble(" 2,5 ")      → 2.5         ParseDouble("0.4")   → 4
//   ParseDouble("7,450581E-10") → 7.450581e-10
//   ParseDouble("7,0°")       → error 13    ParseDouble("")      → error 13
//   ParseDouble("9E999")      → error 6
// ParseSingle gives the Single nearest to the text (not via double).
// ParseInt16/ParseInt32 round a fraction to the nearest integer, ties to even:
//   ParseInt16(" 2,5 ") → 2   ParseInt16("3,5") → 4   ParseInt16("40000") → error 6
double ParseDouble(std::string_view text);
float ParseSingle(std::string_view text);
std::int16_t ParseInt16(std::string_view text);
std::int32_t ParseInt32(std::string_view text);

// Plain number text. Integers: their digits, "-" before a negative value.
// Reals: rounded to 15 significant digits (Double) or 7 (Single), trailing
// zeros dropped, "," as separator, none for a whole value; exponent form
// "d,dddE±XX" when the decimal exponent is below -4 or at least the digit
// count:
//   NumberText(47.0)          → "47"        NumberText(0.4)       → "0,4"
//   NumberText(37.35)         → "37,35"     NumberText(-1.5)      → "-1,5"
//   NumberText(827.7777777777778) → "827,777777777778"
//   NumberText(7.4505807e-10f) → "7,450581E-10"
//   NumberText(1e15)          → "1E+15"
std::string NumberText(std::int16_t value);
std::string NumberText(std::int32_t value);
std::string NumberText(float value);
std::string NumberText(double value);

// Pattern text by one of the six patterns of the program:
//   "##,##0.#0"  2 decimals      "##,##0.#00" 3 decimals   "##,##0.##0" 3 decimals
//   "##,##0.0°"  1 decimal + °   "##,##0.0#°" 1 or 2 + °   "##,##0.#0°" 2 + °
// Rounding is half away from zero on the exact value; the integer part is
// grouped by three with "."; trailing zeros are dropped from the right while
// their place is "#".
//   PatternText(1234.5, "##,##0.#0")  → "1.234,50"
//   PatternText(7, "##,##0.0°")       → "7,0°"
//   PatternText(0.4, "##,##0.##0")    → "0,400"
//   PatternText(0.0625, "##,##0.#00") → "0,063"
//   PatternText(2.125, "##,##0.#0")   → "2,13"   PatternText(-2.125, ...) → "-2,13"
//   PatternText(12.5, "##,##0.0#°")   → "12,5°"  PatternText(12, ...) → "12,0°"
// A value that rounds to zero is written without a sign. An infinite or NaN
// value raises overflow (6).
std::string PatternText(double value, std::string_view pattern);

// Every occurrence of piece removed from text, compared exactly.
//   RemoveAll("7,0°", "°") → "7,0"
std::string RemoveAll(std::string_view text, std::string_view piece);

}  // namespace rotamet
