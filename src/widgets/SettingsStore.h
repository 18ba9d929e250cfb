#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// Roots of the per-user settings store that the components can be told to use.
enum class TRegRoot { CURRENT_USER, LOCAL_MACHINE, CURRENT_CONFIG };

// The program's settings store (QSettings, organisation and application "Zarvel").
namespace SettingsStore {

// The current user's store, or the machine-wide one for the other roots.
std::unique_ptr<QSettings> Open(TRegRoot root);

// "\Software\My Application" -> "Software/My Application".
QString GroupPath(const QString &keyPath);

// Value names in the order they were written: numbers inside names compare as numbers, so
// F2 comes before F10 (QSettings itself lists names alphabetically).
QStringList InWrittenOrder(QStringList names);

} // namespace SettingsStore
