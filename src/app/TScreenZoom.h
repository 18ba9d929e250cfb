#pragma once

#include <QPaintDevice>

#include <memory>
#include <vector>

class QTextEdit;

// The panes' text on the screen drawn larger or smaller than its size on paper. The panes are
// laid out for a device with the screen's metrics at a resolution scaled by the zoom, so that
// the document, saving and printing never see it. The zoom is kept in the settings store.
class TScreenZoom
{
public:
    explicit TScreenZoom(std::vector<QTextEdit *> panes);
    ~TScreenZoom();
    TScreenZoom(const TScreenZoom &) = delete;
    TScreenZoom &operator=(const TScreenZoom &) = delete;

    // In percent of the size on paper: 100 is actual size.
    int Percent() const { return FPercent; }
    // Clamped to MinPercent..MaxPercent; stored at once.
    void SetPercent(int percent);
    void ZoomIn();
    void ZoomOut();

    static constexpr int MinPercent = 50;
    static constexpr int MaxPercent = 400;
    static constexpr int Step = 10;

private:
    class TScaledScreen;
    void Apply();

    std::vector<QTextEdit *> FPanes;
    std::unique_ptr<TScaledScreen> FDevice;
    int FPercent = 100;
};
