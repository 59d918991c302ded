// ParseInt16 and ParseInt32 on any bytes: the text read as a Double, rounded
// to the nearest integer with a tie to the even neighbour (nearbyint in the
// default rounding mode), in range; type mismatch (13) for a text outside the
// reading grammar, overflow (6) for a value out of range. Nothing else. The
// integer's own text reads back to it.
#pragma once

#include "oracle.h"

#include <limits>

namespace fuzz {

template <typename Int, typename Parse>
int checkIntegerParse(const std::uint8_t *data, std::size_t size, const char *name, Parse parse)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto got = fuzz::outcome<Int>(text, [&] { return parse(text); });
    auto shown = [&] { return got.value ? std::to_string(*got.value) : "code " + std::to_string(got.code); };

    const auto c = fuzz::cText(text);
    if (!c) {
        if (got.code != rotamet::errcode::TypeMismatch)
            fuzz::fail(text, "a text outside the grammar did not raise type mismatch (13)", shown());
        return 0;
    }
    const double rounded = std::nearbyint(fuzz::nearestDouble(*c));
    if (!(rounded >= std::numeric_limits<Int>::min() && rounded <= std::numeric_limits<Int>::max())) {
        if (got.code != rotamet::errcode::Overflow)
            fuzz::fail(text, "a value out of range did not raise overflow (6)",
                       "rounded " + fuzz::exact(rounded) + ", got " + shown());
        return 0;
    }
    if (!got.value || *got.value != static_cast<Int>(rounded))
        fuzz::fail(text, (std::string(name) + " is not the value rounded half to even").c_str(),
                   "expected " + fuzz::exact(rounded) + ", got " + shown());

    const std::string written = rotamet::NumberText(*got.value);
    const auto back = fuzz::outcome<Int>(text, [&] { return parse(written); });
    if (!back.value || *back.value != *got.value)
        fuzz::fail(text, "the integer's own text does not read back", written);
    return 0;
}

}  // namespace fuzz
