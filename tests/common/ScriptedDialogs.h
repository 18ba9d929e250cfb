#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

class QDialog;

// Answers the program's modal dialogs in a test, in the order they are expected.
// Each answer sees the prepared dialog and returns its result; a dialog that arrives with no
// answer left is rejected and recorded as unexpected.
class ScriptedDialogs
{
public:
    using Answer = std::function<int(QDialog &)>;

    ScriptedDialogs();
    ~ScriptedDialogs();
    ScriptedDialogs(const ScriptedDialogs &) = delete;
    ScriptedDialogs &operator=(const ScriptedDialogs &) = delete;

    void Then(Answer answer);
    // Clicks the push button with this object name (or, failing that, this text).
    void ThenClick(const QString &button);
    // Selects this file in a QFileDialog and accepts it.
    void ThenChooseFile(const QString &fileName);
    void ThenReject();
    void ThenAccept();

    int Pending() const { return int(FAnswers.size()); }
    int Unexpected() const { return FUnexpected; }
    // Every label text, window title and input text of each dialog seen, one entry a dialog.
    const QStringList &Seen() const { return FSeen; }
    QString LastSeen() const { return FSeen.isEmpty() ? QString() : FSeen.last(); }

    // All visible texts of a dialog joined with newlines.
    static QString TextOf(const QDialog &dialog);

private:
    int Run(QDialog &dialog);

    std::deque<Answer> FAnswers;
    QStringList FSeen;
    int FUnexpected = 0;
};
