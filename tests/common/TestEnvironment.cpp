#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <cstdlib>

TestEnvironment::TestEnvironment() : FOldCurrent(QDir::currentPath())
{
    Q_ASSERT(FDir.isValid());
    const QString home = FDir.filePath("home");
    QDir().mkpath(home + "/.config");
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home + "/.config");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home + "/.config");
    QDir::setCurrent(FDir.path());
}

TestEnvironment::~TestEnvironment()
{
    QDir::setCurrent(FOldCurrent);
}

QString TestEnvironment::dataPath(const QString &name)
{
    QString root = qEnvironmentVariable("ZARVEL_TEST_DATA");
    if (root.isEmpty())
        root = QStringLiteral(ZARVEL_SOURCE_DIR "/tests/data");
    return QDir(root).filePath(name);
}
