// A printed PDF page read back as a reader sees it (pdftotext -bbox): its
// words grouped into lines, top to bottom, each left to right; the lines'
// texts; the table rows. Needs pdftotext (poppler-utils; under Wine, the
// stand-in of tests/windows/).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace rotamet::pagetext {

struct Word {
    double left, top, right;
    QString text;
};
using Line = QList<Word>;

// What program writes to its output; empty when it fails or takes over 30 s.
QString run(const QString &program, const QStringList &args);

// The page's words grouped into lines, top to bottom, each left to right.
QList<Line> readLines(const QString &pdf);

// A line's words, one blank between each two.
QString text(const Line &line);

// Every line's text, top to bottom.
QStringList texts(const QList<Line> &lines);

// The table rows: lines that start with a speed.
QList<Line> rows(const QList<Line> &lines);

}  // namespace rotamet::pagetext
