// The main() of a suite with a window: QTEST_MAIN's, ending through
// endSuite().
#pragma once

#include <QApplication>
#include <QTest>

namespace rotamet::test {

// How a suite's process ends once Qt Test has written its results: on Linux
// it returns them; on Windows (tests/support/windows/) it ends the process
// there with them, without the libraries' exit code.
int endSuite(int status);

}  // namespace rotamet::test

#define ROTAMET_TEST_MAIN(TestObject)                                                                                  \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return rotamet::test::endSuite(QTest::qExec(&tc, argc, argv));                                                 \
    }
