#include "catalogue/catalogue.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <limits>
#include <map>

#include "numtext/numtext.h"

namespace rotamet::catalogue {

namespace {

const std::array<Pump, 4> kBuiltIn{{
    {"0445010760", 37.35, 46.95, 110},
    {"0445010790", 37.6, 47.1, 90},
    {"0445010799", 34.75, 46.89, 100},
    {"A2C1637670080", 38.51, 50.51, 90},
}};

constexpr std::string_view kDegree = "°";

std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string problemText(Field field, const std::string &what) { return fieldName(field) + ": " + what; }

std::string builtInText(std::string_view code)
{
    return problemText(Field::Codice, std::string(code) + " è una pompa incorporata, che non si può cambiare.");
}

std::optional<Problem> checkCode(const std::string &code)
{
    if (code.empty())
        return Problem{Field::Codice, problemText(Field::Codice, "manca.")};
    const bool formed = code.size() >= kMinCodeLength && code.size() <= kMaxCodeLength
        && std::all_of(code.begin(), code.end(), [](char c) { return isDigit(c) || (c >= 'A' && c <= 'Z'); });
    if (!formed)
        return Problem{Field::Codice, problemText(Field::Codice, "da 10 a 13 caratteri, solo cifre e lettere.")};
    return std::nullopt;
}

// A dimension: an Italian number with at most kMaxDecimals decimals, no
// thousands separator, read as the window reads numbers.
struct Dimension {
    std::optional<double> value;
    std::optional<Problem> problem;
};

Dimension readDimension(Field field, std::string_view typed)
{
    const std::string_view t = trimmed(typed);
    if (t.empty())
        return {std::nullopt, Problem{field, problemText(field, "manca.")}};
    std::size_t i = 0;
    if (t[0] == '+' || t[0] == '-')
        ++i;
    const std::size_t signLength = i;  // 1 when a sign leads
    std::size_t digits = 0, decimals = 0;
    bool comma = false;
    for (; i < t.size(); ++i) {
        if (isDigit(t[i])) {
            ++digits;
            if (comma)
                ++decimals;
        } else if (t[i] == ',' && !comma) {
            comma = true;
        } else {
            break;
        }
    }
    if (i != t.size() || digits == 0)
        return {std::nullopt, Problem{field, problemText(field, "non è un numero (si scrive per esempio 37,35).")}};
    if (decimals > std::size_t(kMaxDecimals))
        return {std::nullopt, Problem{field, problemText(field, "al massimo 3 decimali.")}};
    // A file may hold any number of digits: the whole part's, without its
    // leading zeros, say whether the number can be in range at all, and only
    // a number that can is read.
    const Problem outOfRange{field, problemText(field, "deve essere maggiore di 0 e non oltre 100 mm.")};
    std::string_view whole = t.substr(signLength, t.size() - signLength - (comma ? decimals + 1 : 0));
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.size() > 3)  // 1000 or more
        return {std::nullopt, outOfRange};
    const double v = ParseDouble(std::string(t.substr(0, signLength)) + (whole.empty() ? "0" : std::string(whole)) + ","
                                 + std::string(t.substr(t.size() - decimals)));
    if (!(v > 0) || v > kMaxAlbero)
        return {std::nullopt, outOfRange};
    return {v, std::nullopt};
}

std::optional<int> readAngle(std::string_view typed)
{
    std::string_view t = trimmed(typed);
    if (t.size() >= kDegree.size() && t.substr(t.size() - kDegree.size()) == kDegree)
        t = trimmed(t.substr(0, t.size() - kDegree.size()));
    if (t.empty() || t.size() > 3 || !std::all_of(t.begin(), t.end(), isDigit))
        return std::nullopt;
    int v = 0;
    std::from_chars(t.data(), t.data() + t.size(), v);
    if (v < kMinFineAlzata || v > kMaxFineAlzata)
        return std::nullopt;
    return v;
}

// The fields of one line: split at ";", a field in double quotes taken as a
// spreadsheet writes it ("" inside stands for one "). Blank fields at the end
// of the line beyond the fourth do not count. Only the first four fields are
// kept: a line of nothing but separators costs no more than its length.
struct Fields {
    std::array<std::string, 4> text;
    std::size_t count = 1;
};

Fields splitFields(std::string_view line)
{
    Fields fields;
    std::size_t index = 0;    // of the field being read
    bool blank = true;        // the field holds only blanks so far
    std::size_t counted = 4;  // up to the last field beyond the fourth that is not blank
    const auto kept = [&]() -> std::string * { return index < fields.text.size() ? &fields.text[index] : nullptr; };
    const auto append = [&](char c) {
        if (std::string *field = kept())
            *field += c;
        if (c != ' ' && c != '\t')
            blank = false;
    };
    const auto endField = [&] {
        if (!kept() && !blank)
            counted = index + 1;
    };
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                append('"');
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                append(c);
            }
        } else if (c == '"' && blank) {
            if (std::string *field = kept())
                field->clear();
            quoted = true;
        } else if (c == ';') {
            endField();
            ++index;
            blank = true;
        } else {
            append(c);
        }
    }
    endField();
    fields.count = index < fields.text.size() ? index + 1 : counted;
    return fields;
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string lowered(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

}  // namespace

std::string Pump::fineAlzataText() const { return NumberText(std::int32_t(fineAlzata)) + std::string(kDegree); }

std::span<const Pump> builtInPumps() { return kBuiltIn; }

bool isBuiltIn(std::string_view code)
{
    return std::any_of(kBuiltIn.begin(), kBuiltIn.end(), [&](const Pump &p) { return p.code == code; });
}

std::string normalisedCode(std::string_view typed)
{
    std::string out(trimmed(typed));
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}

std::string fieldName(Field field)
{
    switch (field) {
    case Field::Codice: return "Codice";
    case Field::Minimo: return "Minimo";
    case Field::Massimo: return "Massimo";
    case Field::FineAlzata: break;
    }
    return "Fine alzata";
}

ReadPump readPump(const PumpText &text)
{
    Pump pump;
    pump.code = normalisedCode(text.codice);
    if (auto problem = checkCode(pump.code))
        return {std::nullopt, problem};
    const Dimension min = readDimension(Field::Minimo, text.minimo);
    if (min.problem)
        return {std::nullopt, min.problem};
    const Dimension max = readDimension(Field::Massimo, text.massimo);
    if (max.problem)
        return {std::nullopt, max.problem};
    if (!(*max.value > *min.value))
        return {std::nullopt, Problem{Field::Massimo, problemText(Field::Massimo, "deve essere maggiore del minimo.")}};
    const std::optional<int> angle = readAngle(text.fineAlzata);
    if (!angle)
        return {std::nullopt,
                Problem{Field::FineAlzata, problemText(Field::FineAlzata, "un numero intero di gradi da 1 a 360.")}};
    pump.minAlbero = *min.value;
    pump.maxAlbero = *max.value;
    pump.fineAlzata = *angle;
    return {pump, std::nullopt};
}

Catalogue::Catalogue() : pumps_(kBuiltIn.begin(), kBuiltIn.end()) {}

const Pump *Catalogue::find(std::string_view code) const
{
    const auto i = indexOf(code);
    return i ? &pumps_[*i] : nullptr;
}

std::optional<std::size_t> Catalogue::indexOf(std::string_view code) const
{
    for (std::size_t i = 0; i < kBuiltIn.size(); ++i)
        if (pumps_[i].code == code)
            return i;
    // The user's pumps are sorted by code.
    const auto users = pumps_.begin() + std::ptrdiff_t(kBuiltIn.size());
    const auto at
        = std::lower_bound(users, pumps_.end(), code, [](const Pump &p, std::string_view c) { return p.code < c; });
    if (at != pumps_.end() && at->code == code)
        return std::size_t(at - pumps_.begin());
    return std::nullopt;
}

bool Catalogue::isUserPump(std::string_view code) const
{
    const auto i = indexOf(code);
    return i && *i >= kBuiltIn.size();
}

std::optional<Problem> Catalogue::add(const Pump &pump)
{
    if (isBuiltIn(pump.code))
        return Problem{Field::Codice, builtInText(pump.code)};
    if (find(pump.code))
        return Problem{Field::Codice, problemText(Field::Codice, pump.code + " è già in catalogo.")};
    const auto users = pumps_.begin() + std::ptrdiff_t(kBuiltIn.size());
    const auto at
        = std::lower_bound(users, pumps_.end(), pump, [](const Pump &a, const Pump &b) { return a.code < b.code; });
    pumps_.insert(at, pump);
    return std::nullopt;
}

std::optional<Problem> Catalogue::replace(std::string_view code, const Pump &pump)
{
    if (isBuiltIn(code))
        return Problem{Field::Codice, builtInText(code)};
    Catalogue changed = *this;
    changed.remove(code);
    if (auto problem = changed.add(pump))
        return problem;
    *this = std::move(changed);
    return std::nullopt;
}

bool Catalogue::remove(std::string_view code)
{
    if (isBuiltIn(code))
        return false;
    const std::size_t before = linesWith(code);
    if (isUserPump(code))
        pumps_.erase(pumps_.begin() + std::ptrdiff_t(*indexOf(code)));
    std::erase_if(skipped, [&](const SkippedLine &line) { return line.code == code; });
    return before > 0;
}

std::size_t Catalogue::linesWith(std::string_view code) const
{
    return (isUserPump(code) ? 1 : 0)
        + std::size_t(std::count_if(skipped.begin(), skipped.end(),
                                    [&](const SkippedLine &line) { return line.code == code; }));
}

Catalogue readFile(std::string_view text)
{
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (text.substr(0, bom.size()) == bom)
        text.remove_prefix(bom.size());

    Catalogue catalogue;
    std::vector<Pump> pumps;            // in the file's order
    std::map<std::string, int> lineOf;  // code → the line it was read from
    bool headerSeen = false;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (number < std::numeric_limits<int>::max())
            ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (trimmed(line).empty())
            continue;

        // Read as UTF-8, or in the Windows code page; kept as its bytes.
        const Fields fields = isValidUtf8(line) ? splitFields(line) : splitFields(fromWindows1252(line));
        if (!headerSeen) {
            headerSeen = true;
            if (lowered(trimmed(fields.text[0])) == "codice")
                continue;
        }
        const auto skip = [&](std::string reason) {
            catalogue.skipped.push_back({number, std::string(line), std::move(reason), normalisedCode(fields.text[0])});
        };
        if (fields.count != 4) {
            const auto count
                = std::int32_t(std::min<std::size_t>(fields.count, std::numeric_limits<std::int32_t>::max()));
            skip("servono 4 campi separati da \";\" (codice;minimo;massimo;fine alzata), ce ne sono "
                 + NumberText(count) + ".");
            continue;
        }
        const ReadPump read = readPump({fields.text[0], fields.text[1], fields.text[2], fields.text[3]});
        if (read.problem) {
            skip(read.problem->reason);
            continue;
        }
        if (isBuiltIn(read.pump->code)) {
            skip(builtInText(read.pump->code));
            continue;
        }
        if (const auto [earlier, added] = lineOf.emplace(read.pump->code, number); !added) {
            skip(problemText(Field::Codice,
                             read.pump->code + " è già alla riga " + NumberText(std::int32_t(earlier->second)) + "."));
            continue;
        }
        pumps.push_back(*read.pump);
    }
    // Sorted once, not pump by pump: a file may hold many.
    std::sort(pumps.begin(), pumps.end(), [](const Pump &a, const Pump &b) { return a.code < b.code; });
    catalogue.pumps_.insert(catalogue.pumps_.end(), std::make_move_iterator(pumps.begin()),
                            std::make_move_iterator(pumps.end()));
    return catalogue;
}

bool isValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t more = 0;
        char32_t c = 0, least = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            more = 1, c = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            more = 2, c = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            more = 3, c = lead & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (bytes.size() - i <= more)
            return false;
        for (std::size_t k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and numbers beyond Unicode are no UTF-8.
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

std::string fromWindows1252(std::string_view bytes)
{
    // 0x80 to 0x9F; every other byte is the character of the same number.
    static constexpr std::array<char16_t, 32> k80{0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? char32_t(k80[b - 0x80]) : char32_t(b));
    }
    return out;
}

std::string fileText(const Catalogue &catalogue)
{
    std::string out = std::string(kHeader) + "\n";
    for (const Pump &p : catalogue.pumps().subspan(kBuiltIn.size()))
        out += p.code + ";" + NumberText(p.minAlbero) + ";" + NumberText(p.maxAlbero) + ";"
            + NumberText(std::int32_t(p.fineAlzata)) + "\n";
    // A line that ends in "\r" as it stood gets one more, which reading takes
    // as part of the line end.
    for (const SkippedLine &line : catalogue.skipped)
        out += line.text + (!line.text.empty() && line.text.back() == '\r' ? "\r\n" : "\n");
    return out;
}

}  // namespace rotamet::catalogue
