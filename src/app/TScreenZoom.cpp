#include "app/TScreenZoom.h"

#include "widgets/SettingsStore.h"

#include <QAbstractTextDocumentLayout>
#include <QSettings>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace {
const char *const ZoomGroup = "\\Software\\Zarvel\\Display";
const char *const ZoomValue = "Zoom";
} // namespace

// Reports the metrics of the screen the panes are on, with the resolution scaled. Nothing
// paints on it: the layout only asks it how large a point is.
class TScreenZoom::TScaledScreen : public QPaintDevice
{
public:
    TScaledScreen(const QPaintDevice &screen, int percent) : FScreen(screen), FPercent(percent) {}
    QPaintEngine *paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmDpiX:
            return FScreen.logicalDpiX() * FPercent / 100;
        case PdmDpiY:
            return FScreen.logicalDpiY() * FPercent / 100;
        case PdmPhysicalDpiX:
            return FScreen.physicalDpiX() * FPercent / 100;
        case PdmPhysicalDpiY:
            return FScreen.physicalDpiY() * FPercent / 100;
        case PdmDevicePixelRatioScaled:
            return int(FScreen.devicePixelRatioF() * devicePixelRatioFScale());
        case PdmDevicePixelRatio:
            return int(FScreen.devicePixelRatio());
        case PdmWidth:
            return FScreen.width();
        case PdmHeight:
            return FScreen.height();
        case PdmWidthMM:
            return FScreen.widthMM();
        case PdmHeightMM:
            return FScreen.heightMM();
        case PdmNumColors:
            return FScreen.colorCount();
        case PdmDepth:
            return FScreen.depth();
        }
        return 0;
    }

private:
    const QPaintDevice &FScreen;
    int FPercent;
};

TScreenZoom::TScreenZoom(std::vector<QTextEdit *> panes) : FPanes(std::move(panes))
{
    const auto settings = SettingsStore::Open(TRegRoot::CURRENT_USER);
    settings->beginGroup(SettingsStore::GroupPath(QString::fromLatin1(ZoomGroup)));
    FPercent = std::clamp(settings->value(QString::fromLatin1(ZoomValue), 100).toInt(), MinPercent,
                          MaxPercent);
    Apply();
}

TScreenZoom::~TScreenZoom()
{
    // The layouts must not keep a device that goes away with us.
    for (QTextEdit *pane : FPanes)
        pane->document()->documentLayout()->setPaintDevice(nullptr);
}

void TScreenZoom::SetPercent(int percent)
{
    percent = std::clamp(percent, MinPercent, MaxPercent);
    if (percent == FPercent)
        return;
    FPercent = percent;
    const auto settings = SettingsStore::Open(TRegRoot::CURRENT_USER);
    settings->beginGroup(SettingsStore::GroupPath(QString::fromLatin1(ZoomGroup)));
    settings->setValue(QString::fromLatin1(ZoomValue), FPercent);
    Apply();
}

void TScreenZoom::ZoomIn()
{
    SetPercent(FPercent + Step);
}

void TScreenZoom::ZoomOut()
{
    SetPercent(FPercent - Step);
}

void TScreenZoom::Apply()
{
    if (FPanes.empty())
        return;
    auto device = FPercent == 100
                      ? nullptr
                      : std::make_unique<TScaledScreen>(*FPanes.front()->viewport(), FPercent);
    for (QTextEdit *pane : FPanes) {
        QTextDocument &document = *pane->document();
        document.documentLayout()->setPaintDevice(device.get());
        document.markContentsDirty(0, document.characterCount());
    }
    FDevice = std::move(device);
}
