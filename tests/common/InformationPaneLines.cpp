#include "InformationPaneLines.h"

#include "richedit/TRichEditEx.h"
#include "richedit/TRichEditStringsEx.h"
#include "richedit/TWideRichEditStringsEx.h"

#include <QFile>
#include <QTextDocument>

std::vector<std::string> InformationPaneLines(const std::string &fileName)
{
    // One control for every call: fuzzing and the random-file tests read thousands of files.
    static TRichEditEx *pane = [] {
        auto *made = new TRichEditEx();
        made->SetLanguage(1033);
        made->SetInputFormat(TInputFormat::ifRTF);
        made->SetPlainRTF(true);
        made->SetWordWrap(false);
        made->document()->setPageSize(QSizeF(0, 0));
        return made;
    }();
    pane->Lines().LoadFile(QFile::decodeName(QByteArray::fromStdString(fileName)));
    std::vector<std::string> lines;
    for (int i = 0; i < pane->WideLines().LineCount(); ++i)
        lines.push_back(pane->WideLines().LineAt(i).toUtf8().toStdString());
    return lines;
}
