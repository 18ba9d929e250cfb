#include "widgets/MemoryStatus.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include <sys/sysinfo.h>

namespace MemoryStatus {

int LoadPercent(quint64 total, quint64 available)
{
    if (total == 0 || available >= total)
        return 0;
    return int((total - available) * 100 / total);
}

Status Read()
{
    Status status;
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (meminfo.open(QIODevice::ReadOnly)) {
        quint64 total = 0;
        quint64 available = 0;
        bool haveAvailable = false;
        static const QRegularExpression line(QStringLiteral("^(\\w+):\\s+(\\d+)\\s*kB"));
        for (const QByteArray &raw : meminfo.readAll().split('\n')) {
            const auto match = line.match(QString::fromLatin1(raw));
            if (!match.hasMatch())
                continue;
            const quint64 kb = match.captured(2).toULongLong();
            if (match.captured(1) == QLatin1String("MemTotal"))
                total = kb * 1024;
            else if (match.captured(1) == QLatin1String("MemAvailable")) {
                available = kb * 1024;
                haveAvailable = true;
            }
        }
        if (total > 0 && haveAvailable) {
            status.TotalPhys = total;
            status.MemoryLoad = LoadPercent(total, available);
            return status;
        }
    }
    struct sysinfo info
    {
    };
    if (sysinfo(&info) == 0) {
        status.TotalPhys = quint64(info.totalram) * info.mem_unit;
        status.MemoryLoad =
            LoadPercent(status.TotalPhys, quint64(info.freeram + info.bufferram) * info.mem_unit);
    }
    return status;
}

QString FormatPhysMem(quint64 totalBytes)
{
    QLocale locale = QLocale::system();
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(qulonglong(totalBytes / 1024)) + QStringLiteral(" KB");
}

QString FormatMemoryLoad(int percent)
{
    return QString::asprintf("%d %%", percent);
}

} // namespace MemoryStatus
