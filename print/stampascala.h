// The printed timing table: one page with the pump's data, the speed table
// (2500 down to 100 rpm) and the angle table (15° to 90° at 1000 rpm).
// It computes no figure itself: it writes the speed and angle fields, lets the
// calculation fill the labels and prints the texts as displayed.
#pragma once

#include <string>

#include "calc/calcform.h"
#include "print/printer.h"

namespace rotamet::print {

// What the printing needs of the main window.
class PrintForm {
public:
    virtual ~PrintForm() = default;

    virtual std::string fieldText(calc::Field field) = 0;
    // Writing txtGiriMinuto with a different text runs the calculation.
    virtual void setFieldText(calc::Field field, const std::string &text) = 0;
    virtual std::string pumpCode() = 0;               // text of cboCodice
    virtual std::string valueCaption(int index) = 0;  // lblValori(index)
    virtual void runCalculation() = 0;                // cmdCalcola_Click
    // Repaints; user input that arrives meanwhile is not taken.
    virtual void processPendingEvents() = 0;
    // The system's current printer. May throw RunTimeError.
    virtual Printer &printer() = 0;
    virtual void showInformationBox(const std::string &text, const std::string &title) = 0;
    virtual void showWarningBox(const std::string &text, const std::string &title) = 0;
    virtual void showCriticalBox(const std::string &text, const std::string &title) = 0;
    // Today's date in the Italian short form, "dd/mm/yyyy".
    virtual std::string todayShortDate() = 0;
};

// The body of cmdStampa_Click. Handles every failure itself, and whatever
// happens the user is told in exactly one box and keeps what they typed:
// - a speed that cannot be read: the "Errore di stampa" box, nothing written;
// - inputs the calculation cannot read: its own box, then the print stops
//   before anything reaches the printer;
// - a failure at any later point: the page being composed is dropped, the
//   speed and angle are written back and the calculation runs once more, as
//   after a page; then a printer error (482) shows a "Stampa scala" warning
//   that names the printer and the reason, any other code the "Errore di
//   stampa" box.
// A page handed over shows "Stampa effettuata su '<printer>'", or a warning
// when the printer knows that the page waits (a paused queue). A print the
// user cancels (PrintCancelled) gives the inputs back and shows nothing.
void StampaScala(PrintForm &form);

}  // namespace rotamet::print
