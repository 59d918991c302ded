// The pump catalogue: the four pumps built into the program and the pumps
// the user adds, with the rules a pump must meet and the text of the file the
// user's pumps are kept in. No Qt, no files: reading and writing the file is
// catalogue/pumpfile's job, showing pumps the window's.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rotamet::catalogue {

// A pump: its code and its cam geometry.
struct Pump {
    std::string code;      // 10 to 13 digits and capital letters
    double minAlbero = 0;  // minimum shaft dimension across the cam, mm
    double maxAlbero = 0;  // maximum shaft dimension across the cam, mm
    int fineAlzata = 0;    // end-of-lift angle, whole degrees

    // The angle as the window shows it: "110°".
    std::string fineAlzataText() const;
    friend bool operator==(const Pump &, const Pump &) = default;
};

// What a pump may be.
inline constexpr std::size_t kMinCodeLength = 10;
inline constexpr std::size_t kMaxCodeLength = 13;
inline constexpr double kMaxAlbero = 100.0;  // mm, for both dimensions
inline constexpr int kMaxDecimals = 3;       // of a dimension
inline constexpr int kMinFineAlzata = 1;     // degrees
inline constexpr int kMaxFineAlzata = 360;

// The pumps built into the program, in the list's order.
std::span<const Pump> builtInPumps();
bool isBuiltIn(std::string_view code);

// A code as typed: blanks around it dropped, small letters made capitals.
//   normalisedCode(" a2c16376700xy ") → "A2C16376700XY"
std::string normalisedCode(std::string_view typed);

// The four values of a pump, each by the name the user reads.
enum class Field { Codice, Minimo, Massimo, FineAlzata };
std::string fieldName(Field field);  // "Codice", "Minimo", "Massimo", "Fine alzata"

// Why a pump or a change is refused: the field at fault and an Italian reason
// that names it ("Minimo: non è un numero.").
struct Problem {
    Field field;
    std::string reason;
};

// A pump as the user types it, or as a line of the file holds it.
struct PumpText {
    std::string codice, minimo, massimo, fineAlzata;
};

// Reads a pump from its texts, field by field in the order of Field: the code
// normalised, the dimensions as Italian numbers ("37,35"; no thousands
// separator, at most kMaxDecimals decimals, 0 < minimo < massimo <=
// kMaxAlbero), the angle as a whole number of degrees from 1 to 360 (a "°"
// after it is allowed). The first fault found is the problem.
struct ReadPump {
    std::optional<Pump> pump;
    std::optional<Problem> problem;
};
ReadPump readPump(const PumpText &text);

// A line of the file that could not be read: its number (from 1), its bytes as
// they stood (without the line end), the code in its first field (normalised;
// it may be no valid code) and why.
struct SkippedLine {
    int number = 0;
    std::string text;
    std::string reason;
    std::string code;
};

// The catalogue: the built-in pumps first, in their order, then the user's
// sorted by code. Codes are unique. The built-in pumps can be neither added,
// changed nor removed. Lines of the file that could not be read travel with
// it, so that writing it back loses none of them.
class Catalogue {
public:
    Catalogue();

    std::span<const Pump> pumps() const { return pumps_; }
    // The pump with exactly this code (no normalising), or nullptr.
    const Pump *find(std::string_view code) const;
    std::optional<std::size_t> indexOf(std::string_view code) const;
    bool isUserPump(std::string_view code) const;
    std::size_t userCount() const { return pumps_.size() - builtInPumps().size(); }

    // Adds a user pump; refused when its code is a built-in one or is taken.
    std::optional<Problem> add(const Pump &pump);
    // Replaces the user pump with code `code` (the code may change). When the
    // catalogue no longer holds it, the pump is added.
    std::optional<Problem> replace(std::string_view code, const Pump &pump);
    // Removes a user pump and every skipped line with its code (a line that
    // repeats it, or one that could not be read); false when there was
    // neither. A built-in code removes nothing.
    bool remove(std::string_view code);
    // How many lines of the file hold this code: the pump's own and the
    // skipped ones. What remove(code) takes out of the file.
    std::size_t linesWith(std::string_view code) const;

    std::vector<SkippedLine> skipped;

private:
    friend Catalogue readFile(std::string_view text);
    std::vector<Pump> pumps_;
};

// The file of the user's pumps: UTF-8 text, one pump a line, fields separated
// by ";", the first line a header:
//   codice;minimo_mm;massimo_mm;fine_alzata_gradi
//   0445010800;37,35;46,95;110
// Reading: every line that holds a pump loads; blank lines are ignored; any
// other line is skipped with its reason (and a line whose code an earlier line
// already has). A byte order mark, "\r\n" line ends, blanks around fields and
// fields in double quotes are read as a spreadsheet writes them. A line that
// is not valid UTF-8 is read in the Windows code page (Windows-1252), as a
// spreadsheet on Windows saves it: "110\xB0" is 110°. Whatever the bytes
// (any number of digits, NUL, a line of any length), each line becomes a
// pump, the header, a blank line or a skipped line: reading throws nothing
// (short of running out of memory) and takes time in proportion to the text.
Catalogue readFile(std::string_view text);
// Writing: the header, the user's pumps sorted by code (UTF-8), then the
// skipped lines exactly as they were read, byte for byte, so that reading the
// text again gives the same pumps and the same skipped lines.
std::string fileText(const Catalogue &catalogue);
inline constexpr const char *kHeader = "codice;minimo_mm;massimo_mm;fine_alzata_gradi";

// Text of the Windows code page (Windows-1252) in UTF-8; the five bytes that
// code page leaves unassigned stand for the control characters of the same
// number, as Windows reads them.
//   fromWindows1252("110\xB0") → "110°",  fromWindows1252("\x80") → "€"
std::string fromWindows1252(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);

}  // namespace rotamet::catalogue
