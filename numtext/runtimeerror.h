// Run-time errors: a numeric code and a short Italian description.
// The codes the program raises are the constants below; it tells four of them
// apart (6, 11, 13, 482: errorDescription() knows their texts). Every
// procedure that fails throws RunTimeError, and only the calculation run and
// the printing catch it.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace rotamet {

namespace errcode {
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;  // a job that ran out of memory
inline constexpr int DivisionByZero = 11;
inline constexpr int TypeMismatch = 13;
inline constexpr int PrinterError = 482;
inline constexpr int InternalError = 51;          // a job that failed in a way no other code names
inline constexpr int FileExists = 58;             // a file the user did not agree to replace
inline constexpr int PathFileAccess = 75;         // a folder that cannot be made or written
inline constexpr int InvalidPropertyValue = 380;  // a printer setting out of range
}  // namespace errcode

// The Italian description of a code: 6 → "Overflow", 11 → "Divisione per zero",
// 13 → "Tipo non corrispondente", 482 → "Errore della stampante".
std::string errorDescription(int code);

class RunTimeError : public std::runtime_error {
public:
    explicit RunTimeError(int code);  // description from errorDescription()
    RunTimeError(int code, const std::string &description);
    int code() const noexcept { return code_; }
    std::string description() const { return what(); }

private:
    int code_;
};

// Checked real arithmetic: a zero divisor raises 11; an infinite or undefined
// result raises 6. No inf or NaN ever leaves these helpers.
double checkedDiv(double a, double b);
double checkedMul(double a, double b);
double checkedAdd(double a, double b);
double checkedSub(double a, double b);
float checkedDivF(float a, float b);
float checkedSubF(float a, float b);
// a / b, or nothing for a zero divisor, where the caller drops what it was
// doing without an error: checkedDiv without raising 11. Raises 6 as it does.
// The calculation divides by zero at every start (no lifts per revolution
// chosen yet), and the first exception a process throws pulls in the
// unwinder's tables and code, about 0.4 MiB.
std::optional<double> quotient(double a, double b);
// A finite double rounded to Single; raises 6 when it does not fit.
float toSingle(double v);

}  // namespace rotamet
