// The printed timing table: one page with the pump's data, the speed table
// (2500 down to 100 rpm) and the angle table (15° to 90° at 1000 rpm).
// It computes no figure itself: it writes the speed and angle fields, lets the
// calculation fill the labels and prints the texts as displayed.
#pragma once

#include <string>

#include "calc/formview.h"
#include "numtext/runtimeerror.h"
#include "print/printer.h"

namespace rotamet::print {

// The text of the "Errore di stampa" box: "Errore   <code>  <description>".
std::string printErrorText(const RunTimeError &error);

// Prints the table, for "stampa" and its menu. Handles every failure itself,
// and whatever happens the user is told in exactly one box and keeps what
// they typed:
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
// user cancels (Printer::endDoc false) gives the inputs back and shows nothing.
// The page goes to the window's printer (form.printer()).
void StampaScala(FormView &form);
// The same page on another printer, which the user chose for this print (a
// printer of the print dialog, a PDF file); the window's own printer is left
// as it is.
void StampaScala(FormView &form, Printer &printer);

}  // namespace rotamet::print
