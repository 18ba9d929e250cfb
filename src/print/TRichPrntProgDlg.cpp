#include "print/TRichPrntProgDlg.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

TRichPrntProgDlg::TRichPrntProgDlg(QWidget *parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("RichPrntProgDlg"));
    setWindowTitle(QStringLiteral("Print Progress"));
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
    lblPageNumDesc = label("lblPageNumDesc", 12, 56, QStringLiteral("Page Number:"));
    lblPageNumDesc->resize(78, lblPageNumDesc->height());
    lblPageNumber = label("lblPageNumber", 92, 56, QString());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}
