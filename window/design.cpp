// The design of frmMain. Left and Top are relative to the container.
#include "window/design.h"

namespace rotamet::design {

namespace {

constexpr Colour none{};
constexpr Colour red{255, 0, 0};
constexpr Colour darkRed{192, 0, 0};
constexpr Colour navy{0, 0, 128};
constexpr Colour purple{192, 0, 192};
constexpr Colour green{0, 128, 0};
constexpr Colour black{0, 0, 0};
constexpr Colour white{255, 255, 255};
constexpr Colour grey{192, 192, 192};
constexpr Colour lightCyan{128, 255, 255};

constexpr Font arial12{"Arial", 12, false};
constexpr Font arial12b{"Arial", 12, true};
constexpr Font arial1425{"Arial", 14.25, false};
constexpr Font arial1425b{"Arial", 14.25, true};
constexpr Font arial1125b{"Arial", 11.25, true};
constexpr Font arial975b{"Arial", 9.75, true};
constexpr Font calibri1425b{"Calibri", 14.25, true};
constexpr Font calibri1125{"Calibri", 11.25, false};
constexpr Font sansSerif12b{"MS Sans Serif", 12, true};
constexpr Font noFont{};

constexpr auto L = Align::Left;
constexpr auto C = Align::Centre;
constexpr auto R = Align::Right;

// The table stays one row per control, as the design reads.
// clang-format off
constexpr Control kControls[] = {
    // name, index, kind, container, left, top, width, height, caption, tooltip,
    // font, align, fore, back, typed limit, tab order, word wrap, spoken name
    {"fraMain", -1, Kind::Frame, "frmMain", 240, 120, 9375, 6255, "", nullptr, noFont, L, none, none, 0, 0, false, nullptr},
    {"Frame1", -1, Kind::Frame, "frmMain", 240, 6600, 8655, 2055, "", nullptr, noFont, L, none, none, 0, 0, false, nullptr},

    // Left-hand column: speed, rotation times, lifts selector, buttons.
    {"cboCodice", -1, Kind::ComboBox, "fraMain", 360, 480, 3255, 450, "", "Codice pompa CP4", arial1425, L, none, none, 0, 1, false, "Codice pompa"},
    {"lblEtichetta", 0, Kind::Label, "fraMain", 240, 1440, 2055, 300, "Giri al minuto", "Giri al minuto", arial12b, L, none, none, 0, 0, false, nullptr},
    {"txtGiriMinuto", -1, Kind::TextBox, "fraMain", 2400, 1380, 1080, 450, "1000", "Giri al minuto", arial1425b, C, red, none, 5, 2, false, "Giri al minuto"},
    {"lblEtichetta", 1, Kind::Label, "fraMain", 240, 2040, 1935, 300, "Giri al secondo", "Giri al secondo (Hertz)", arial12b, L, none, none, 0, 0, false, nullptr},
    {"lblValori", 0, Kind::Label, "fraMain", 2280, 2040, 1320, 300, "", "Hertz", arial12b, R, none, none, 0, 0, false, nullptr},
    {"lblEtichetta", 2, Kind::Label, "fraMain", 240, 2520, 2175, 300, "Secondi per 1 giro", "Secondi x 1 giro", arial12, L, none, none, 0, 0, false, nullptr},
    {"lblValori", 1, Kind::Label, "fraMain", 2400, 2520, 1200, 300, "", "Secondi per compiere un giro", arial12, R, none, none, 0, 0, false, nullptr},
    {"lblEtichetta", 3, Kind::Label, "fraMain", 240, 3000, 2175, 300, "Millisec. per 1 giro", "Millisecondi per un giro", arial12b, L, none, none, 0, 0, false, nullptr},
    {"lblValori", 2, Kind::Label, "fraMain", 2400, 3000, 1200, 300, "", "Millisecondi per compiere un giro", arial12b, R, purple, none, 0, 0, false, nullptr},
    {"optAlzataGiro", 0, Kind::Option, "fraMain", 360, 3720, 1695, 320, "1 alzata/giro", nullptr, arial1125b, L, none, none, 0, 3, false, nullptr},
    {"optAlzataGiro", 1, Kind::Option, "fraMain", 360, 4080, 1695, 320, "2 alzate/giro", nullptr, arial1125b, L, none, none, 0, 4, false, nullptr},
    {"optAlzataGiro", 2, Kind::Option, "fraMain", 360, 4440, 1695, 320, "3 alzate/giro", nullptr, arial1125b, L, none, none, 0, 5, false, nullptr},
    {"cmdCalcola", -1, Kind::Button, "fraMain", 360, 5400, 1335, 495, "calcola", nullptr, sansSerif12b, C, none, none, 0, 15, false, nullptr},
    {"cmdStampa", -1, Kind::Button, "fraMain", 2280, 5400, 1335, 495, "stampa", nullptr, sansSerif12b, C, none, none, 0, 16, false, nullptr},

    // The etched separator between the columns (x1, y1, x2, y2).
    {"Line5", -1, Kind::Line, "fraMain", 3960, 480, 3960, 5880, "", nullptr, noFont, L, grey, none, 0, 0, false, nullptr},
    {"Line6", -1, Kind::Line, "fraMain", 3975, 480, 3975, 5880, "", nullptr, noFont, L, white, none, 0, 0, false, nullptr},

    // Right-hand column: pump data, lift times, the three conversion rows.
    {"lblEtichetta", 12, Kind::Label, "fraMain", 4320, 480, 2655, 300, "Dimensioni albero mm", "Dimensioni dell'albero", arial12b, L, none, none, 0, 0, false, nullptr},
    {"lblValori", 3, Kind::Label, "fraMain", 7080, 480, 840, 300, "", "Minima larghezza dell'albero", arial12b, R, none, none, 0, 0, false, nullptr},
    {"lblValori", 4, Kind::Label, "fraMain", 8160, 480, 840, 300, "", "Massima larghezza dell'albero", arial12b, R, none, none, 0, 0, false, nullptr},
    {"lblEtichetta", 11, Kind::Label, "fraMain", 4320, 960, 2655, 300, "Corsa di alzata [mm]", nullptr, arial12b, L, none, none, 0, 0, false, nullptr},
    {"lblValori", 5, Kind::Label, "fraMain", 7080, 960, 840, 300, "", "corsa di alzata calcolata in mm", arial12b, R, navy, none, 0, 0, false, nullptr},
    {"lblEtichetta", 5, Kind::Label, "fraMain", 4320, 1440, 2655, 300, "Fine alzata [°]", "Gradi [°] di fine alzata della camme", arial12b, L, none, none, 0, 0, false, nullptr},
    {"lblValori", 6, Kind::Label, "fraMain", 7080, 1440, 840, 300, "", "Gradi [°] di fine alzata della camme", arial12b, R, darkRed, none, 0, 0, false, nullptr},
    {"lblEtichetta", 4, Kind::Label, "fraMain", 4320, 2040, 2775, 300, "Salita e discesa", "Millisecondi per 1/2 giro (180°)", arial12b, L, green, none, 0, 0, false, nullptr},
    {"lblValori", 7, Kind::Label, "fraMain", 7440, 2040, 1680, 300, "", "Millisecondi per 1/2 giro (180°)", arial12b, R, green, none, 0, 0, false, nullptr},
    {"lblEtichetta", 6, Kind::Label, "fraMain", 4320, 2520, 2775, 300, "Tempo di salita [90°]", "Millisecondi per 1/4 di giro (90°)", arial12b, L, none, none, 0, 0, false, nullptr},
    {"lblValori", 8, Kind::Label, "fraMain", 7440, 2520, 1680, 300, "75", "Millisecondi per 1/4 di giro (90°)", arial12b, R, purple, none, 0, 0, false, nullptr},

    {"lblEtichetta", 9, Kind::Label, "fraMain", 4320, 3270, 1935, 590, "Angolo di comando ", "Millisecondi di comando elettrico", arial12b, C, none, none, 0, 0, true, nullptr},
    {"txtAngolo", -1, Kind::TextBox, "fraMain", 6240, 3330, 840, 465, "7,0°", "Comando elettrico in millisecondi", calibri1425b, C, darkRed, none, 6, 6, false, "Angolo di comando"},
    {"cmdAngUp", -1, Kind::Button, "fraMain", 7200, 3300, 375, 270, "", nullptr, arial12, C, none, none, 0, 7, false, "Aumenta angolo"},
    {"cmdAngDown", -1, Kind::Button, "fraMain", 7200, 3630, 375, 270, "", nullptr, arial12, C, none, none, 0, 8, false, "Diminuisci angolo"},
    {"lblValori", 9, Kind::Label, "fraMain", 7680, 3240, 1440, 300, "mm", "Millimetri di escursione del pompante con un TOT angolo di comando elettrico in gradi", arial12b, R, navy, none, 0, 0, false, nullptr},
    {"lblValori", 10, Kind::Label, "fraMain", 7680, 3600, 1440, 300, "ms", "Millisecondi di comando corrispondenti ad un TOT angolo di comando elettrico in gradi", arial12b, R, purple, none, 0, 0, false, nullptr},

    {"lblEtichetta", 7, Kind::Label, "fraMain", 4320, 4260, 1935, 590, "Millisecondi di comando elettr.", "Millisecondi di comando elettrico", arial12b, C, none, none, 0, 0, true, nullptr},
    {"txtMillisecondi", -1, Kind::TextBox, "fraMain", 6240, 4320, 840, 465, "1,00", "Comando elettrico in millisecondi", calibri1425b, C, purple, none, 5, 9, false, "Millisecondi di comando elettr."},
    {"cmdMSUp", -1, Kind::Button, "fraMain", 7200, 4260, 375, 270, "", nullptr, arial12, C, none, none, 0, 10, false, "Aumenta millisecondi"},
    {"cmdMSDown", -1, Kind::Button, "fraMain", 7200, 4590, 375, 270, "", nullptr, arial12, C, none, none, 0, 11, false, "Diminuisci millisecondi"},
    {"lblValori", 11, Kind::Label, "fraMain", 7680, 4200, 1440, 300, "°", "Angolo corrispondente a TOT comando elettrico in ms", arial12b, R, darkRed, none, 0, 0, false, nullptr},
    {"lblValori", 12, Kind::Label, "fraMain", 7680, 4560, 1440, 300, "mm", "Millimetri di escursione del pompante con un TOT di comando elettrico in ms", arial12b, R, navy, none, 0, 0, false, nullptr},

    {"lblEtichetta", 8, Kind::Label, "fraMain", 4320, 5220, 1935, 585, "Millimetri di corsa pompante", "Millmetri di corsa del pompante", arial12b, C, none, none, 0, 0, true, nullptr},
    {"txtMillimetri", -1, Kind::TextBox, "fraMain", 6240, 5280, 840, 465, "0,40", "Millmetri di corsa del pompante", calibri1425b, C, navy, none, 5, 12, false, "Millimetri di corsa pompante"},
    {"cmdMMUp", -1, Kind::Button, "fraMain", 7200, 5220, 375, 270, "", nullptr, arial12, C, none, none, 0, 13, false, "Aumenta millimetri"},
    {"cmdMMDown", -1, Kind::Button, "fraMain", 7200, 5550, 375, 270, "", nullptr, calibri1125, C, none, none, 0, 14, false, "Diminuisci millimetri"},
    {"lblValori", 13, Kind::Label, "fraMain", 7680, 5160, 1440, 300, "°", "Angolo corrispondente ad una certa corsa del pompante", arial12b, R, darkRed, none, 0, 0, false, nullptr},
    {"lblValori", 14, Kind::Label, "fraMain", 7680, 5520, 1440, 300, "ms", "Millisecondi di comando corrispondenti ad una certa corsa del pompante", arial12b, R, purple, none, 0, 0, false, nullptr},

    // The command-time strip, below the visible client area.
    {"Shape1", -1, Kind::Shape, "Frame1", 240, 360, 705, 975, "", nullptr, noFont, L, none, red, 0, 0, false, nullptr},
    {"Shape2", -1, Kind::Shape, "Frame1", 990, 360, 1095, 975, "", nullptr, noFont, L, none, lightCyan, 0, 0, false, nullptr},
    {"Shape3", -1, Kind::Shape, "Frame1", 2130, 360, 6000, 975, "", nullptr, noFont, L, none, lightCyan, 0, 0, false, nullptr},
    {"lblComando", 0, Kind::Label, "Frame1", 240, 1440, 690, 255, "700 µs", "Comando fisso", arial975b, C, red, white, 0, 0, false, nullptr},
    {"lblComando", 1, Kind::Label, "Frame1", 1200, 1440, 690, 255, "900 µs", "Comando modulato", arial975b, C, black, lightCyan, 0, 0, false, nullptr},
    {"lblComando", 2, Kind::Label, "Frame1", 2880, 1440, 930, 255, "6000 µs", "Comando modulato", arial975b, C, black, lightCyan, 0, 0, false, nullptr},
};
// clang-format on

}  // namespace

std::span<const Control> controls() { return kControls; }

}  // namespace rotamet::design
