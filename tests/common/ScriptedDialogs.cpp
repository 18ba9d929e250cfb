#include "ScriptedDialogs.h"

#include "widgets/TDialogSeam.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>

ScriptedDialogs::ScriptedDialogs()
{
    TDialogSeam::SetHandler([this](QDialog &dialog) { return Run(dialog); });
}

ScriptedDialogs::~ScriptedDialogs()
{
    TDialogSeam::SetHandler({});
}

void ScriptedDialogs::Then(Answer answer)
{
    FAnswers.push_back(std::move(answer));
}

void ScriptedDialogs::ThenClick(const QString &button)
{
    Then([button](QDialog &dialog) {
        const auto buttons = dialog.findChildren<QAbstractButton *>();
        for (QAbstractButton *b : buttons) {
            if (b->objectName() == button) {
                b->click();
                return dialog.result();
            }
        }
        for (QAbstractButton *b : buttons) {
            if (b->text() == button) {
                b->click();
                return dialog.result();
            }
        }
        return int(QDialog::Rejected);
    });
}

void ScriptedDialogs::ThenChooseFile(const QString &fileName)
{
    Then([fileName](QDialog &dialog) {
        if (auto *fd = qobject_cast<QFileDialog *>(&dialog))
            fd->selectFile(fileName);
        dialog.setResult(QDialog::Accepted);
        return int(QDialog::Accepted);
    });
}

void ScriptedDialogs::ThenReject()
{
    Then([](QDialog &dialog) {
        dialog.setResult(QDialog::Rejected);
        return int(QDialog::Rejected);
    });
}

void ScriptedDialogs::ThenAccept()
{
    Then([](QDialog &dialog) {
        dialog.setResult(QDialog::Accepted);
        return int(QDialog::Accepted);
    });
}

QString ScriptedDialogs::TextOf(const QDialog &dialog)
{
    QStringList parts;
    if (!dialog.windowTitle().isEmpty())
        parts << dialog.windowTitle();
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        if (!label->text().isEmpty())
            parts << label->text();
    for (const QLineEdit *edit : dialog.findChildren<QLineEdit *>())
        if (!edit->text().isEmpty())
            parts << edit->text();
    return parts.join('\n');
}

int ScriptedDialogs::Run(QDialog &dialog)
{
    FSeen << TextOf(dialog);
    if (FAnswers.empty()) {
        ++FUnexpected;
        return QDialog::Rejected;
    }
    Answer answer = std::move(FAnswers.front());
    FAnswers.pop_front();
    return answer(dialog);
}
