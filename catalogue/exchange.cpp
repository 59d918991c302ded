#include "catalogue/exchange.h"

#include <algorithm>

namespace rotamet::catalogue {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// digits, then "," or "." and digits, then "E", a sign and digits:
// "4,4501E+08", "4.45E8".
bool isScientific(std::string_view s)
{
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        return i > from;
    };
    if (!digits())
        return false;
    if (i < s.size() && (s[i] == ',' || s[i] == '.')) {
        ++i;
        if (!digits())
            return false;
    }
    if (i == s.size() || (s[i] != 'E' && s[i] != 'e'))
        return false;
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    return digits() && i == s.size();
}

}  // namespace

std::string exportText(const Catalogue &catalogue)
{
    Catalogue users = catalogue;
    users.skipped.clear();
    return fileText(users);
}

std::string spreadsheetNumberReason(std::string_view code)
{
    const std::string shown(code);
    if (!code.empty() && code.size() < kMinCodeLength && std::all_of(code.begin(), code.end(), isDigit))
        return "Codice: " + shown
            + " è un numero, non un codice: il foglio di calcolo ha tolto lo zero iniziale "
              "(il codice era forse 0"
            + shown
            + "?). La riga non è importata: nel foglio di calcolo dare alla colonna del codice il formato "
              "Testo e riscrivere il codice.";
    if (isScientific(code))
        return "Codice: " + shown
            + " è un numero in notazione scientifica, non un codice: il foglio di calcolo ne ha perso le "
              "cifre. La riga non è importata: nel foglio di calcolo dare alla colonna del codice il formato "
              "Testo e riscrivere il codice.";
    return {};
}

ImportPlan planImport(const Catalogue &catalogue, std::string_view fileText)
{
    const Catalogue theirs = readFile(fileText);
    ImportPlan plan;
    for (const Pump &pump : theirs.pumps().subspan(builtInPumps().size())) {
        const Pump *own = catalogue.find(pump.code);
        if (!own)
            plan.added.push_back(pump);
        else if (*own == pump)
            plan.present.push_back(pump.code);
        else
            plan.conflicts.push_back({*own, pump});
    }
    for (const SkippedLine &line : theirs.skipped) {
        // A built-in pump in the file: the line is sound but for its code,
        // which the catalogue has already.
        if (isBuiltIn(line.code)) {
            const std::optional<Problem> builtIn = Catalogue().add(Pump{line.code, 1, 2, 1});
            if (builtIn && line.reason == builtIn->reason) {
                plan.present.push_back(line.code);
                continue;
            }
        }
        std::string reason = spreadsheetNumberReason(line.code);
        if (reason.empty())
            reason = line.reason;
        plan.refused.push_back(
            {line.number, isValidUtf8(line.text) ? line.text : fromWindows1252(line.text), std::move(reason)});
    }
    return plan;
}

std::size_t applyImport(Catalogue &catalogue, const ImportPlan &plan, const std::vector<bool> &takeTheirs)
{
    std::size_t changed = 0;
    for (const Pump &pump : plan.added)
        if (!catalogue.find(pump.code) && !catalogue.add(pump))
            ++changed;
    for (std::size_t i = 0; i < plan.conflicts.size(); ++i) {
        const Conflict &conflict = plan.conflicts[i];
        const Pump *now = catalogue.find(conflict.theirs.code);
        // Taken only over the pump the user saw: one that another copy of
        // the program changed meanwhile stays as it is now.
        if (!(i < takeTheirs.size() && takeTheirs[i] && now && *now == conflict.own))
            continue;
        // replace() also drops the file's unread lines with that code: they
        // are no part of the import, and stay.
        const std::vector<SkippedLine> unread = catalogue.skipped;
        if (!catalogue.replace(conflict.theirs.code, conflict.theirs))
            ++changed;
        catalogue.skipped = unread;
    }
    return changed;
}

}  // namespace rotamet::catalogue
