#include "print/TPreviewPageStore.h"

#include "print/TCompress.h"
#include "widgets/WorkingFolder.h"

#include <QFile>
#include <QPicture>

QString TPreviewPageStore::FileName(int index, bool compressed)
{
    const QString name = WorkingFolder::File(QStringLiteral("PreviewMetafile%1").arg(index));
    return compressed ? name + QStringLiteral(".CPR") : name;
}

void TPreviewPageStore::Store(int index, const QPicture &page,
                              const std::function<void()> &unwritable) const
{
    const QString name = FileName(index, false);
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (unwritable)
            unwritable();
    } else {
        QPicture copy(page);
        copy.save(&file);
        file.close();
    }
    if (FCompressed) {
        TCompress::CompressFile(name, FileName(index, true));
        QFile::remove(name);
    }
}

bool TPreviewPageStore::Load(int index, QPicture &page) const
{
    const QString plain = FileName(index, false);
    if (FCompressed) {
        const bool ok = TCompress::DecompressFile(FileName(index, true), plain);
        const bool loaded = ok && page.load(plain);
        QFile::remove(plain);
        return loaded;
    }
    return QFile::exists(plain) && page.load(plain);
}

bool TPreviewPageStore::Exists(int index) const
{
    return QFile::exists(FileName(index, FCompressed));
}

void TPreviewPageStore::DeleteAll() const
{
    // Every page goes, however many the preview made: a stop after a fixed count would leave
    // the later ones behind.
    for (int i = 0;; ++i) {
        QFile file(FileName(i, FCompressed));
        if (!file.open(QIODevice::ReadOnly))
            break;
        file.close();
        file.remove();
    }
}
