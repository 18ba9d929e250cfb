#include "widgets/FileDialogColumns.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLocale>
#include <QMimeDatabase>
#include <QTreeView>

#include <algorithm>
#include <initializer_list>

namespace {
enum TColumn { NameColumn, SizeColumn, TypeColumn, DateColumn };
// Room for the sort indicator and the cell's padding.
constexpr int Padding = 28;

int Widest(const QFontMetrics &metrics, std::initializer_list<QString> texts)
{
    int widest = 0;
    for (const QString &text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest + Padding;
}

QString TypeName(const char *mimeType)
{
    return QMimeDatabase().mimeTypeForName(QString::fromLatin1(mimeType)).comment();
}
} // namespace

void FitFileDialogColumns(QFileDialog &dialog)
{
    // Once: widths the user set afterwards stay.
    const char *const fitted = "ZarvelColumnsFitted";
    auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!view || !view->header() || dialog.property(fitted).toBool())
        return;
    dialog.setProperty(fitted, true);
    QHeaderView &header = *view->header();
    const QFontMetrics metrics(view->font());
    const QLocale locale;
    header.setStretchLastSection(false);
    header.setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    header.resizeSection(
        SizeColumn,
        Widest(metrics, {locale.formattedDataSize(1023 * 1024 * 1024 + 1),
                         header.model()->headerData(SizeColumn, Qt::Horizontal).toString()}));
    header.resizeSection(TypeColumn,
                         Widest(metrics, {TypeName("text/rtf"), TypeName("text/plain"),
                                          TypeName("text/html"), TypeName("inode/directory")}));
    header.resizeSection(
        DateColumn, Widest(metrics, {locale.toString(QDateTime(QDate(2026, 12, 28), QTime(23, 58)),
                                                     QLocale::ShortFormat)}));
}
