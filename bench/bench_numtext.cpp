// Number text against the two other ways of doing the same job: the Qt calls a
// Qt program would otherwise make (QLocale Italian, grouping on), and the bare
// standard conversions that number text stands on (std::to_chars,
// std::from_chars, C notation, no grouping).
#include "numtext/numtext.h"

#include <QLocale>
#include <QString>
#include <array>
#include <benchmark/benchmark.h>
#include <charconv>
#include <string>
#include <vector>

namespace {

// Values of the size the program shows: speeds, angles, milliseconds, strokes.
// The loops rotate through them so nothing is folded into a constant.
constexpr std::array<double, 16> values{
    0.3,    0.45,   1.0,     2.125,       7.25,   12.5, 37.35, 46.95, 99.99, 83.3333, 827.7777777777778,
    1000.0, 1234.5, 1666.65, 8571.428571, 10000.0};
constexpr std::size_t mask = values.size() - 1;

// The same values as Italian text with two decimals, and in C notation.
std::vector<std::string> italianTexts()
{
    std::vector<std::string> texts;
    for (double v : values)
        texts.push_back(rotamet::PatternText(v, "##,##0.#0"));
    return texts;
}

std::vector<std::string> cTexts()
{
    std::vector<std::string> texts;
    for (double v : values) {
        char buf[32];
        texts.emplace_back(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2).ptr);
    }
    return texts;
}

// ---------------------------------------------------------------- two decimals

void PatternText_2Decimals(benchmark::State &state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        std::string text = rotamet::PatternText(values[i++ & mask], "##,##0.#0");
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(PatternText_2Decimals);

void QLocale_toString_f2(benchmark::State &state)
{
    const QLocale italian(QLocale::Italian);
    std::size_t i = 0;
    for (auto _ : state) {
        QString text = italian.toString(values[i++ & mask], 'f', 2);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(QLocale_toString_f2);

void to_chars_fixed2(benchmark::State &state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        char buf[32];
        auto end = std::to_chars(buf, buf + sizeof buf, values[i++ & mask], std::chars_format::fixed, 2).ptr;
        benchmark::DoNotOptimize(buf);
        benchmark::DoNotOptimize(end);
    }
}
BENCHMARK(to_chars_fixed2);

// ---------------------------------------------------------------- plain text

void NumberText_Double(benchmark::State &state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        std::string text = rotamet::NumberText(values[i++ & mask]);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(NumberText_Double);

void QLocale_toString_g15(benchmark::State &state)
{
    const QLocale italian(QLocale::Italian);
    std::size_t i = 0;
    for (auto _ : state) {
        QString text = italian.toString(values[i++ & mask], 'g', 15);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(QLocale_toString_g15);

void to_chars_general15(benchmark::State &state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        char buf[32];
        auto end = std::to_chars(buf, buf + sizeof buf, values[i++ & mask], std::chars_format::general, 15).ptr;
        benchmark::DoNotOptimize(buf);
        benchmark::DoNotOptimize(end);
    }
}
BENCHMARK(to_chars_general15);

// ---------------------------------------------------------------- reading

void ParseDouble_Italian(benchmark::State &state)
{
    const std::vector<std::string> texts = italianTexts();
    std::size_t i = 0;
    for (auto _ : state) {
        double v = rotamet::ParseDouble(texts[i++ & mask]);
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(ParseDouble_Italian);

void QLocale_toDouble(benchmark::State &state)
{
    const QLocale italian(QLocale::Italian);
    std::vector<QString> texts;
    for (const std::string &t : italianTexts())
        texts.push_back(QString::fromStdString(t));
    std::size_t i = 0;
    for (auto _ : state) {
        double v = italian.toDouble(texts[i++ & mask]);
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(QLocale_toDouble);

void from_chars_C(benchmark::State &state)
{
    const std::vector<std::string> texts = cTexts();
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string &t = texts[i++ & mask];
        double v = 0;
        std::from_chars(t.data(), t.data() + t.size(), v);
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(from_chars_C);

// A 10,000-digit text: the time per byte shows the reading stays linear.
void ParseDouble_10000Digits(benchmark::State &state)
{
    const std::string text = "1," + std::string(9999, '7');
    for (auto _ : state) {
        double v = rotamet::ParseDouble(text);
        benchmark::DoNotOptimize(v);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseDouble_10000Digits);

}  // namespace
