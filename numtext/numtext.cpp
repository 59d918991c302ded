#include "numtext/numtext.h"
// Placeholder: the implementation follows.
namespace rotamet {
double ParseDouble(std::string_view) { throw RunTimeError(errcode::TypeMismatch); }
float ParseSingle(std::string_view) { throw RunTimeError(errcode::TypeMismatch); }
std::int16_t ParseInt16(std::string_view) { throw RunTimeError(errcode::TypeMismatch); }
std::int32_t ParseInt32(std::string_view) { throw RunTimeError(errcode::TypeMismatch); }
std::string NumberText(std::int16_t v) { return std::to_string(v); }
std::string NumberText(std::int32_t v) { return std::to_string(v); }
std::string NumberText(float v) { return std::to_string(v); }
std::string NumberText(double v) { return std::to_string(v); }
std::string PatternText(double v, std::string_view) { return std::to_string(v); }
std::string RemoveAll(std::string_view text, std::string_view piece)
{
    std::string out;
    if (piece.empty()) return std::string(text);
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, piece.size()) == piece) i += piece.size();
        else out += text[i++];
    }
    return out;
}
}  // namespace rotamet
