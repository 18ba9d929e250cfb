#include "print/TRichPrntProgDlg.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

TRichPrntProgDlg::TRichPrntProgDlg(QWidget *parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("RichPrntProgDlg"));
    setWindowTitle(tr("Print Progress"));
    setWindowModality(Qt::ApplicationModal);
    resize(284, 85);
    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel"));
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(4, 4, 277, 77);
    const auto label = [this](const char *name, int x, int y, const QString &text) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->move(x, y);
        l->resize(260 - x + 12, l->sizeHint().height());
        return l;
    };
    lblStatus = label("lblStatus", 12, 16, QString());
    lblTitle = label("lblTitle", 12, 36, QString());
    lblPageNumDesc = label("lblPageNumDesc", 12, 56, tr("Page Number:"));
    lblPageNumDesc->resize(lblPageNumDesc->sizeHint().width(), lblPageNumDesc->height());
    lblPageNumber =
        label("lblPageNumber", qMax(92, lblPageNumDesc->geometry().right() + 6), 56, QString());
    lblPageNumber->resize(60, lblPageNumber->height());
    btnCancel = new QPushButton(tr("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->resize(btnCancel->sizeHint().expandedTo(QSize(75, 23)));
    btnCancel->move(277 - btnCancel->width(), 77 - btnCancel->height());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TRichPrntProgDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        btnCancel->click();
    else
        QWidget::keyPressEvent(event);
}
