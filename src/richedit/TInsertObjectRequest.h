#pragma once

#include <QString>

// What the insert-object dialog chose: a file, embedded or linked, shown as it is or as an icon.
struct TInsertObjectRequest
{
    enum class TKind { EmbeddedFromFile, LinkedToFile };

    TKind Kind = TKind::EmbeddedFromFile;
    QString FileName;
    bool DisplayAsIcon = false;
};
