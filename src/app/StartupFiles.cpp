#include "app/StartupFiles.h"

#include "app/ShowMsgBox.h"
#include "app/TAssemblyCommands.h"
#include "app/TFileCommands.h"
#include "app/TMainForm.h"

#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace {

enum class TKind { Document, Template, Information };

TKind KindOf(const QFileInfo &file)
{
    const QString suffix = file.suffix().toLower();
    if (suffix == QLatin1String("inf") || QStringList{"csv", "tsv", "ods", "xlsx"}.contains(suffix))
        return TKind::Information;
    return suffix == QLatin1String("tem") ? TKind::Template : TKind::Document;
}

TPane PaneOf(TKind kind)
{
    return kind == TKind::Information ? TPane::Information : TPane::Document;
}

// Why the file cannot be opened; empty when it can.
QString Problem(const QFileInfo &file)
{
    if (!file.exists())
        return QStringLiteral("there is no such file");
    if (file.isDir())
        return QStringLiteral("it is a folder");
    if (!file.isReadable())
        return QStringLiteral("you have no permission to read it");
    return QString();
}

void Open(TMainForm &form, TKind kind, const QString &fileName)
{
    form.AskSaveChanges(PaneOf(kind));
    switch (kind) {
    case TKind::Information:
        form.AssemblyCommands().SelectInformationFile(fileName);
        break;
    case TKind::Template:
        form.AssemblyCommands().SelectTemplateFile(fileName);
        break;
    case TKind::Document:
        form.FileCommands().OpenDocument(fileName, false);
        break;
    }
}

struct TChosen
{
    TKind Kind;
    QString FileName;
};

} // namespace

void OpenStartupFiles(TMainForm &form, const QStringList &fileNames)
{
    // At most one file a pane, in the order of the arguments.
    std::vector<TChosen> chosen;
    QStringList problems;
    for (const QString &name : fileNames) {
        const QFileInfo file(name);
        const QString problem = Problem(file);
        if (!problem.isEmpty()) {
            problems << QStringLiteral("\"%1\": %2.").arg(name, problem);
            continue;
        }
        const TKind kind = KindOf(file);
        chosen.erase(
            std::remove_if(chosen.begin(), chosen.end(),
                           [kind](const TChosen &c) { return PaneOf(c.Kind) == PaneOf(kind); }),
            chosen.end());
        chosen.push_back({kind, file.absoluteFilePath()});
    }
    if (problems.size() == 1)
        ShowMsgBox(QStringLiteral("Zarvel"), QLatin1Char('!'),
                   QStringLiteral("Cannot open ") + problems.first());
    else if (!problems.isEmpty())
        ShowMsgBox(QStringLiteral("Zarvel"), QLatin1Char('!'),
                   QStringLiteral("These files cannot be opened:;") +
                       problems.join(QLatin1Char(';')));
    for (const TChosen &file : chosen)
        TMainForm::RunCommand([&form, &file] { Open(form, file.Kind, file.FileName); });
}
