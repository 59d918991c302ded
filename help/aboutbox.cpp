#include "help/aboutbox.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

#include "window/services.h"

namespace rotamet::help {

namespace {

QLabel *label(const char *name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    l->setWordWrap(true);
    return l;
}

QString licenceText()
{
    QFile f(QStringLiteral(":/manuale/licenza.txt"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}  // namespace

QString AboutBox::versionText()
{
    return QStringLiteral("Versione: %1 %2 (\"%3\"), compilazione %4")
        .arg(QStringLiteral(ROTAMET_PRODUCT_NAME), QStringLiteral(ROTAMET_VERSION),
             QStringLiteral(ROTAMET_FILE_DESCRIPTION), QStringLiteral(ROTAMET_BUILD_VERSION));
}

QString AboutBox::qtText()
{
    return QStringLiteral("Qt %1 (compilato con Qt %2)").arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR));
}

AboutBox::AboutBox(PlatformServices &services, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgInformazioni"));
    setWindowTitle(QStringLiteral("Informazioni su Rotamet"));

    auto *title = label("lblTitolo", QStringLiteral("<b>Rotamet</b> — tempi di camma delle pompe common rail CP4"), this);
    title->setTextFormat(Qt::RichText);
    auto *version = label("lblVersione", versionText(), this);
    auto *licence = label("lblLicenza", QStringLiteral("Licenza: MIT. Il testo completo:"), this);
    auto *licenceBox = new QPlainTextEdit(licenceText(), this);
    licenceBox->setObjectName(QStringLiteral("txtLicenza"));
    licenceBox->setAccessibleName(QStringLiteral("Testo della licenza"));
    licenceBox->setReadOnly(true);
    licenceBox->setTabChangesFocus(true);
    licenceBox->setMinimumHeight(120);
    auto *qt = label("lblQt", qtText(), this);

    const QString path = services.pumpFilePath();
    auto *file = label("lblFilePompe",
                       path.isEmpty() ? QStringLiteral("File delle pompe dell'utente: nessuno (solo le pompe incorporate).")
                                      : QStringLiteral("File delle pompe dell'utente:\n%1").arg(QDir::toNativeSeparators(path)),
                       this);
    file->setAccessibleName(QStringLiteral("File delle pompe dell'utente"));
    auto *open = new QPushButton(QStringLiteral("Apri &cartella"), this);
    open->setObjectName(QStringLiteral("cmdApriCartella"));
    open->setAccessibleName(QStringLiteral("Apri la cartella del file delle pompe"));
    open->setAutoDefault(false);
    open->setEnabled(!path.isEmpty());
    connect(open, &QPushButton::clicked, this,
            [&services, path] { services.openFolder(QFileInfo(path).absolutePath()); });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *close = buttons->button(QDialogButtonBox::Close);
    close->setText(QStringLiteral("C&hiudi"));
    close->setObjectName(QStringLiteral("cmdChiudi"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(file, 1);
    fileRow->addWidget(open, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(qt);
    layout->addLayout(fileRow);
    layout->addWidget(licence);
    layout->addWidget(licenceBox, 1);
    layout->addWidget(buttons);
    resize(560, 420);
    close->setFocus();
}

}  // namespace rotamet::help
