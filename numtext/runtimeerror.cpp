#include "numtext/runtimeerror.h"

#include <cmath>

namespace rotamet {

std::string errorDescription(int code)
{
    switch (code) {
    case errcode::Overflow: return "Overflow";
    case errcode::OutOfMemory: return "Memoria esaurita";
    case errcode::InternalError: return "Errore interno";
    case errcode::DivisionByZero: return "Divisione per zero";
    case errcode::TypeMismatch: return "Tipo non corrispondente";
    case errcode::PrinterError: return "Errore della stampante";
    default: return "Errore definito dall'applicazione";
    }
}

RunTimeError::RunTimeError(int code) : RunTimeError(code, errorDescription(code)) {}

RunTimeError::RunTimeError(int code, const std::string &description) : std::runtime_error(description), code_(code) {}

namespace {
double finite(double v)
{
    if (!std::isfinite(v))
        throw RunTimeError(errcode::Overflow);
    return v;
}
}  // namespace

std::optional<double> quotient(double a, double b)
{
    if (b == 0)
        return std::nullopt;
    return finite(a / b);
}

double checkedDiv(double a, double b)
{
    if (const std::optional<double> q = quotient(a, b))
        return *q;
    throw RunTimeError(errcode::DivisionByZero);
}

double checkedMul(double a, double b) { return finite(a * b); }
double checkedAdd(double a, double b) { return finite(a + b); }
double checkedSub(double a, double b) { return finite(a - b); }

float checkedDivF(float a, float b)
{
    if (b == 0)
        throw RunTimeError(errcode::DivisionByZero);
    return toSingle(static_cast<double>(a / b));
}

float checkedSubF(float a, float b) { return toSingle(static_cast<double>(a - b)); }

float toSingle(double v)
{
    finite(v);
    float f = static_cast<float>(v);
    if (!std::isfinite(f))
        throw RunTimeError(errcode::Overflow);
    return f;
}

}  // namespace rotamet
