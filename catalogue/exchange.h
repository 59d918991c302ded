// Pumps handed from one catalogue to another: the text an export writes, and
// what an import of such a text would do to a catalogue (the plan), then the
// plan applied with the user's choices. No Qt, no files: reading and writing
// the files is catalogue/exchangefile's job, showing the plan the window's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue.h"

namespace rotamet::catalogue {

// The text of an exported file: the pump file's own format (fileText) with
// the user's pumps alone; neither the built-in pumps nor the lines of the
// pump file that could not be read.
std::string exportText(const Catalogue &catalogue);

// A pump of the file whose code the catalogue has with other figures.
struct Conflict {
    Pump own;     // as the catalogue has it
    Pump theirs;  // as the file has it
};

// A line of the file that is not imported, and why (Italian, as the user
// reads it). text is the line in UTF-8, whatever its encoding in the file.
struct RefusedLine {
    int number = 0;
    std::string text;
    std::string reason;
};

// What importing a file into a catalogue would do. Built from the file as
// readFile() reads it (UTF-8 or Windows-1252, with or without a byte order
// mark, "\r\n" or "\n").
struct ImportPlan {
    std::vector<Pump> added;           // codes the catalogue lacks, by code
    std::vector<Conflict> conflicts;   // codes it has with other figures, by code
    std::vector<std::string> present;  // codes it has as they are, or built in
    std::vector<RefusedLine> refused;  // in the file's order

    bool empty() const { return added.empty() && conflicts.empty() && present.empty() && refused.empty(); }
    // Whether applying it can change anything.
    bool changes() const { return !added.empty() || !conflicts.empty(); }
};
ImportPlan planImport(const Catalogue &catalogue, std::string_view fileText);

// Why a code that a spreadsheet made into a number is refused, or empty when
// the code is no such number. Only digits and fewer than kMinCodeLength of
// them (the leading zero dropped), or a number in scientific notation:
//   spreadsheetNumberReason("445010760")  → "… il foglio di calcolo ha tolto lo zero iniziale …"
//   spreadsheetNumberReason("4,4501E+08") → "… in notazione scientifica …"
//   spreadsheetNumberReason("0445010760") → ""
std::string spreadsheetNumberReason(std::string_view code);

// Applies the plan to catalogue (read afresh, it may differ from the one the
// plan was made on): adds the new pumps whose code it still lacks, and for
// each conflict (in the plan's order) takes the file's pump where
// takeTheirs says so, else keeps the catalogue's. A code that has come into
// the catalogue meanwhile keeps the catalogue's pump. How many pumps were
// added or changed.
std::size_t applyImport(Catalogue &catalogue, const ImportPlan &plan, const std::vector<bool> &takeTheirs);

}  // namespace rotamet::catalogue
