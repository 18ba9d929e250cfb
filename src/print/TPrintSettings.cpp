#include "print/TPrintSettings.h"

#include "print/ELinePrinter.h"

#include <QSettings>
#include <QtEndian>

#include <cstring>

namespace {
const char *const SettingsKey = "RichPrint.Settings";
const char *const MarginsKey = "Marges";
const char *const CompressKey = "Compress";

QSettings UserSettings()
{
    return QSettings(QStringLiteral("Zarvel"), QStringLiteral("Zarvel"));
}

QByteArray DoubleBytes(double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray bytes(8, '\0');
    qToLittleEndian(bits, bytes.data());
    return bytes;
}

double ReadBinaryDouble(const QSettings &settings, const QString &name)
{
    const QVariant value = settings.value(name);
    const QByteArray bytes =
        value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
    if (bytes.size() != 8)
        throw ELinePrinter(QStringLiteral("Invalid data type for '%1'").arg(name));
    const quint64 bits = qFromLittleEndian<quint64>(bytes.constData());
    double result = 0;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}

// "1" or nothing saved is the first choice, anything else the second.
bool IsOneOrMissing(const QString &code)
{
    return code.isEmpty() || code == QLatin1String("1");
}

QString OneOrZero(bool one)
{
    return one ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

std::optional<TPrintSettings::TSavedMargins> TPrintSettings::LoadMargins()
{
    QSettings settings = UserSettings();
    settings.beginGroup(SettingsKey);
    if (!settings.childGroups().contains(MarginsKey))
        return std::nullopt;
    settings.beginGroup(MarginsKey);
    TSavedMargins saved;
    saved.Margins.Left = ReadBinaryDouble(settings, QStringLiteral("MarginLeft"));
    saved.Margins.Top = ReadBinaryDouble(settings, QStringLiteral("MarginTop"));
    saved.Margins.Bottom = ReadBinaryDouble(settings, QStringLiteral("MarginBottom"));
    saved.Margins.Right = ReadBinaryDouble(settings, QStringLiteral("MarginRight"));
    saved.Unit = IsOneOrMissing(settings.value(QStringLiteral("CodeMeasurement")).toString())
                     ? muMillimeters
                     : muInches;
    saved.Orientation = IsOneOrMissing(settings.value(QStringLiteral("CodeDirection")).toString())
                            ? QPageLayout::Portrait
                            : QPageLayout::Landscape;
    return saved;
}

void TPrintSettings::StoreMargins(const TSavedMargins &saved)
{
    QSettings settings = UserSettings();
    settings.beginGroup(SettingsKey);
    settings.beginGroup(MarginsKey);
    settings.setValue(QStringLiteral("MarginLeft"), DoubleBytes(saved.Margins.Left));
    settings.setValue(QStringLiteral("MarginTop"), DoubleBytes(saved.Margins.Top));
    settings.setValue(QStringLiteral("MarginBottom"), DoubleBytes(saved.Margins.Bottom));
    settings.setValue(QStringLiteral("MarginRight"), DoubleBytes(saved.Margins.Right));
    settings.setValue(QStringLiteral("CodeMeasurement"), OneOrZero(saved.Unit == muMillimeters));
    settings.setValue(QStringLiteral("CodeDirection"),
                      OneOrZero(saved.Orientation == QPageLayout::Portrait));
}

bool TPrintSettings::CompressPreview()
{
    const QVariant compress =
        UserSettings().value(QStringLiteral("RichPrint.Settings/Compress/CompressPreview"));
    return !compress.isValid() || compress.toString() != QLatin1String("0");
}

void TPrintSettings::StoreCompressPreview(bool compress)
{
    QSettings settings = UserSettings();
    settings.beginGroup(SettingsKey);
    settings.beginGroup(CompressKey);
    settings.setValue(QStringLiteral("CompressPreview"), OneOrZero(compress));
}
