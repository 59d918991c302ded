// The print preview, "Anteprima di stampa": the composed page (print/page.h)
// on a sheet of A4 paper, drawn by the code that draws it on every target,
// so it is the page the printer or the PDF gets. The user fits the page or
// its width to the window, or zooms in and out (the buttons, Ctrl++ and
// Ctrl+-, + and -, Ctrl and the wheel); the wheel alone scrolls. "Stampa",
// "Stampa su…" and "Salva come PDF…" run what the menu of "stampa" runs;
// "Chiudi" and Esc close it.
//
// It is modal over the main window, which therefore keeps its inputs while it
// is open, and the page needs no redrawing. It opens centred on the main
// window, is deleted when it closes, and remembers nothing. While one of its
// prints runs, it takes no input either.
#pragma once

#include <QDialog>
#include <functional>

#include "print/page.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace rotamet {

class PrintPreview : public QDialog {
    Q_OBJECT
public:
    // What the buttons run: the entries of the menu of "stampa".
    struct Choices {
        std::function<void()> print, printOn, saveAsPdf;
    };

    // Opens a preview of page, modal over window and centred on it, within
    // the screen's size; returns at once.
    static PrintPreview *open(print::Page page, QWidget &window, QSize screen, Choices choices);

    // How the page fits the view: the whole page, its width, or the zoom the
    // user chose.
    enum class Fit { Page, Width, Zoom };
    Fit fit() const { return fit_; }
    // Screen pixels per pixel of the page at its real size.
    double zoom() const { return zoom_; }
    const print::Page &page() const { return page_; }

    void fitPage();
    void fitWidth();
    void zoomIn();
    void zoomOut();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PrintPreview(print::Page page, QWidget &window, Choices choices);
    // Runs a choice with the preview taking no input meanwhile.
    void run(const std::function<void()> &choice);
    // Its frame centred on the window's frame, within the screen.
    void centreOn(const QWidget &window, QSize screen);
    void setZoom(double zoom, Fit fit);
    void applyFit();

    const print::Page page_;
    const Choices choices_;
    QScrollArea *scroll_ = nullptr;
    QWidget *sheet_ = nullptr;
    QLabel *zoomText_ = nullptr;
    Fit fit_ = Fit::Page;
    double zoom_ = 1;
};

}  // namespace rotamet
