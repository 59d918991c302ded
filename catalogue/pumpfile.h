// The file that keeps the user's pumps: where it lives, reading it at
// start-up, and writing it whole (QSaveFile) when the user changes the
// catalogue. A thin layer on Qt Core over catalogue.h, which holds the rules
// and the file's text; owns no widget and shows no message itself.
#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <optional>

#include "catalogue/catalogue.h"
#include "numtext/runtimeerror.h"

namespace rotamet::catalogue {

// The title of the messages about the file.
inline constexpr const char *kMessageTitle = "Catalogo pompe";

class PumpFile {
public:
    // path empty: no file; the built-in pumps alone, and no change can be kept.
    explicit PumpFile(QString path = {}) : path_(std::move(path)) {}
    const QString &path() const { return path_; }

    // pompe.csv in the platform's configuration folder for this program
    // (QStandardPaths::AppConfigLocation).
    static QString standardPath();
    // A larger file is not read: it is no catalogue a user typed.
    static constexpr qint64 kMaxSize = 1024 * 1024;
    // How long a change waits for another copy of the program to end its own.
    static constexpr std::chrono::milliseconds kLockWait{2000};
    // How long the window waits for a whole change (the lock, the reading
    // and the writing) before it gives the change up: a folder on a file
    // server that is slow or gone.
    static constexpr std::chrono::milliseconds kChangeDeadline{15000};

    // Reads the file. No file: the built-in pumps alone and no message. A
    // file that cannot be read: the built-in pumps and a message that says
    // so. Lines skipped: every other line loads, and one message names the
    // file, the lines and why.
    struct Loaded {
        Catalogue catalogue;
        QString message;  // empty when there is nothing to tell
    };
    Loaded load() const;

    // Reads the file afresh (another copy of the program, or an editor, may
    // have changed it), makes the change on what it holds and writes it
    // whole, holding a lock file beside it (pompe.csv.lock) from the reading
    // to the writing, so that changes of two copies never overlap. The new
    // catalogue, or why not: the change's own problem, or a message about
    // the file (another copy holds the lock beyond kLockWait; the file or its
    // folder is read-only; the disk is full). The file is never written from
    // a reading that failed, so what it holds is never lost. A change refused
    // makes no folder and no file. It may wait for the disk and the lock: not
    // for the window's thread.
    struct Changed {
        std::optional<Catalogue> catalogue;
        std::optional<Problem> problem;
        QString message;
    };
    using Edit = std::function<std::optional<Problem>(Catalogue &)>;
    // A change given up (work/job.h) before the file takes its new text
    // leaves the file as it was.
    Changed change(const Edit &edit) const;

    // What the user is told of a change given up at kChangeDeadline;
    // mayBeSaved: the file was taking its new text, which it may still get.
    QString lateMessage(bool mayBeSaved) const;
    // What the user is told of a change that failed with error (anything the
    // change threw, such as running out of memory).
    QString failureMessage(const RunTimeError &error) const;

private:
    QString path_;
};

}  // namespace rotamet::catalogue
