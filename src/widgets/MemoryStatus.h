#pragma once

#include <QString>
#include <QtGlobal>

// The machine's memory figures shown in the about box.
namespace MemoryStatus {

struct Status
{
    quint64 TotalPhys = 0; // bytes of physical memory
    int MemoryLoad = 0;    // percent of physical memory in use
};

// Reads /proc/meminfo, falling back to sysinfo(); zeros when neither can be read.
Status Read();
// The memory load of a total and an available byte count, in whole percent.
int LoadPercent(quint64 total, quint64 available);
// Total physical memory in kilobytes with thousands separators, e.g. "4,096 KB".
QString FormatPhysMem(quint64 totalBytes);
// Memory load as "%d %".
QString FormatMemoryLoad(int percent);

} // namespace MemoryStatus
