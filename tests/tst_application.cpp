// What the program sets up before its window: version record and icon.
#include <QApplication>
#include <QIcon>
#include <QTest>

#include "app/application.h"

class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void versionRecordAndIcon()
    {
        rotamet::setUpApplication();
        QCOMPARE(QCoreApplication::applicationName(), QString("Tachocalc"));
        QCOMPARE(QCoreApplication::applicationVersion(), QString("1.00"));
        const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
        for (int size : {16, 32, 64})
            QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    }
};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
