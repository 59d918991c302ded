// The thread tools every wait of the program goes through: a job's
// exception comes back as its error, a wait ends at its deadline, and a job
// given up before it commits has no effect, while one that had committed is
// told as such.
#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <new>
#include <stdexcept>

#include "catalogue/pumpfile.h"
#include "work/job.h"
#include "work/offthread.h"
#include "work/workthread.h"

using namespace rotamet;
using namespace std::chrono_literals;

class TestWork : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void aJobsExceptionIsItsError_data();
    void aJobsExceptionIsItsError();
    void aWaitEndsAtItsDeadline_data();
    void aWaitEndsAtItsDeadline();
    void aThreadLeftBehindHoldsUpNoLaterCall();
    void aPumpChangeGivenUpLeavesTheFileAsItWas_data();
    void aPumpChangeGivenUpLeavesTheFileAsItWas();
};

namespace {
void throwWhat(const QString &what)
{
    if (what == "bad_alloc")
        throw std::bad_alloc();
    if (what == "runtime_error")
        throw std::runtime_error("qualcosa");
    if (what == "RunTimeError")
        throw RunTimeError(errcode::PrinterError, "Errore della stampante: carta");
    throw 42;
}
}  // namespace

// The threads of a test end, and are deleted, before the next test.
void TestWork::cleanup()
{
    QVERIFY(work::waitForWorkThreads(20s));
    QTest::qWait(10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestWork::aJobsExceptionIsItsError_data()
{
    QTest::addColumn<QString>("thrown");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("description");
    QTest::newRow("std::bad_alloc") << "bad_alloc" << 7 << "Memoria esaurita";
    QTest::newRow("std::runtime_error") << "runtime_error" << 51 << "Errore interno: qualcosa";
    QTest::newRow("a run-time error") << "RunTimeError" << 482 << "Errore della stampante: carta";
    QTest::newRow("no exception class") << "int" << 51 << "Errore interno";
}

// The same on each of the three ways to run a job.
void TestWork::aJobsExceptionIsItsError()
{
    QFETCH(QString, thrown);
    QFETCH(int, code);
    QFETCH(QString, description);
    const auto check = [&](const std::optional<RunTimeError> &error) {
        QVERIFY(error);
        QCOMPARE(error->code(), code);
        QCOMPARE(QString::fromStdString(error->description()), description);
    };

    const work::Answer<int> awaited = work::awaitOffThread<int>(
        [&] {
            throwWhat(thrown);
            return 0;
        },
        5s);
    QCOMPARE(awaited.waited, work::Waited::Done);
    check(awaited.error);

    work::WorkThread thread;
    const work::Answer<int> onThread = thread.await<int>(
        [&] {
            throwWhat(thrown);
            return 0;
        },
        5s);
    QCOMPARE(onThread.waited, work::Waited::Done);
    check(onThread.error);
    // The thread goes on taking calls.
    QCOMPARE(thread.await<int>([] { return 7; }, 5s).value, std::optional<int>(7));

    work::Awaited done;
    std::optional<RunTimeError> told;
    work::runOffThread<int>(
        &done,
        [&] {
            throwWhat(thrown);
            return 0;
        },
        [&](work::Outcome<int> outcome) {
            told = outcome.error;
            done.done();
        });
    QCOMPARE(work::waitFor(done, 5s), work::Waited::Done);
    check(told);
}

void TestWork::aWaitEndsAtItsDeadline_data()
{
    QTest::addColumn<bool>("commitsFirst");
    QTest::newRow("held before it commits") << false;
    QTest::newRow("held after it committed") << true;
}

// A job held past the deadline: the wait ends, the answer says whether the
// job had committed, and one that had not may not commit afterwards.
void TestWork::aWaitEndsAtItsDeadline()
{
    QFETCH(bool, commitsFirst);
    auto gate = std::make_shared<QSemaphore>();
    auto lateCommit = std::make_shared<std::atomic<int>>(-1);
    auto ended = std::make_shared<QSemaphore>();
    const work::Answer<int> answer = work::awaitOffThread<int>(
        [=] {
            if (commitsFirst)
                work::commit();
            gate->tryAcquire(1, 20000);
            *lateCommit = work::commit();
            ended->release();
            return 1;
        },
        300ms);
    QCOMPARE(answer.waited, work::Waited::TimedOut);
    QCOMPARE(answer.committed, commitsFirst);
    QVERIFY(!answer.value);
    gate->release();
    QVERIFY(ended->tryAcquire(1, 20000));
    QCOMPARE(lateCommit->load(), int(commitsFirst));
}

// A call stuck on a work thread is left behind at its deadline; the next
// call gets a thread of its own and is answered at once.
void TestWork::aThreadLeftBehindHoldsUpNoLaterCall()
{
    auto gate = std::make_shared<QSemaphore>();
    work::WorkThread thread;
    const work::Answer<int> stuck = thread.await<int>(
        [gate] {
            gate->tryAcquire(1, 20000);
            return 1;
        },
        200ms);
    QCOMPARE(stuck.waited, work::Waited::TimedOut);
    const work::Answer<int> next = thread.await<int>([] { return 2; }, 5s);
    QCOMPARE(next.waited, work::Waited::Done);
    QCOMPARE(next.value, std::optional<int>(2));
    gate->release();
    QVERIFY(work::waitForWorkThreads(20s));
}

void TestWork::aPumpChangeGivenUpLeavesTheFileAsItWas_data()
{
    QTest::addColumn<bool>("givenUp");
    QTest::newRow("given up before it wrote") << true;
    QTest::newRow("waited for") << false;
}

// A change of the pumps' file whose waiting side gave up on it (its
// deadline passed) never takes the file's name: the file is exactly as it
// was, and nothing else is left in its folder.
void TestWork::aPumpChangeGivenUpLeavesTheFileAsItWas()
{
    QFETCH(bool, givenUp);
    QTemporaryDir dir;
    const QString path = dir.filePath("pompe.csv");
    const QByteArray before = "codice;minimo_mm;massimo_mm;fine_alzata_gradi\n0445010800;37,35;46,95;110\n";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    auto state = std::make_shared<work::JobState>();
    if (givenUp)
        QVERIFY(state->abandon());
    {
        const work::CurrentJob job(state);
        catalogue::PumpFile(path).change([](catalogue::Catalogue &c) { return c.add({"0445010801", 38, 47, 110}); });
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    QCOMPARE(after == before, givenUp);
    QVERIFY(after.contains("0445010800"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"pompe.csv"});
}

QTEST_GUILESS_MAIN(TestWork)
#include "tst_work.moc"
