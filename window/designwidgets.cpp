#include "window/designwidgets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <utility>

namespace rotamet::design {

int px(int twips) { return qRound(twips / double(kTwipsPerPixel)); }

QColor colourOf(Colour c) { return QColor(c.red, c.green, c.blue); }

QFont fontOf(const Font &f)
{
    const Font &use = f.face ? f : kDefaultFont;
    QFont font(QString::fromUtf8(use.face));
    // Sizes in pixels at 96 dpi, so the text keeps the design's proportions
    // against positions that are in pixels too.
    font.setPixelSize(qRound(use.points * 96.0 / 72.0));
    font.setBold(use.bold);
    return font;
}

namespace {
Qt::Alignment alignmentOf(Align a)
{
    switch (a) {
    case Align::Centre: return Qt::AlignHCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Left: break;
    }
    return Qt::AlignLeft;
}
}  // namespace

void setForeground(QWidget *w, QColor colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::ButtonText, colour);
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

void setBackground(QWidget *w, QColor colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setBackgroundRole(QPalette::Window);
    w->setAutoFillBackground(true);
}

void setUpWindow(QWidget &window)
{
    window.setObjectName(QStringLiteral("frmMain"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    window.setFont(fontOf(kDefaultFont));
    window.setFixedSize(px(kClientWidth), px(kClientHeight));
}

QWidget *Controls::find(const char *name, int index) const
{
    for (const Entry &e : entries)
        if (e.row->index == index && qstrcmp(e.row->name, name) == 0)
            return e.widget;
    return nullptr;
}

Controls buildControls(QWidget &window, const TextFieldMaker &makeTextField)
{
    Controls built;
    QFrame *fraMain = nullptr, *frame1 = nullptr;
    std::vector<std::pair<int, QWidget *>> tabOrder;
    std::vector<std::pair<int, QRadioButton *>> options;
    for (const Control &c : controls()) {
        QWidget *parent = &window;
        if (qstrcmp(c.container, "fraMain") == 0)
            parent = fraMain;
        else if (qstrcmp(c.container, "Frame1") == 0)
            parent = frame1;
        const QString caption = QString::fromUtf8(c.caption);
        QWidget *w = nullptr;

        switch (c.kind) {
        case Kind::Frame: {
            auto *frame = new QFrame(parent);
            frame->setFrameShape(QFrame::Box);
            frame->setFrameShadow(QFrame::Sunken);  // etched, as a frame without caption
            (qstrcmp(c.name, "fraMain") == 0 ? fraMain : frame1) = frame;
            w = frame;
            break;
        }
        case Kind::Label: {
            auto *label = new QLabel(caption, parent);
            label->setAlignment(alignmentOf(c.align) | Qt::AlignTop);
            label->setWordWrap(c.wordWrap);
            label->setTextFormat(Qt::PlainText);
            w = label;
            break;
        }
        case Kind::TextBox: {
            QLineEdit *box = makeTextField ? makeTextField(c, parent) : new QLineEdit(parent);
            box->setText(caption);
            box->setAlignment(alignmentOf(c.align) | Qt::AlignVCenter);
            w = box;
            break;
        }
        case Kind::ComboBox: {
            auto *combo = new QComboBox(parent);
            combo->setEditable(true);
            // Typing selects nothing and adds no item.
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
            w = combo;
            break;
        }
        case Kind::Option: {
            auto *option = new QRadioButton(caption, parent);
            options.emplace_back(c.index, option);
            w = option;
            break;
        }
        case Kind::Button: {
            auto *button = new QPushButton(caption, parent);
            button->setAutoDefault(false);
            w = button;
            break;
        }
        case Kind::Shape: {
            auto *shape = new QFrame(parent);
            shape->setFrameShape(QFrame::Box);
            shape->setFrameShadow(QFrame::Plain);
            shape->setProperty("widthTwips", float(c.width));
            w = shape;
            break;
        }
        case Kind::Line: {
            auto *line = new QFrame(parent);
            line->setGeometry(px(c.left), px(c.top), std::max(1, px(c.width - c.left)),
                              std::max(1, px(c.height - c.top)));
            line->setObjectName(QString::fromUtf8(c.name));
            setBackground(line, colourOf(c.fore));
            built.entries.push_back({&c, line});
            continue;
        }
        }

        w->setObjectName(c.index >= 0 ? QString::fromUtf8(c.name) + QLatin1Char('_') + QString::number(c.index)
                                      : QString::fromUtf8(c.name));
        w->setGeometry(px(c.left), px(c.top), px(c.width), px(c.height));
        if (c.font.face)
            w->setFont(fontOf(c.font));
        if (c.toolTip)
            w->setToolTip(QString::fromUtf8(c.toolTip));
        if (c.spokenName)
            w->setAccessibleName(QString::fromUtf8(c.spokenName));
        if (c.fore.isSet())
            setForeground(w, colourOf(c.fore));
        if (c.back.isSet())
            setBackground(w, colourOf(c.back));
        if (c.tabOrder > 0)
            tabOrder.emplace_back(c.tabOrder, w);
        built.entries.push_back({&c, w});
    }

    std::sort(tabOrder.begin(), tabOrder.end(), [](auto &a, auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);

    built.options = new QButtonGroup(&window);
    for (const auto &[index, option] : options)
        built.options->addButton(option, index);
    return built;
}

}  // namespace rotamet::design
