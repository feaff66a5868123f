// Runs the layout subsystem's test classes in one executable.

#include <QApplication>
#include <QTest>

#include <memory>
#include <vector>

QObject *newSelectTemplateTest();
QObject *newUserEditTest();
QObject *newLabelArtTest();
QObject *newTemplateLibraryTest();

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    std::vector<std::unique_ptr<QObject>> tests;
    tests.emplace_back(newSelectTemplateTest());
    tests.emplace_back(newUserEditTest());
    tests.emplace_back(newLabelArtTest());
    tests.emplace_back(newTemplateLibraryTest());
    int failed = 0;
    for (const auto &test : tests)
        failed += QTest::qExec(test.get(), argc, argv);
    return failed == 0 ? 0 : 1;
}
