// Where F1 leads: the manual's pages, in the order of its table of contents,
// and the section of the manual for each control (by its object name, the
// design name) and for each message box (by its title). One table each, so a
// new control or message gets its section in one line.
#pragma once

#include <QString>
#include <QUrl>
#include <span>

class QWidget;

namespace rotamet::help {

struct Page {
    const char *file;   // in the manual's folder, e.g. "finestra.html"
    const char *title;  // as the table of contents shows it
};

// Every page of the manual, the contents page first.
std::span<const Page> pages();

// The manual's address of a file or a section ("finestra.html#giri").
QUrl manualUrl(const QString &fileAndAnchor);

// The section for a widget that has the focus: its own entry, else the
// entry of the nearest widget above it that has one; a message box by its
// title; the contents page when nothing matches.
QUrl topicFor(const QWidget *focus);

// The section of a message box with this title ("Errore di stampa").
QUrl topicForBox(const QString &title);

// The table itself, for the tests: object name (a control array without
// its index) and section.
struct Topic {
    const char *name;
    const char *section;
};
std::span<const Topic> controlTopics();
std::span<const Topic> boxTopics();

}  // namespace rotamet::help
