#pragma once

#include "richedit/RichEditTypes.h"
#include "richedit/TURLCollection.h"

#include <QString>

#include <functional>
#include <string>

class QPoint;
class TCustomRichEditEx;
class TRichEditHost;

using TURLClickEvent = std::function<void(TCustomRichEditEx *Sender, const std::string &URL)>;
using TURLMoveEvent = std::function<void(TCustomRichEditEx *Sender, const std::string &URL)>;

// Cursor ids of the toolkit (URLCursor, TURLType::Cursor).
namespace TCursorId {
constexpr int crDefault = 0;
constexpr int crArrow = -2;
constexpr int crCross = -3;
constexpr int crIBeam = -4;
constexpr int crHandPoint = -21;
} // namespace TCursorId

// URL detection of one rich text control: the extended scan over CustomURLs, the control's
// own detection (adDefault), the update lock that freezes drawing meanwhile, and the link
// notifications that become OnURLMove and OnURLClick. Owned by the control.
class TURLDetector
{
public:
    // Mouse messages of a link notification.
    enum class TLinkMessage { MouseMove, LeftButtonUp, Other };

    explicit TURLDetector(TRichEditHost &control);

    TURLCollection &CustomURLs() { return FCustomURLs; }
    const TURLCollection &CustomURLs() const { return FCustomURLs; }
    void SetCustomURLs(const TURLCollection &urls) { FCustomURLs.Assign(urls); }
    TColor URLColor() const { return FURLColor; }
    void SetURLColor(TColor color) { FURLColor = color; }
    int URLCursor() const { return FURLCursor; }
    void SetURLCursor(int cursor) { FURLCursor = cursor; }

    int UpdateCount() const { return FUpdateCount; }
    int LastChangeStart() const { return FLastChangeStart; }
    int LastChangeEnd() const { return FLastChangeEnd; }
    // The cursor id the last link notification set.
    int LinkCursor() const { return FLinkCursor; }

    // Freezes drawing and keeps selection and scroll position; nests.
    void BeginUpdateLock();
    // Restores them when the outermost lock ends.
    void EndUpdateLock();

    // Widens [start, end) to whole URL words.
    void ExpandToWord(int &start, int &end) const;
    // Marks the URL words of [start, end) as links of their entry and unmarks the others.
    void ScanURLs(int start, int end);

    // The text changed (before OnChange).
    void TextChanged();
    // A load through the lines objects ended.
    void AfterLoad();
    // AutoURLDetect was set.
    void ModeChanged();

    // A link notification for [cpMin, cpMax).
    void LinkNotification(TLinkMessage message, int cpMin, int cpMax);
    // Mouse handling of the control, in viewport coordinates: a notification when the point
    // is over a character with the link effect. Answers whether it was over a link.
    bool MouseMoved(const QPoint &point);
    bool MouseReleased(const QPoint &point, Qt::MouseButton button);

private:
    // Link range [cpMin, cpMax) under a viewport point, false when there is no link there.
    bool LinkAt(const QPoint &point, int &cpMin, int &cpMax) const;
    QString Text(int from, int to) const;
    bool IsLinked(int from, int to) const;
    void Mark(int from, int to, TColor color, bool underline);
    void Unmark(int from, int to);
    void DefaultScan(int start, int end);
    void ScanRange(int start, int end);

    TRichEditHost &FControl;
    TURLCollection FCustomURLs;
    TColor FURLColor = 0x00FF0000; // clBlue
    int FURLCursor = TCursorId::crHandPoint;
    int FUpdateCount = 0;
    int FSavedAnchor = 0;
    int FSavedPosition = 0;
    int FSavedFirstLine = 0;
    int FSavedVertical = 0;
    int FSavedHorizontal = 0;
    int FLastChangeStart = 0;
    int FLastChangeEnd = 0;
    int FLinkCursor = TCursorId::crDefault;
    bool FCursorSet = false;
};
