#include "widgets/SettingsStore.h"

#include <QSettings>

#include <algorithm>

namespace SettingsStore {

std::unique_ptr<QSettings> Open(TRegRoot root)
{
    const QSettings::Scope scope =
        root == TRegRoot::CURRENT_USER ? QSettings::UserScope : QSettings::SystemScope;
    return std::make_unique<QSettings>(QSettings::NativeFormat, scope, QStringLiteral("Zarvel"),
                                       QStringLiteral("Zarvel"));
}

QString GroupPath(const QString &keyPath)
{
    QString path = keyPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

namespace {

// Compares names piece by piece; runs of digits compare by their value.
bool NaturalLess(const QString &a, const QString &b)
{
    int i = 0;
    int j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            int ei = i;
            int ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            QString da = a.mid(i, ei - i);
            QString db = b.mid(j, ej - j);
            while (da.size() > 1 && da.startsWith(QLatin1Char('0')))
                da.remove(0, 1);
            while (db.size() > 1 && db.startsWith(QLatin1Char('0')))
                db.remove(0, 1);
            if (da.size() != db.size())
                return da.size() < db.size();
            if (da != db)
                return da < db;
            i = ei;
            j = ej;
            continue;
        }
        const QChar ca = a[i].toLower();
        const QChar cb = b[j].toLower();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

} // namespace

QStringList InWrittenOrder(QStringList names)
{
    std::stable_sort(names.begin(), names.end(), NaturalLess);
    return names;
}

} // namespace SettingsStore
