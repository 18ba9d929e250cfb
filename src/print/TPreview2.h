#pragma once

#include <QRect>
#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QScrollArea;
class TPageImage;

// Where the second window stands and how its parts are laid out: taken from the preview
// window each time the second one is activated, since the first may have been resized.
struct TPreviewPlacement
{
    QPoint Position;
    QSize Size;
    QRect ScrollBounds;
    QSize ImageSize;
    QRect PanelBounds;
};

// The right-hand window of the two-page preview: the preview window draws the odd-indexed
// pages into it and sets its page label; keys pressed here go back to the preview window.
class TPreview2 : public QWidget
{
    Q_OBJECT
public:
    using TPlacementSource = std::function<TPreviewPlacement()>;

    // `preview` is the first window, which takes the keys; `placement` says where this one
    // stands beside it.
    TPreview2(QWidget &preview, TPlacementSource placement, double aspectRatio,
              const QRect &screen);

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
    QWidget &FPreview;
    TPlacementSource FPlacement;
    int FPageImageWidth = 0;
};
