#pragma once

#include <QRect>
#include <QWidget>

class QFrame;
class QLabel;
class QScrollArea;
class TPageImage;
class TRichPreviewForm;

// The right-hand window of the two-page preview: the preview window draws the odd-indexed
// pages into it and sets its page label; keys pressed here go back to the preview window.
class TPreview2 : public QWidget
{
    Q_OBJECT
public:
    TPreview2(TRichPreviewForm &preview, const QRect &screen);

    // Placed right of the preview window with its size and its image bounds.
    void FormActivate();

    int PageImageWidth() const { return FPageImageWidth; }

    QScrollArea *ScrollBox1 = nullptr;
    TPageImage *Image1 = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    TRichPreviewForm &FPreview;
    int FPageImageWidth = 0;
};
