// Number text read back: over a million seeded random Doubles and as many
// Singles, from every part of their range, the text that NumberText and
// PatternText write reads back to what it stands for. The reference values
// come from the C library (printf's exact digits, strtod, strtof), not from
// number text itself.
#include "numtext/numtext.h"

#include <QTest>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>

using namespace rotamet;

namespace {

// A sanitized build is many times slower: it checks a tenth of the values.
#if defined(__SANITIZE_ADDRESS__)
constexpr int valuesPerKind = 100'000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int valuesPerKind = 100'000;
#else
constexpr int valuesPerKind = 1'000'000;
#endif
#else
constexpr int valuesPerKind = 1'000'000;
#endif

// Where the random values come from; each family has its share of the values.
enum class Family { UniformBits, Ordinary, Subnormal, Largest, Sixteenths, Zero };

struct Share {
    Family family;
    const char *name;
    int perMille;
};
constexpr Share shares[] = {
    {Family::UniformBits, "uniform bit patterns", 500},
    {Family::Ordinary, "magnitudes 1e-6 to 1e9", 300},
    {Family::Subnormal, "subnormals", 80},
    {Family::Largest, "largest values", 60},
    {Family::Sixteenths, "multiples of 1/16", 59},
    {Family::Zero, "zeros", 1},
};

template <typename Real>
struct Bits;
template <>
struct Bits<double> {
    using U = std::uint64_t;
    static constexpr int mantissaBits = 52;
};
template <>
struct Bits<float> {
    using U = std::uint32_t;
    static constexpr int mantissaBits = 23;
};

// A finite value of the family, of either sign.
template <typename Real>
Real draw(Family family, std::mt19937_64 &random)
{
    using U = typename Bits<Real>::U;
    constexpr int mantissaBits = Bits<Real>::mantissaBits;
    constexpr U mantissaMask = (U(1) << mantissaBits) - 1;
    const bool negative = random() & 1;
    Real v = 0;
    switch (family) {
    case Family::UniformBits:
        do
            v = std::bit_cast<Real>(static_cast<U>(random()));
        while (!std::isfinite(v));
        return v;
    case Family::Ordinary: v = Real(std::pow(10.0, std::uniform_real_distribution<double>(-6.0, 9.0)(random))); break;
    case Family::Subnormal: v = std::bit_cast<Real>(static_cast<U>(random() & mantissaMask)); break;
    case Family::Largest:
        // The top 2^16 values below the largest one, the largest among them.
        v = std::bit_cast<Real>(
            static_cast<U>(std::bit_cast<U>(std::numeric_limits<Real>::max()) - (random() & 0xffff)));
        break;
    case Family::Sixteenths:
        // Many halfway cases for two and three decimals.
        v = Real(std::round(std::pow(10.0, std::uniform_real_distribution<double>(-1.0, 7.0)(random)) * 16) / 16);
        break;
    case Family::Zero: break;
    }
    return negative ? -v : v;
}

// v rounded to `digits` significant digits by printf, read by strtod/strtof:
// infinite when the rounded value lies past the largest value of the kind.
double roundedToDigits(double v, int digits)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, v);
    return std::strtod(buf, nullptr);
}
float roundedToDigits(float v, int digits)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, double(v));
    return std::strtof(buf, nullptr);
}

double readBack(const std::string &text, double) { return ParseDouble(text); }
float readBack(const std::string &text, float) { return ParseSingle(text); }

QByteArray exact(double v)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// The code of the RunTimeError that f throws; 0 when it returns.
template <typename F>
int errorOf(F f)
{
    try {
        f();
    } catch (const RunTimeError &e) {
        return e.code();
    }
    return 0;
}

// NumberText writes 15 (Double) or 7 (Single) significant digits: that is the
// design, so its text reads back to the value rounded to that many digits,
// not to the value itself. The text must read back without error, and the
// value read must write the same text again.
template <typename Real>
bool numberTextReadsBack(Real v, QByteArray &failure)
{
    constexpr int digits = sizeof(Real) == sizeof(float) ? 7 : 15;
    const std::string text = NumberText(v);
    Real back = 0;
    const int code = errorOf([&] { back = readBack(text, Real()); });
    const Real rounded = roundedToDigits(v, digits);
    if (code != 0 || (std::isfinite(rounded) && !(back == rounded)) || NumberText(back) != text) {
        failure = exact(double(v)) + " -> \"" + QByteArray::fromStdString(text) + "\" reads "
            + (code != 0 ? "error " + QByteArray::number(code) : exact(double(back))) + ", expected "
            + exact(double(rounded));
        return false;
    }
    return true;
}

// PatternText never throws for a finite value. Below 1e15 its digits are the
// value rounded half away from zero: |v| * 10^decimals is exact in a long
// double's 64-bit mantissa for up to 3 decimals (10^3 takes 10 bits, v 53),
// and the text reads back to within half a unit of the last decimal, allowing
// one unit in the last place for the read-back's own rounding.
bool patternTextReadsBack(double v, const char *pattern, int decimals, QByteArray &failure)
{
    static_assert(std::numeric_limits<long double>::digits >= 64);
    std::string text;
    const int code = errorOf([&] { text = PatternText(v, pattern); });
    auto fail = [&](const char *what) {
        failure = exact(v) + " with \"" + pattern + "\" -> \"" + QByteArray::fromStdString(text) + "\": " + what;
        return false;
    };
    if (code != 0)
        return fail("throws");
    if (!(std::fabs(v) < 1e15))
        return true;

    const long double unit = std::pow(10.0L, decimals);
    const long double scaled = std::fabs(static_cast<long double>(v)) * unit;
    const long double whole = std::floor(scaled);
    const long long expected = static_cast<long long>(whole) + (scaled - whole >= 0.5L);
    long long digitsOfText = 0;
    for (char c : text)
        if (c >= '0' && c <= '9')
            digitsOfText = digitsOfText * 10 + (c - '0');
    if (digitsOfText != expected)
        return fail("not rounded half away from zero");
    if ((text[0] == '-') != (v < 0 && expected != 0))
        return fail("wrong sign");

    double back = 0;
    if (errorOf([&] { back = ParseDouble(text); }) != 0)
        return fail("does not read back");
    const long double ulp = std::nextafter(std::fabs(back), HUGE_VAL) - std::fabs(back);
    if (std::fabs(static_cast<long double>(back) - v) > 0.5L / unit + ulp)
        return fail("reads back more than half a unit away");
    return true;
}

}  // namespace

class TestNumTextRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void numberTextReadsBackRounded_data();
    void numberTextReadsBackRounded();
    void patternTextReadsBackWithinHalfAUnit_data();
    void patternTextReadsBackWithinHalfAUnit();

    void largestDoublesTextReadsBack_data();
    void largestDoublesTextReadsBack();
    void singleTextAtAPowerOfTenWritesItselfAgain_data();
    void singleTextAtAPowerOfTenWritesItselfAgain();
};

// One row per family and kind; rows of a test share their seeds.
static void familyRows()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<bool>("single");
    QTest::addColumn<int>("count");
    for (bool single : {false, true}) {
        for (const Share &s : shares) {
            const int count = std::max(1, int(std::int64_t(valuesPerKind) * s.perMille / 1000));
            QTest::addRow("%s %s", single ? "Single" : "Double", s.name) << int(s.family) << single << count;
        }
    }
}

void TestNumTextRoundTrip::numberTextReadsBackRounded_data() { familyRows(); }

void TestNumTextRoundTrip::numberTextReadsBackRounded()
{
    QFETCH(int, family);
    QFETCH(bool, single);
    QFETCH(int, count);
    std::mt19937_64 random(20250101 + family);
    QByteArray failure;
    for (int i = 0; i < count; ++i) {
        const bool ok = single ? numberTextReadsBack(draw<float>(Family(family), random), failure)
                               : numberTextReadsBack(draw<double>(Family(family), random), failure);
        if (!ok)
            QFAIL(failure.constData());
    }
}

void TestNumTextRoundTrip::patternTextReadsBackWithinHalfAUnit_data() { familyRows(); }

void TestNumTextRoundTrip::patternTextReadsBackWithinHalfAUnit()
{
    QFETCH(int, family);
    QFETCH(bool, single);
    QFETCH(int, count);
    std::mt19937_64 random(20250202 + family);
    QByteArray failure;
    for (int i = 0; i < count; ++i) {
        const double v = single ? double(draw<float>(Family(family), random)) : draw<double>(Family(family), random);
        if (!patternTextReadsBack(v, "##,##0.#0", 2, failure) || !patternTextReadsBack(v, "##,##0.##0", 3, failure))
            QFAIL(failure.constData());
    }
}

// The four largest Doubles of each sign round at 15 digits to
// 1,79769313486232E+308, past the largest Double: their text must still read
// back, and write itself again.
void TestNumTextRoundTrip::largestDoublesTextReadsBack_data()
{
    QTest::addColumn<double>("value");
    const double largest = DBL_MAX;
    const double below1 = std::nextafter(largest, 0.0);
    const double below2 = std::nextafter(below1, 0.0);
    const double below3 = std::nextafter(below2, 0.0);
    QTest::newRow("largest Double") << largest;
    QTest::newRow("largest Double less 1 ulp") << below1;
    QTest::newRow("largest Double less 2 ulps") << below2;
    QTest::newRow("largest Double less 3 ulps") << below3;
    QTest::newRow("largest Double less 4 ulps") << std::nextafter(below3, 0.0);
    QTest::newRow("-largest Double") << -largest;
    QTest::newRow("-(largest Double less 2 ulps)") << -below2;
}

void TestNumTextRoundTrip::largestDoublesTextReadsBack()
{
    QFETCH(double, value);
    const std::string text = NumberText(value);
    double back = 0;
    QCOMPARE(errorOf([&] { back = ParseDouble(text); }), 0);
    QCOMPARE(NumberText(back), text);
    // Within one unit of the 15th digit of the value.
    QVERIFY2(std::fabs(back - value) <= 1e-14 * std::fabs(value), qPrintable(exact(back)));
}

// The Singles nearest to 1E+28 and 1E-38 lie below them by more than half a
// unit of the 7th digit of the decade below, so the few Singles just above
// whose text is "1E+28" or "1E-38" (found by checking every Single) risk a
// text that reads back to a Single of another text.
void TestNumTextRoundTrip::singleTextAtAPowerOfTenWritesItselfAgain_data()
{
    QTest::addColumn<float>("value");
    for (const char *power : {"1e28", "1e-38"}) {
        const float nearest = std::strtof(power, nullptr);
        float v = nearest;
        QTest::addRow("Single nearest to %s", power) << v;
        for (int above = 1; above <= 4; ++above) {
            v = std::nextafter(v, FLT_MAX);
            QTest::addRow("%s + %d ulp", power, above) << v;
            QTest::addRow("-(%s + %d ulp)", power, above) << -v;
        }
    }
}

void TestNumTextRoundTrip::singleTextAtAPowerOfTenWritesItselfAgain()
{
    QFETCH(float, value);
    const std::string text = NumberText(value);
    float back = 0;
    QCOMPARE(errorOf([&] { back = ParseSingle(text); }), 0);
    QCOMPARE(back, roundedToDigits(value, 7));
    QCOMPARE(NumberText(back), text);
}

QTEST_APPLESS_MAIN(TestNumTextRoundTrip)
#include "tst_numtext_roundtrip.moc"
