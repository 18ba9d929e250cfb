#include "widgets/TForm1.h"

#include "widgets/ProgramData.h"
#include "widgets/TDialogSeam.h"
#include "widgets/THtmlPane.h"

#include <QAction>
#include <QFileDialog>
#include <QMenuBar>

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent), FHelpFileName(ProgramDataFile(QStringLiteral("zarvelhelp.htm")))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zarvel Help"));
    setGeometry(125, 230, 622, 300);
    HtmlPane1 = new THtmlPane(this);
    setCentralWidget(HtmlPane1);

    QMenu *file = menuBar()->addMenu(QStringLiteral("File"));
    L1 = file->addAction(QStringLiteral("&Load "));
    L1->setObjectName(QStringLiteral("L1"));
    L1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    e1 = file->addAction(QStringLiteral("E&xit"));
    e1->setObjectName(QStringLiteral("e1"));
    e1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    connect(L1, &QAction::triggered, this, &TForm1::L1Click);
    connect(e1, &QAction::triggered, this, &TForm1::e1Click);
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    FormShow();
}

void TForm1::FormShow()
{
    HtmlPane1->Clear();
    try {
        HtmlPane1->LoadFromFile(FHelpFileName);
    } catch (const std::exception &error) {
        // A message box while the window is being shown would stack a modal loop inside the
        // show; the pane says what is wrong instead.
        HtmlPane1->setPlainText(QString::fromUtf8(error.what()));
    }
}

void TForm1::L1Click()
{
    QFileDialog dialog(this, QStringLiteral("Load"));
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters({QStringLiteral("HTML Files (*.htm)"), QStringLiteral("*.html")});
    if (TDialogSeam::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    HtmlPane1->Clear();
    HtmlPane1->LoadFromFile(dialog.selectedFiles().first());
}

void TForm1::e1Click()
{
    hide();
}
