// The files that carry pumps from one catalogue to another: reading the file
// the user imports and writing the one they export, whole (QSaveFile). Both
// may wait for a disk or a file server: never on the window's thread. Owns
// no widget and shows no message; the texts are catalogue/exchange's.
#pragma once

#include <QString>
#include <chrono>
#include <string>

namespace rotamet::catalogue {

// How long the window waits for an export or an import file: past it the
// file is taken as not answering (a file server gone).
inline constexpr std::chrono::milliseconds kExchangeDeadline{15000};

// The bytes of a file to import, or why it cannot be read ("il file non
// esiste", "è più grande di 1 MB", "accesso negato", …).
struct ExchangeRead {
    std::string text;
    QString failure;  // empty when read
};
ExchangeRead readExchangeFile(const QString &path);

// Writes text as the whole file (an existing one is replaced only once the
// new one is complete); why not ("la cartella non esiste", "il disco è
// pieno", "sola lettura", …), or empty.
QString writeExchangeFile(const QString &path, const std::string &text);

}  // namespace rotamet::catalogue
