// ParseInt32 on any bytes; the rules are in integer_parse.h.
#include "integer_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    return fuzz::checkIntegerParse<std::int32_t>(data, size, "ParseInt32",
                                                 [](std::string_view t) { return rotamet::ParseInt32(t); });
}
