#pragma once

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

// Points the current folder, the settings store and the home folder at a scratch folder for
// the life of a test program, so that no test reads or writes the user's real ones.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    QString path() const { return FDir.path(); }
    // A file name inside the scratch folder.
    QString filePath(const QString &name) const { return FDir.filePath(name); }
    // The folder of the checked-in sample inputs.
    static QString dataPath(const QString &name);

private:
    QTemporaryDir FDir;
    QString FOldCurrent;
};

// Like QTEST_MAIN, but runs the tests inside a TestEnvironment.
#define ZARVEL_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        QApplication app(argc, argv);                                                              \
        TestEnvironment environment;                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        TestObject tc;                                                                             \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
