// One executable for the shell's settings, recent files and single-instance tests.

#include <QApplication>
#include <QTest>

#include <memory>
#include <vector>

std::unique_ptr<QObject> makeIniFileTest();
std::unique_ptr<QObject> makePrefsTest();
std::unique_ptr<QObject> makeMRUListTest();
std::unique_ptr<QObject> makeSingleInstanceTest();

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    std::vector<std::unique_ptr<QObject>> tests;
    tests.push_back(makeIniFileTest());
    tests.push_back(makePrefsTest());
    tests.push_back(makeMRUListTest());
    tests.push_back(makeSingleInstanceTest());
    int failed = 0;
    for (const auto &test : tests)
        failed += QTest::qExec(test.get(), argc, argv);
    return failed;
}
