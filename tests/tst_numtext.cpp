// Number text: reading and writing numbers by the Italian rules.
#include "numtext/numtext.h"

#include <QTest>
#include <algorithm>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

using namespace rotamet;

namespace {

std::string_view view(const QByteArray &text) { return {text.constData(), std::size_t(text.size())}; }
QByteArray bytes(const std::string &text) { return QByteArray::fromStdString(text); }

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

// Every bit of a real, sign of zero included (QCOMPARE on reals is fuzzy).
QByteArray exact(double v)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}
QByteArray exact(float v)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.9g", double(v));
    return buf;
}

// printf in the "C" locale (no QCoreApplication calls setlocale here) with
// "," for "." is an independent reference for plain number text.
QByteArray printfG(double v, int precision)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*G", precision, v);
    return QByteArray(buf).replace('.', ',');
}

QByteArray repeated(char c, int count) { return QByteArray(count, c); }

// 2^-n written out in full as "0,000...": 5^n shifted n places right.
QByteArray powerOfHalf(int n)
{
    QByteArray digits = "1";  // 5^k, least significant digit first
    for (int k = 0; k < n; ++k) {
        int carry = 0;
        for (char &d : digits) {
            const int v = (d - '0') * 5 + carry;
            d = char('0' + v % 10);
            carry = v / 10;
        }
        if (carry)
            digits += char('0' + carry);
    }
    std::reverse(digits.begin(), digits.end());
    return "0," + repeated('0', n - int(digits.size())) + digits;
}

}  // namespace

class TestNumText : public QObject {
    Q_OBJECT

private slots:
    void parseDouble_data();
    void parseDouble();
    void parseSingle_data();
    void parseSingle();
    void parseInteger_data();
    void parseInteger();
    void parseFailure_data();
    void parseFailure();

    void numberTextReal_data();
    void numberTextReal();
    void numberTextInteger_data();
    void numberTextInteger();

    void patternText_data();
    void patternText();
    void patternTextRoundsHalfAwayFromZero_data();
    void patternTextRoundsHalfAwayFromZero();
    void patternTextWritesHugeValues_data();
    void patternTextWritesHugeValues();
    void patternTextWritesHundredsOfDecimals();

    void nonFiniteValuesOverflow_data();
    void nonFiniteValuesOverflow();

    void removeAll_data();
    void removeAll();

    void patternTextIsTheValueRoundedHalfAwayFromZero();
    void realTextsMatchPrintfAndReadBack();
};

// ---------------------------------------------------------------- reading

void TestNumText::parseDouble_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("1.000") << QByteArray("1.000") << 1000.0;
    QTest::newRow("1,000") << QByteArray("1,000") << 1.0;
    QTest::newRow(" 2,5 ") << QByteArray(" 2,5 ") << 2.5;
    QTest::newRow("tab 2,5 tab") << QByteArray("\t2,5\t") << 2.5;
    QTest::newRow("0.4") << QByteArray("0.4") << 4.0;
    QTest::newRow("1.500") << QByteArray("1.500") << 1500.0;
    QTest::newRow("12.34.567") << QByteArray("12.34.567") << 1234567.0;
    QTest::newRow("1.000.000,25") << QByteArray("1.000.000,25") << 1000000.25;
    QTest::newRow("5,") << QByteArray("5,") << 5.0;
    QTest::newRow(",5") << QByteArray(",5") << 0.5;
    QTest::newRow("+7") << QByteArray("+7") << 7.0;
    QTest::newRow("-0,4") << QByteArray("-0,4") << -0.4;
    QTest::newRow("000123") << QByteArray("000123") << 123.0;
    QTest::newRow("0,30000000000000004") << QByteArray("0,30000000000000004") << 0.30000000000000004;
    QTest::newRow("-1.234,5E3") << QByteArray("-1.234,5E3") << -1234500.0;
    QTest::newRow("7,450581E-10") << QByteArray("7,450581E-10") << 7.450581e-10;
    QTest::newRow("7,450581e-10") << QByteArray("7,450581e-10") << 7.450581e-10;
    QTest::newRow("1E+3") << QByteArray("1E+3") << 1000.0;
    QTest::newRow("5,E2") << QByteArray("5,E2") << 500.0;
    QTest::newRow("-0") << QByteArray("-0") << -0.0;
    QTest::newRow("0E999999") << QByteArray("0E999999") << 0.0;
    QTest::newRow("1E-999") << QByteArray("1E-999") << 0.0;
    QTest::newRow("-1E-999") << QByteArray("-1E-999") << -0.0;
    QTest::newRow("2E-324") << QByteArray("2E-324") << 0.0;
    QTest::newRow("3E-324") << QByteArray("3E-324") << 4.9406564584124654e-324;
    QTest::newRow("1,7976931348623157E308") << QByteArray("1,7976931348623157E308") << DBL_MAX;
    QTest::newRow("2,2250738585072011E-308") << QByteArray("2,2250738585072011E-308") << 2.2250738585072009e-308;
    // 2^53 + 1 lies halfway between two doubles: the tie goes to even, any
    // later non-zero digit, however far away, tips it upwards.
    QTest::newRow("9.007.199.254.740.993") << QByteArray("9.007.199.254.740.993") << 9007199254740992.0;
    QTest::newRow("9007199254740993,0000001") << QByteArray("9007199254740993,0000001") << 9007199254740994.0;
    QTest::newRow("9007199254740993, 10000 zeros") << "9007199254740993," + repeated('0', 10000) << 9007199254740992.0;
    QTest::newRow("9007199254740993, 10000 zeros, 1")
        << "9007199254740993," + repeated('0', 10000) + "1" << 9007199254740994.0;
    QTest::newRow("9007199254740993, 5000 zeros, 1, E-5001")
        << "9007199254740993" + repeated('0', 5000) + "1E-5001" << 9007199254740994.0;
    QTest::newRow("10000 digits 1234567890...")
        << repeated('0', 3) + QByteArray("1234567890").repeated(1000) + "E-9999" << 1.2345678901234567;
    QTest::newRow("0, 10000 zeros, 1") << "0," + repeated('0', 10000) + "1" << 0.0;
    // Half the smallest subnormal has 751 significant digits: all of them
    // decide between 0 and the subnormal, so none may be cut off.
    QTest::newRow("2^-1075 written out") << powerOfHalf(1075) << 0.0;
    QTest::newRow("2^-1075 written out, then 1") << powerOfHalf(1075) + "1" << 4.9406564584124654e-324;
    QTest::newRow("1E-18446744073709551617") << QByteArray("1E-18446744073709551617") << 0.0;
    QTest::newRow("0E99999999999999999999") << QByteArray("0E99999999999999999999") << 0.0;
}

void TestNumText::parseDouble()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    QCOMPARE(exact(ParseDouble(view(text))), exact(expected));
}

void TestNumText::parseSingle_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<float>("expected");

    QTest::newRow("0,4") << QByteArray("0,4") << 0.4f;
    QTest::newRow(" 0,45 ") << QByteArray(" 0,45 ") << 0.45f;
    QTest::newRow("7,450581E-10") << QByteArray("7,450581E-10") << 7.450581e-10f;
    QTest::newRow("16777217") << QByteArray("16777217") << 16777216.0f;
    // Read through a double this text would become 1 + 2^-24, a tie that
    // goes down to 1; the nearest Single is 1 + 2^-23.
    QTest::newRow("1,0000000596046448") << QByteArray("1,0000000596046448") << 1.00000012f;
    QTest::newRow("1,000000059604644775390625") << QByteArray("1,000000059604644775390625") << 1.0f;
    QTest::newRow("3,40282356E38") << QByteArray("3,40282356E38") << FLT_MAX;
    QTest::newRow("1E-45") << QByteArray("1E-45") << 1.40129846e-45f;
    QTest::newRow("1E-46") << QByteArray("1E-46") << 0.0f;
    QTest::newRow("-1E-46") << QByteArray("-1E-46") << -0.0f;
}

void TestNumText::parseSingle()
{
    QFETCH(QByteArray, text);
    QFETCH(float, expected);
    QCOMPARE(exact(ParseSingle(view(text))), exact(expected));
}

void TestNumText::parseInteger_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("bits");
    QTest::addColumn<qint64>("expected");

    QTest::newRow(" 2,5  as Int16") << QByteArray(" 2,5 ") << 16 << qint64(2);
    QTest::newRow("3,5 as Int16") << QByteArray("3,5") << 16 << qint64(4);
    QTest::newRow("-2,5 as Int16") << QByteArray("-2,5") << 16 << qint64(-2);
    QTest::newRow("-3,5 as Int16") << QByteArray("-3,5") << 16 << qint64(-4);
    QTest::newRow("0,5 as Int16") << QByteArray("0,5") << 16 << qint64(0);
    QTest::newRow("2,5000001 as Int16") << QByteArray("2,5000001") << 16 << qint64(3);
    QTest::newRow("2,4999999 as Int16") << QByteArray("2,4999999") << 16 << qint64(2);
    QTest::newRow("1.000 as Int16") << QByteArray("1.000") << 16 << qint64(1000);
    QTest::newRow("1E4 as Int16") << QByteArray("1E4") << 16 << qint64(10000);
    QTest::newRow("32767,4 as Int16") << QByteArray("32767,4") << 16 << qint64(32767);
    QTest::newRow("-32768,5 as Int16") << QByteArray("-32768,5") << 16 << qint64(-32768);
    QTest::newRow("-1E-999 as Int16") << QByteArray("-1E-999") << 16 << qint64(0);
    QTest::newRow("40000 as Int32") << QByteArray("40000") << 32 << qint64(40000);
    QTest::newRow("2147483646,5 as Int32") << QByteArray("2147483646,5") << 32 << qint64(2147483646);
    QTest::newRow("2147483647 as Int32") << QByteArray("2147483647") << 32 << qint64(2147483647);
    QTest::newRow("-2147483648,5 as Int32") << QByteArray("-2147483648,5") << 32 << qint64(-2147483648LL);
}

void TestNumText::parseInteger()
{
    QFETCH(QByteArray, text);
    QFETCH(int, bits);
    QFETCH(qint64, expected);
    const qint64 got = bits == 16 ? qint64(ParseInt16(view(text))) : qint64(ParseInt32(view(text)));
    QCOMPARE(got, expected);
}

void TestNumText::parseFailure_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<int>("code");

    const int mismatch = errcode::TypeMismatch;
    for (const char *text :
         {"",    "   ", "7,0°",  "°",  "abc", "1,2,3", ",",   ".5",    "5.",   "1..2", "1.,5", "1,5.3", "-",        "+",
          "--5", "- 5", "1 000", "E5", ",E5", "1E",    "1E+", "1E2,5", "1e5x", "0x10", "inf",  "nan",   "1.000,5.3"})
        QTest::newRow(text[0] == '\0'      ? "empty text"
                          : text[0] == ' ' ? "blanks only"
                                           : text)
            << QByteArray(text) << QByteArray("Double") << mismatch;
    QTest::newRow("7,0° as Single") << QByteArray("7,0°") << QByteArray("Single") << mismatch;
    QTest::newRow("2,5° as Int16") << QByteArray("2,5°") << QByteArray("Int16") << mismatch;
    QTest::newRow("empty text as Int32") << QByteArray("") << QByteArray("Int32") << mismatch;

    const int overflow = errcode::Overflow;
    QTest::newRow("9E999") << QByteArray("9E999") << QByteArray("Double") << overflow;
    QTest::newRow("-9E999") << QByteArray("-9E999") << QByteArray("Double") << overflow;
    QTest::newRow("1,8E308") << QByteArray("1,8E308") << QByteArray("Double") << overflow;
    QTest::newRow("1, 10000 zeros") << "1" + repeated('0', 10000) << QByteArray("Double") << overflow;
    QTest::newRow("1E18446744073709551617") << QByteArray("1E18446744073709551617") << QByteArray("Double") << overflow;
    QTest::newRow("1E39 as Single") << QByteArray("1E39") << QByteArray("Single") << overflow;
    QTest::newRow("3,4028236E38 as Single") << QByteArray("3,4028236E38") << QByteArray("Single") << overflow;
    QTest::newRow("40000 as Int16") << QByteArray("40000") << QByteArray("Int16") << overflow;
    QTest::newRow("32767,5 as Int16") << QByteArray("32767,5") << QByteArray("Int16") << overflow;
    QTest::newRow("-32769 as Int16") << QByteArray("-32769") << QByteArray("Int16") << overflow;
    QTest::newRow("9E999 as Int16") << QByteArray("9E999") << QByteArray("Int16") << overflow;
    QTest::newRow("2147483647,5 as Int32") << QByteArray("2147483647,5") << QByteArray("Int32") << overflow;
    QTest::newRow("-2147483649 as Int32") << QByteArray("-2147483649") << QByteArray("Int32") << overflow;
    QTest::newRow("1E10 as Int32") << QByteArray("1E10") << QByteArray("Int32") << overflow;
}

void TestNumText::parseFailure()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, kind);
    QFETCH(int, code);
    const std::string_view t = view(text);
    const int got = errorOf([&] {
        if (kind == "Double")
            (void)ParseDouble(t);
        else if (kind == "Single")
            (void)ParseSingle(t);
        else if (kind == "Int16")
            (void)ParseInt16(t);
        else
            (void)ParseInt32(t);
    });
    QCOMPARE(got, code);
}

// ---------------------------------------------------------------- plain text

void TestNumText::numberTextReal_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QByteArray>("expected");

    auto row = [](const char *name, double v, const char *expected) {
        QTest::newRow(name) << v << false << QByteArray(expected);
    };
    row("47", 47.0, "47");
    row("0.4", 0.4, "0,4");
    row("37.35", 37.35, "37,35");
    row("46.95", 46.95, "46,95");
    row("-1.5", -1.5, "-1,5");
    row("0.1 + 0.2", 0.1 + 0.2, "0,3");
    row("1/3", 1.0 / 3, "0,333333333333333");
    row("2/3", 2.0 / 3, "0,666666666666667");
    row("827.7777777777778", 827.7777777777778, "827,777777777778");
    row("123456789012345", 123456789012345.0, "123456789012345");
    row("123456789012345.6", 123456789012345.6, "123456789012346");
    row("999999999999999.9", 999999999999999.9, "1E+15");
    row("1e15", 1e15, "1E+15");
    row("1.5e100", 1.5e100, "1,5E+100");
    row("0.0001", 0.0001, "0,0001");
    row("0.00001", 0.00001, "1E-05");
    row("1e-10", 1e-10, "1E-10");
    row("largest double", DBL_MAX, "1,79769313486231E+308");
    row("smallest subnormal", 4.9406564584124654e-324, "4,94065645841247E-324");
    row("0", 0.0, "0");
    row("-0", -0.0, "0");

    auto single = [](const char *name, float v, const char *expected) {
        QTest::newRow(name) << double(v) << true << QByteArray(expected);
    };
    single("Single 7.4505806e-10", 7.4505806e-10f, "7,450581E-10");
    single("Single 0.4", 0.4f, "0,4");
    single("Single 0.45", 0.45f, "0,45");
    single("Single 1234567", 1234567.0f, "1234567");
    single("Single 12345678", 12345678.0f, "1,234568E+07");
    single("Single 0.0001", 0.0001f, "0,0001");
    single("Single 1e-5", 1e-5f, "1E-05");
    single("Single largest", FLT_MAX, "3,402823E+38");
    single("Single smallest subnormal", 1.40129846e-45f, "1,401298E-45");
    single("Single -0", -0.0f, "0");
}

void TestNumText::numberTextReal()
{
    QFETCH(double, value);
    QFETCH(bool, single);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(single ? NumberText(float(value)) : NumberText(value)), expected);
}

void TestNumText::numberTextInteger_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("Int16 0") << qint64(0) << 16 << QByteArray("0");
    QTest::newRow("Int16 1000") << qint64(1000) << 16 << QByteArray("1000");
    QTest::newRow("Int16 -32768") << qint64(-32768) << 16 << QByteArray("-32768");
    QTest::newRow("Int16 32767") << qint64(32767) << 16 << QByteArray("32767");
    QTest::newRow("Int32 -2147483648") << qint64(-2147483648LL) << 32 << QByteArray("-2147483648");
    QTest::newRow("Int32 2147483647") << qint64(2147483647) << 32 << QByteArray("2147483647");
}

void TestNumText::numberTextInteger()
{
    QFETCH(qint64, value);
    QFETCH(int, bits);
    QFETCH(QByteArray, expected);
    const std::string text = bits == 16 ? NumberText(std::int16_t(value)) : NumberText(std::int32_t(value));
    QCOMPARE(bytes(text), expected);
}

// ---------------------------------------------------------------- pattern text

void TestNumText::patternText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<QByteArray>("expected");

    auto row = [](double v, const char *pattern, const char *expected) {
        char name[80];
        std::snprintf(name, sizeof name, "%.17g %s", v, pattern);
        QTest::newRow(name) << v << QByteArray(pattern) << QByteArray(expected);
    };
    row(1234.5, "##,##0.#0", "1.234,50");
    row(1, "##,##0.#0", "1,00");
    row(1.5, "##,##0.#0", "1,50");
    row(100, "##,##0.#0", "100,00");
    row(1000, "##,##0.#0", "1.000,00");
    row(1234567.891, "##,##0.#0", "1.234.567,89");
    row(8571.428571, "##,##0.#0", "8.571,43");
    row(1666.65, "##,##0.#0", "1.666,65");
    row(999.995, "##,##0.#0", "1.000,00");  // a bit above the tie
    row(-0.001, "##,##0.#0", "0,00");
    row(7.450580707946131e-10, "##,##0.#0", "0,00");

    row(0.0625, "##,##0.#00", "0,063");
    row(0.0005, "##,##0.#00", "0,001");
    row(1234.5678, "##,##0.#00", "1.234,568");

    row(0.4, "##,##0.##0", "0,400");
    row(12.3456, "##,##0.##0", "12,346");
    row(-0.04, "##,##0.##0", "-0,040");

    row(7, "##,##0.0°", "7,0°");
    row(90, "##,##0.0°", "90,0°");
    row(999.95, "##,##0.0°", "1.000,0°");
    row(-0.05, "##,##0.0°", "-0,1°");
    row(-0.04, "##,##0.0°", "0,0°");

    row(12.5, "##,##0.0#°", "12,5°");
    row(12.25, "##,##0.0#°", "12,25°");
    row(12, "##,##0.0#°", "12,0°");
    row(12.999, "##,##0.0#°", "13,0°");
    row(12.101, "##,##0.0#°", "12,1°");
    row(0, "##,##0.0#°", "0,0°");
    row(-0.0, "##,##0.0#°", "0,0°");

    row(7, "##,##0.#0°", "7,00°");
    row(1666.65, "##,##0.#0°", "1.666,65°");

    // Any pattern follows the same rules.
    row(1234.5, "0.00", "1234,50");
    row(3.14159, "0.00 kg", "3,14 kg");
    row(2.5, "ms ##,##0.#0", "ms 2,50");
    row(7, "000.0", "007,0");
    row(1234567, "#,##0", "1.234.567");
    row(3, "0.##", "3");  // no decimals left: no ","
    row(9007199254740993.0, "0.0", "9007199254740992,0");
    row(1e20, "#,##0.00", "100.000.000.000.000.000.000,00");
    row(0.1, "0.00000000000000000000", "0,10000000000000000555");
}

void TestNumText::patternText()
{
    QFETCH(double, value);
    QFETCH(QByteArray, pattern);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(PatternText(value, view(pattern))), expected);
}

void TestNumText::patternTextRoundsHalfAwayFromZero_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<QByteArray>("expected");

    auto row = [](double v, const char *pattern, const char *expected) {
        char name[80];
        std::snprintf(name, sizeof name, "%.17g %s", v, pattern);
        QTest::newRow(name) << v << QByteArray(pattern) << QByteArray(expected);
    };
    // Exact ties in binary, where rounding to even would go the other way.
    row(0.125, "##,##0.#0", "0,13");
    row(2.125, "##,##0.#0", "2,13");
    row(-2.125, "##,##0.#0", "-2,13");
    row(0.0625, "##,##0.#00", "0,063");
    row(1.0625, "##,##0.##0", "1,063");
    row(7.25, "##,##0.0°", "7,3°");
    row(-7.25, "##,##0.0°", "-7,3°");
    row(1666.25, "##,##0.0°", "1.666,3°");
    row(12.125, "##,##0.0#°", "12,13°");
    row(0.625, "##,##0.#0°", "0,63°");
    row(2.5, "0", "3");
    row(-2.5, "0", "-3");
    row(999.5, "#,##0", "1.000");
    row(0.03125, "0.0000", "0,0313");
    row(-0.03125, "0.0000", "-0,0313");
    row(1.90625, "0.0000", "1,9063");
    // Ties where to even agrees.
    row(0.375, "##,##0.#0", "0,38");
    row(7.75, "##,##0.0°", "7,8°");
    // Just below a tie, and values whose decimal text only looks like one.
    row(std::nextafter(2.125, 0.0), "##,##0.#0", "2,12");
    row(std::nextafter(-7.25, 0.0), "##,##0.0°", "-7,2°");
    row(std::nextafter(0.03125, 0.0), "0.0000", "0,0312");
    row(2.675, "##,##0.#0", "2,67");
    row(1.005, "##,##0.#0", "1,00");
}

void TestNumText::patternTextRoundsHalfAwayFromZero() { patternText(); }

void TestNumText::patternTextWritesHugeValues_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("integerDigits");

    QTest::newRow("1e308") << 1e308 << 309;
    QTest::newRow("-1e308") << -1e308 << 309;
    QTest::newRow("largest double") << DBL_MAX << 309;
    QTest::newRow("2^53") << 9007199254740992.0 << 16;
}

void TestNumText::patternTextWritesHugeValues()
{
    QFETCH(double, value);
    QFETCH(int, integerDigits);
    const std::string text = PatternText(value, "##,##0.#0");
    const std::size_t length = (value < 0) + integerDigits + (integerDigits - 1) / 3 + 3;
    QCOMPARE(text.size(), length);
    QCOMPARE(text.substr(text.size() - 3), std::string(",00"));
    QCOMPARE(exact(ParseDouble(text)), exact(value));
}

void TestNumText::patternTextWritesHundredsOfDecimals()
{
    const QByteArray pattern = "0." + repeated('0', 400);
    const QByteArray expected = "0,1000000000000000055511151231257827021181583404541015625" + repeated('0', 345);
    QCOMPARE(bytes(PatternText(0.1, view(pattern))), expected);
}

void TestNumText::nonFiniteValuesOverflow_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("inf") << std::numeric_limits<double>::infinity();
    QTest::newRow("-inf") << -std::numeric_limits<double>::infinity();
}

void TestNumText::nonFiniteValuesOverflow()
{
    QFETCH(double, value);
    QCOMPARE(errorOf([&] { (void)NumberText(value); }), errcode::Overflow);
    QCOMPARE(errorOf([&] { (void)NumberText(float(value)); }), errcode::Overflow);
    QCOMPARE(errorOf([&] { (void)PatternText(value, "##,##0.#0"); }), errcode::Overflow);
}

// ---------------------------------------------------------------- removing

void TestNumText::removeAll_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("7,0° without °") << QByteArray("7,0°") << QByteArray("°") << QByteArray("7,0");
    QTest::newRow("°7°,0°° without °") << QByteArray("°7°,0°°") << QByteArray("°") << QByteArray("7,0");
    QTest::newRow("7,0 without °") << QByteArray("7,0") << QByteArray("°") << QByteArray("7,0");
    QTest::newRow("empty without °") << QByteArray("") << QByteArray("°") << QByteArray("");
    QTest::newRow("7,0° without nothing") << QByteArray("7,0°") << QByteArray("") << QByteArray("7,0°");
    QTest::newRow("aaaaa without aa") << QByteArray("aaaaa") << QByteArray("aa") << QByteArray("a");
    QTest::newRow("Gradi without g") << QByteArray("Gradi") << QByteArray("g") << QByteArray("Gradi");
    QTest::newRow("ms 1,00 without ms ") << QByteArray("ms 1,00") << QByteArray("ms ") << QByteArray("1,00");
}

void TestNumText::removeAll()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, piece);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(RemoveAll(view(text), view(piece))), expected);
}

// ---------------------------------------------------------------- properties

// The exact value times 10^D fits a long double's 64-bit mantissa for up to
// 3 decimals, and for 4 when the value is a multiple of 1/32, so the correctly
// rounded digits can be worked out independently of the library.
void TestNumText::patternTextIsTheValueRoundedHalfAwayFromZero()
{
    static_assert(std::numeric_limits<long double>::digits >= 64);
    struct Case {
        const char *pattern;
        long double unit;  // 10^decimals
    };
    const Case cases[] = {{"##,##0.#0", 100.0L}, {"##,##0.##0", 1000.0L}, {"#,##0.0000", 10000.0L}};
    std::mt19937_64 random(20240607);
    std::uniform_real_distribution<double> exponent(-4.0, 7.0);
    int ties = 0;
    for (int i = 0; i < 4000; ++i) {
        double v = std::pow(10.0, exponent(random));
        const bool snapped = i % 3 == 0;
        if (snapped)
            v = std::round(v * 32) / 32;  // many exact ties
        if (i % 2 == 0)
            v = -v;
        for (const Case &c : cases) {
            const std::string text = PatternText(v, c.pattern);
            const auto context = [&] { return QString::asprintf("%.17g %s -> %s", v, c.pattern, text.c_str()); };

            const double back = ParseDouble(text);
            QVERIFY2(std::fabs(static_cast<long double>(back) - v) <= 0.5L / c.unit + std::fabs(v) * DBL_EPSILON,
                     qPrintable(context()));

            if (c.unit > 1000 && !snapped)
                continue;
            const long double scaled = std::fabs(static_cast<long double>(v)) * c.unit;  // exact
            const long double whole = std::floor(scaled);
            ties += scaled - whole == 0.5L;
            const long long digits = static_cast<long long>(whole) + (scaled - whole >= 0.5L);
            QByteArray onlyDigits;
            for (char ch : text)
                if (ch >= '0' && ch <= '9')
                    onlyDigits += ch;
            QVERIFY2(onlyDigits.toLongLong() == digits, qPrintable(context()));
            QVERIFY2((text[0] == '-') == (v < 0 && digits != 0), qPrintable(context()));
        }
    }
    QVERIFY2(ties > 500, qPrintable(QString::number(ties)));
}

// Plain number text is %.15G / %.7G with "," and reads back to a value that
// writes the same text; the shortest exact text of any value reads back to it.
void TestNumText::realTextsMatchPrintfAndReadBack()
{
    std::mt19937_64 random(4242);
    std::uniform_real_distribution<double> exponent(-7.0, 17.0);
    for (int i = 0; i < 3000; ++i) {
        double d = i % 2 ? std::pow(10.0, exponent(random)) : std::bit_cast<double>(random());
        if (!std::isfinite(d))
            continue;
        const float f = i % 2 ? float(d) : std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(f))
            continue;

        const std::string dText = NumberText(d);
        QCOMPARE(bytes(dText), d == 0 ? QByteArray("0") : printfG(d, 15));
        QCOMPARE(bytes(NumberText(ParseDouble(dText))), bytes(dText));

        const std::string fText = NumberText(f);
        QCOMPARE(bytes(fText), f == 0 ? QByteArray("0") : printfG(f, 7));
        QCOMPARE(bytes(NumberText(ParseSingle(fText))), bytes(fText));

        char shortest[40];
        *std::to_chars(shortest, shortest + sizeof shortest, d).ptr = '\0';
        const QByteArray italian = QByteArray(shortest).replace('.', ',');
        QCOMPARE(exact(ParseDouble(view(italian))), exact(d));
        *std::to_chars(shortest, shortest + sizeof shortest, f).ptr = '\0';
        QCOMPARE(exact(ParseSingle(view(QByteArray(shortest).replace('.', ',')))), exact(f));
    }
}

QTEST_APPLESS_MAIN(TestNumText)
#include "tst_numtext.moc"
