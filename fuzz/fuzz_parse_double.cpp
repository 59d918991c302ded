// ParseDouble on any bytes: a finite value, the nearest Double to the text
// when the text fits the reading grammar, type mismatch (13) when it does not,
// overflow (6) when the value is past the largest Double. Nothing else.
#include "oracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto got = fuzz::outcome<double>(text, [&] { return rotamet::ParseDouble(text); });
    if (got.value && !std::isfinite(*got.value))
        fuzz::fail(text, "ParseDouble gave a value that is not finite", fuzz::exact(*got.value));

    const auto c = fuzz::cText(text);
    if (!c) {
        if (got.code != rotamet::errcode::TypeMismatch)
            fuzz::fail(text, "a text outside the grammar did not raise type mismatch (13)",
                       got.value ? "value " + fuzz::exact(*got.value) : "code " + std::to_string(got.code));
        return 0;
    }
    const double expected = fuzz::nearestDouble(*c);
    if (std::isinf(expected)) {
        if (got.code != rotamet::errcode::Overflow)
            fuzz::fail(text, "a value past the largest Double did not raise overflow (6)",
                       got.value ? "value " + fuzz::exact(*got.value) : "code " + std::to_string(got.code));
        return 0;
    }
    if (!got.value || !fuzz::sameDouble(*got.value, expected))
        fuzz::fail(text, "ParseDouble is not the nearest Double",
                   "expected " + fuzz::exact(expected) + ", got "
                       + (got.value ? fuzz::exact(*got.value) : "code " + std::to_string(got.code)));
    return 0;
}
