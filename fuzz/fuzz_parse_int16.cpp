// ParseInt16 on any bytes; the rules are in integer_parse.h.
#include "integer_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return fuzz::checkIntegerParse<std::int16_t>(data, size, "ParseInt16",
                                                 [](std::string_view t) { return rotamet::ParseInt16(t); });
}
