#include "widgets/THtmlPane.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <QUrl>

#include <stdexcept>

THtmlPane::THtmlPane(QWidget *parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("HtmlPane1"));
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    setOpenExternalLinks(true);
    QFont base(QStringLiteral("Times New Roman"));
    base.setPointSize(12);
    document()->setDefaultFont(base);
    document()->setDefaultStyleSheet(
        QStringLiteral("pre, code, tt { font-family: 'Courier New', monospace; }"));
}

void THtmlPane::Clear()
{
    clear();
    clearHistory();
    FCurrentFile.clear();
}

void THtmlPane::LoadFromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Cannot open the HTML file \"%1\".").arg(fileName).toStdString());
    file.close();
    setSource(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()),
              QTextDocument::HtmlResource);
    clearHistory();
    FCurrentFile = fileName;
}
