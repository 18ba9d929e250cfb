#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QWidget>

// Horizontal placement of each line of a TVertScrollText.
enum class TAlign { alLeft, alCenter, alRight };

// Text that scrolls upwards over a background picture, one pixel every Interval milliseconds.
class TVertScrollText : public QWidget
{
    Q_OBJECT
public:
    explicit TVertScrollText(QWidget *parent = nullptr);

    QStringList Lines() const { return FLines; }
    void SetLines(const QStringList &value);
    int Interval() const { return FTimer.interval(); }
    void SetInterval(int value);
    QPixmap BkgrndBitmap() const { return FBkgrndBitmap; }
    void SetBkgrndBitmap(const QPixmap &value);
    bool RepeatScroll() const { return FRepeatScroll; }
    void SetRepeatScroll(bool value) { FRepeatScroll = value; }
    // Scrolling runs; switching it on starts again from the bottom.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    TAlign Alignment() const { return FAlignment; }
    void SetAlignment(TAlign value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    // The colour of the text (the font colour).
    QColor FontColor() const;
    void SetFontColor(const QColor &value);

    void BuildBitmaps();
    void ScrollStep();
    // Composes the current frame and repaints.
    void Paint();

    // Top of the text relative to the control.
    int Position() const { return FPosition; }
    int TextHeight() const { return FTextHeight; }
    bool TimerActive() const { return FTimer.isActive(); }
    // The text bitmap before transparency is applied, its transparent colour, and the last frame.
    const QImage &TextBitmap() const { return FTextBitmap; }
    QColor TransparentColor() const { return FTransparent; }
    const QImage &WorkBitmap() const { return FWorkBitmap; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void UpdateTimer();

    QStringList FLines;
    QPixmap FBkgrndBitmap;
    bool FRepeatScroll = true;
    bool FEnabled = true;
    TAlign FAlignment = TAlign::alLeft;
    bool FStretch = true;
    QImage FTextBitmap;
    QImage FTextLayer;
    QImage FBackground;
    QImage FWorkBitmap;
    QColor FTransparent;
    int FPosition = 0;
    int FTextHeight = 0;
    QTimer FTimer;
};
