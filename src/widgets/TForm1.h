#pragma once

#include <QMainWindow>

class QAction;
class THtmlPane;

// The help window: shows the help file "zarvelhelp.htm" from the program's folder (or the
// installed program's data folder) every time it is shown; its menu loads another HTML file or
// hides the window.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);

    // The help file shown on every show; by default "zarvelhelp.htm" beside the executable, or
    // in the installed program's data folder.
    QString HelpFileName() const { return FHelpFileName; }
    void SetHelpFileName(const QString &value) { FHelpFileName = value; }

    THtmlPane *HtmlPane1 = nullptr;
    QAction *L1 = nullptr;
    QAction *e1 = nullptr;

public slots:
    void FormShow();
    // "&Load ": choose another HTML file and show it.
    void L1Click();
    // "E&xit": hide the window.
    void e1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString FHelpFileName;
};
