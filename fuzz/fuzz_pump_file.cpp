// The pump file's reader on any bytes, as a whole file: it throws nothing;
// every line that is not blank becomes a pump, the header or a skipped line
// that holds the line's bytes; every pump keeps the catalogue's rules; every
// reason is UTF-8 text that names what is wrong; and the text written back
// (fileText) reads again to the same pumps and the same skipped lines, and
// writes again to the same text.
#include "catalogue/catalogue.h"
#include "oracle.h"

#include <algorithm>
#include <vector>

namespace {

using namespace rotamet::catalogue;

bool blank(char c) { return c == ' ' || c == '\t'; }

// The file's lines, as the reader is documented to cut them: a byte order
// mark dropped, split at "\n", one "\r" before it dropped.
std::vector<std::string_view> linesOf(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
    }
    return lines;
}

bool isBlank(std::string_view line) { return std::all_of(line.begin(), line.end(), blank); }

bool lowerStartsWithCodice(std::string_view line)
{
    std::string lowered(line);
    for (char &c : lowered)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lowered.find("codice") != std::string::npos;
}

bool keepsTheRules(const Pump &p)
{
    const bool codeFormed = p.code.size() >= kMinCodeLength && p.code.size() <= kMaxCodeLength
        && std::all_of(p.code.begin(), p.code.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); });
    return codeFormed && !isBuiltIn(p.code) && p.minAlbero > 0 && p.maxAlbero > p.minAlbero && p.maxAlbero <= kMaxAlbero
        && p.fineAlzata >= kMinFineAlzata && p.fineAlzata <= kMaxFineAlzata;
}

Catalogue read(std::string_view input, std::string_view text)
{
    try {
        return readFile(text);
    } catch (const std::exception &e) {
        fuzz::fail(input, "readFile threw", e.what());
    } catch (...) {
        fuzz::fail(input, "readFile threw something that is no std::exception");
    }
}

std::vector<std::string> skippedTexts(const Catalogue &c)
{
    std::vector<std::string> out;
    for (const SkippedLine &line : c.skipped)
        out.push_back(line.text);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const Catalogue c = read(input, input);

    // The built-in pumps first, then the user's, sorted, each within the rules.
    const auto pumps = c.pumps();
    const auto builtIn = builtInPumps();
    if (pumps.size() < builtIn.size() || !std::equal(builtIn.begin(), builtIn.end(), pumps.begin()))
        fuzz::fail(input, "the built-in pumps are not first, as they are");
    const auto users = pumps.subspan(builtIn.size());
    for (std::size_t i = 0; i < users.size(); ++i) {
        if (!keepsTheRules(users[i]))
            fuzz::fail(input, "a pump breaks the catalogue's rules", users[i].code);
        if (i > 0 && !(users[i - 1].code < users[i].code))
            fuzz::fail(input, "the user's pumps are not sorted by code, each once", users[i].code);
        if (c.indexOf(users[i].code) != builtIn.size() + i)
            fuzz::fail(input, "indexOf does not find a pump where it is", users[i].code);
    }

    // Every line that is not blank is a pump, the header or a skipped line,
    // which holds its bytes.
    const std::vector<std::string_view> lines = linesOf(input);
    const auto firstFilled = std::find_if(lines.begin(), lines.end(), [](auto l) { return !isBlank(l); });
    const auto filled = std::size_t(std::count_if(lines.begin(), lines.end(), [](auto l) { return !isBlank(l); }));
    const std::size_t accounted = users.size() + c.skipped.size();
    if (accounted != filled && !(accounted + 1 == filled && lowerStartsWithCodice(*firstFilled)))
        fuzz::fail(input, "lines neither read nor skipped",
                   std::to_string(filled) + " lines, " + std::to_string(users.size()) + " pumps, "
                       + std::to_string(c.skipped.size()) + " skipped");
    int previous = 0;
    for (const SkippedLine &line : c.skipped) {
        if (line.number <= previous || std::size_t(line.number) > lines.size())
            fuzz::fail(input, "a skipped line's number is out of order", std::to_string(line.number));
        previous = line.number;
        if (line.text != lines[std::size_t(line.number) - 1])
            fuzz::fail(input, "a skipped line does not hold its bytes", std::to_string(line.number));
        if (line.reason.empty() || !isValidUtf8(line.reason) || line.reason.back() != '.')
            fuzz::fail(input, "a reason is no sentence in UTF-8", line.reason);
        const Field fieldsNamed[] = {Field::Codice, Field::Minimo, Field::Massimo, Field::FineAlzata};
        const bool named = line.reason.starts_with("servono 4 campi")
            || std::any_of(std::begin(fieldsNamed), std::end(fieldsNamed),
                           [&](Field f) { return line.reason.starts_with(fieldName(f) + ": "); });
        if (!named)
            fuzz::fail(input, "a reason names neither a field nor the fields", line.reason);
    }

    // Written back and read again: the same pumps, the same skipped lines,
    // and the same text once more.
    const std::string written = fileText(c);
    const Catalogue again = read(input, written);
    if (!std::equal(pumps.begin(), pumps.end(), again.pumps().begin(), again.pumps().end()))
        fuzz::fail(input, "the pumps written back read again differently", written);
    if (skippedTexts(again) != skippedTexts(c))
        fuzz::fail(input, "the skipped lines written back read again differently", written);
    if (fileText(again) != written)
        fuzz::fail(input, "the file written back writes again differently", written);
    return 0;
}
