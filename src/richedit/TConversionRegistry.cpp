#include "richedit/TConversionRegistry.h"

#include <QFileInfo>

#include <utility>
#include <vector>

namespace {
using Entry = std::pair<QString, TConversionRegistry::Factory>;

std::unique_ptr<TConversion> PassThrough()
{
    return std::make_unique<TConversion>();
}

// Shared by every control; only the program's start-up adds entries.
std::vector<Entry> &Entries()
{
    static std::vector<Entry> entries{{QStringLiteral("txt"), PassThrough},
                                      {QStringLiteral("rtf"), PassThrough}};
    return entries;
}
} // namespace

void TConversionRegistry::Register(const QString &extension, Factory factory)
{
    Entries().emplace_back(extension, std::move(factory));
}

std::unique_ptr<TConversion> TConversionRegistry::Create(const QString &extension)
{
    for (const Entry &entry : Entries())
        if (entry.first == extension)
            return entry.second();
    return PassThrough();
}

QString TConversionRegistry::ExtensionOf(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}
