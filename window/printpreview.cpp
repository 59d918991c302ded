#include "window/printpreview.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace rotamet {

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 5;
constexpr int kBorder = 12;  // grey around the sheet when it fits, in pixels
constexpr double kPointsPerInch = 72;
constexpr int kMinHeight = 400;  // the preview's, on a screen of any size
constexpr int kMaxHeight = 1000;
constexpr int kFrameRoom = 40;  // for the window system's frame, on each side

// The sheet of paper with the page on it, as large as the zoom makes it.
class Sheet : public QWidget {
public:
    Sheet(const print::Page &page, QWidget *parent) : QWidget(parent), page_(page)
    {
        setObjectName(QStringLiteral("sheetAnteprima"));
        setAccessibleName(QStringLiteral("Pagina da stampare"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    // The paper at its real size, in pixels of this screen.
    QSizeF paperPixels() const { return layout().fullRectPoints().size() * (logicalDpiX() / kPointsPerInch); }
    void setZoom(double zoom)
    {
        zoom_ = zoom;
        setFixedSize((paperPixels() * zoom).toSize());
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        // The page's own drawing, at this screen's resolution and scaled by
        // the zoom, from the corner of the printable area.
        const double dpi = logicalDpiX();
        painter.scale(zoom_, zoom_);
        const QMarginsF margins = layout().margins(QPageLayout::Point);
        painter.translate(margins.left() * dpi / kPointsPerInch, margins.top() * dpi / kPointsPerInch);
        page_.draw(painter, dpi);
    }

private:
    QPageLayout layout() const { return print::pdfPageLayout(page_.orientation); }
    const print::Page &page_;
    double zoom_ = 1;
};

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

PrintPreview::PrintPreview(print::Page page, QWidget &window, Choices choices)
    : QDialog(&window), page_(std::move(page)), choices_(std::move(choices))
{
    setObjectName(QStringLiteral("frmAnteprima"));
    setWindowTitle(QStringLiteral("Anteprima di stampa"));
    setAccessibleName(QStringLiteral("Anteprima di stampa"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setSizeGripEnabled(true);

    auto *fitPageButton = button(this, "cmdAdattaPagina", QStringLiteral("Adatta pa&gina"));
    auto *fitWidthButton = button(this, "cmdAdattaLarghezza", QStringLiteral("Adatta &larghezza"));
    auto *zoomOutButton = button(this, "cmdRiduci", QStringLiteral("&Riduci"));
    auto *zoomInButton = button(this, "cmdIngrandisci", QStringLiteral("&Ingrandisci"));
    zoomText_ = new QLabel(this);
    zoomText_->setObjectName(QStringLiteral("lblIngrandimento"));
    zoomText_->setAccessibleName(QStringLiteral("Ingrandimento"));
    zoomText_->setMinimumWidth(zoomText_->fontMetrics().horizontalAdvance(QStringLiteral("000 %")));
    auto *tools = new QHBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(fitPageButton), static_cast<QWidget *>(fitWidthButton),
                       static_cast<QWidget *>(zoomOutButton), static_cast<QWidget *>(zoomInButton),
                       static_cast<QWidget *>(zoomText_)})
        tools->addWidget(w);
    tools->addStretch();

    sheet_ = new Sheet(page_, this);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("scrAnteprima"));
    scroll_->setAccessibleName(QStringLiteral("Pagina"));
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setWidget(sheet_);
    scroll_->viewport()->installEventFilter(this);

    auto *printButton = button(this, "cmdAnteprimaStampa", QStringLiteral("&Stampa"));
    auto *printOnButton = button(this, "cmdAnteprimaStampaSu", QStringLiteral("Stampa s&u…"));
    auto *pdfButton = button(this, "cmdAnteprimaPdf", QStringLiteral("Salva come &PDF…"));
    auto *closeButton = button(this, "cmdAnteprimaChiudi", QStringLiteral("&Chiudi"));
    auto *actions = new QHBoxLayout;
    for (QWidget *w : {printButton, printOnButton, pdfButton})
        actions->addWidget(w);
    actions->addStretch();
    actions->addWidget(closeButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(scroll_, 1);
    layout->addLayout(actions);

    connect(fitPageButton, &QPushButton::clicked, this, &PrintPreview::fitPage);
    connect(fitWidthButton, &QPushButton::clicked, this, &PrintPreview::fitWidth);
    connect(zoomOutButton, &QPushButton::clicked, this, &PrintPreview::zoomOut);
    connect(zoomInButton, &QPushButton::clicked, this, &PrintPreview::zoomIn);
    connect(printButton, &QPushButton::clicked, this, [this] { run(choices_.print); });
    connect(printOnButton, &QPushButton::clicked, this, [this] { run(choices_.printOn); });
    connect(pdfButton, &QPushButton::clicked, this, [this] { run(choices_.saveAsPdf); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    // Ctrl+P prints here as it does in the main window.
    auto *ctrlP = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
    connect(ctrlP, &QShortcut::activated, printButton, &QPushButton::click);

    scroll_->setFocus();
}

PrintPreview *PrintPreview::open(print::Page page, QWidget &window, QSize screen, Choices choices)
{
    auto *preview = new PrintPreview(std::move(page), window, std::move(choices));
    // As tall as it can be, frame and all, centred on the window and on the
    // screen; as wide as a page of that height wants.
    const QPoint centre = window.frameGeometry().center();
    const int height = std::clamp(2 * (std::min(centre.y(), screen.height() - centre.y()) - kFrameRoom),
                                  std::min(kMinHeight, screen.height()), kMaxHeight);
    const int width = std::min(height * 5 / 6, 2 * (std::min(centre.x(), screen.width() - centre.x()) - kFrameRoom));
    preview->resize(std::max(width, kMinHeight / 2), height);
    preview->centreOn(window, screen);
    preview->QDialog::open();
    // Where the window system knows the frame only now (Windows), once more.
    preview->centreOn(window, screen);
    preview->applyFit();
    return preview;
}

void PrintPreview::centreOn(const QWidget &window, QSize screen)
{
    const QSize frame = frameGeometry().size();
    const QPoint corner = window.frameGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2);
    move(std::clamp(corner.x(), 0, std::max(0, screen.width() - frame.width())),
         std::clamp(corner.y(), 0, std::max(0, screen.height() - frame.height())));
}

void PrintPreview::fitPage() { setZoom(0, Fit::Page); }
void PrintPreview::fitWidth() { setZoom(0, Fit::Width); }
void PrintPreview::zoomIn() { setZoom(zoom_ * kZoomStep, Fit::Zoom); }
void PrintPreview::zoomOut() { setZoom(zoom_ / kZoomStep, Fit::Zoom); }

void PrintPreview::setZoom(double zoom, Fit fit)
{
    fit_ = fit;
    if (fit == Fit::Zoom) {
        zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    } else {
        const QSizeF paper = static_cast<Sheet *>(sheet_)->paperPixels();
        const QSize room = scroll_->maximumViewportSize() - QSize(2 * kBorder, 2 * kBorder);
        const double across = room.width() / paper.width();
        // The width fits beside the scroll bar that a taller page brings.
        zoom_ = fit == Fit::Page ? std::min(across, room.height() / paper.height())
                                 : (room.width() - scroll_->verticalScrollBar()->sizeHint().width()) / paper.width();
        zoom_ = std::clamp(zoom_, kMinZoom, kMaxZoom);
    }
    static_cast<Sheet *>(sheet_)->setZoom(zoom_);
    zoomText_->setText(QString::number(std::lround(zoom_ * 100)) + QStringLiteral(" %"));
}

void PrintPreview::applyFit()
{
    if (fit_ != Fit::Zoom)
        setZoom(zoom_, fit_);
}

void PrintPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    applyFit();
}

void PrintPreview::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: zoomIn(); return;
    case Qt::Key_Minus: zoomOut(); return;
    default: QDialog::keyPressEvent(event);
    }
}

// Ctrl and the wheel zoom; the wheel alone scrolls.
bool PrintPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == scroll_->viewport() && event->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (wheel->angleDelta().y() > 0)
                zoomIn();
            else if (wheel->angleDelta().y() < 0)
                zoomOut();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PrintPreview::run(const std::function<void()> &choice)
{
    if (!isEnabled() || !choice)
        return;
    const QPointer<QWidget> focus = focusWidget();
    const QPointer<PrintPreview> self(this);
    setEnabled(false);
    choice();
    if (!self)
        return;
    setEnabled(true);
    if (focus)
        focus->setFocus();
}

}  // namespace rotamet
