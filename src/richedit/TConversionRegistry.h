#pragma once

#include "richedit/TConversion.h"

#include <QString>

#include <functional>
#include <memory>

// The list of file-name extensions with the conversion that loads and saves them, shared by
// every rich text control and searched from its head. It starts with "txt" and "rtf", both
// with the pass-through TConversion, which is also the conversion of every other extension.
class TConversionRegistry
{
public:
    using Factory = std::function<std::unique_ptr<TConversion>()>;

    // Adds an entry at the end of the list.
    static void Register(const QString &extension, Factory factory);
    // A new conversion object for the extension (lower case, without the dot): the first
    // entry whose extension equals it exactly, else the default TConversion.
    static std::unique_ptr<TConversion> Create(const QString &extension);
    // The extension of a file name as the registry compares it: lower case, without the dot.
    static QString ExtensionOf(const QString &fileName);
};
