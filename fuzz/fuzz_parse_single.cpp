// ParseSingle on any bytes: a finite value, the Single nearest to the text
// itself (not to the Double nearest to it) when the text fits the reading
// grammar, type mismatch (13) when it does not, overflow (6) when the value is
// past the largest Single. Nothing else.
#include "oracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto got = fuzz::outcome<float>(text, [&] { return rotamet::ParseSingle(text); });
    auto shown = [&] { return got.value ? fuzz::exact(*got.value) : "code " + std::to_string(got.code); };
    if (got.value && !std::isfinite(*got.value))
        fuzz::fail(text, "ParseSingle gave a value that is not finite", shown());

    const auto c = fuzz::cText(text);
    if (!c) {
        if (got.code != rotamet::errcode::TypeMismatch)
            fuzz::fail(text, "a text outside the grammar did not raise type mismatch (13)", shown());
        return 0;
    }
    const float expected = fuzz::nearestSingle(*c);
    if (std::isinf(expected)) {
        if (got.code != rotamet::errcode::Overflow)
            fuzz::fail(text, "a value past the largest Single did not raise overflow (6)", shown());
        return 0;
    }
    if (!got.value || !fuzz::sameSingle(*got.value, expected))
        fuzz::fail(text, "ParseSingle is not the nearest Single",
                   "expected " + fuzz::exact(expected) + ", got " + shown());
    return 0;
}
