#pragma once

#include <QPoint>
#include <QRect>
#include <Qt>

#include <functional>

// Types, flags and event signatures of the rich text control (TCustomRichEditEx) and its
// lines objects. Numeric values are those of the version-2 rich edit message set, so that
// flags stored or passed around keep their meaning.

class TCustomRichEditEx;

enum class TAutoURLDetect { adNone, adDefault, adExtended };

enum class TInputFormat { ifText, ifRTF, ifUnicode };

enum class TOutputFormat { ofText, ofRTF, ofRTFNoObjs, ofTextized, ofUnicode };

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// LangOptions: bits passed unchanged as the IMF_* language options.
namespace TLangOption {
constexpr unsigned loAutoKeyboard = 0x1;
constexpr unsigned loAutoFont = 0x2;
constexpr unsigned loIMECancelComplete = 0x4;
constexpr unsigned loIMEAlwaysSendNotify = 0x8;
} // namespace TLangOption

// Options of TCustomRichEditEx::LocateText.
namespace TLocateOption {
constexpr unsigned loBackward = 0x1;
constexpr unsigned loWholeWord = 0x2;
constexpr unsigned loMatchCase = 0x4;
} // namespace TLocateOption

// Stream formats of StreamIn / StreamOut.
namespace TStreamFormat {
constexpr unsigned SF_TEXT = 0x0001;
constexpr unsigned SF_RTF = 0x0002;
constexpr unsigned SF_RTFNOOBJS = 0x0003;
constexpr unsigned SF_TEXTIZED = 0x0004;
constexpr unsigned SF_UNICODE = 0x0010;
constexpr unsigned SFF_PLAINRTF = 0x4000;
constexpr unsigned SFF_SELECTION = 0x8000;
} // namespace TStreamFormat

// Event mask bits (EventMask / SetEventMask).
namespace TEventMask {
constexpr unsigned ENM_CHANGE = 0x00000001;
constexpr unsigned ENM_REQUESTRESIZE = 0x00040000;
constexpr unsigned ENM_SELCHANGE = 0x00080000;
constexpr unsigned ENM_PROTECTED = 0x00200000;
constexpr unsigned ENM_LINK = 0x04000000;
// What the control asks for when it is created.
constexpr unsigned Default =
    ENM_CHANGE | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED | ENM_LINK;
} // namespace TEventMask

// Codes of FindWordBreak.
namespace TWordBreak {
constexpr int WB_LEFT = 0;
constexpr int WB_RIGHT = 1;
constexpr int WB_ISDELIMITER = 2;
constexpr int WB_CLASSIFY = 3;
constexpr int WB_MOVEWORDLEFT = 4;
constexpr int WB_MOVEWORDRIGHT = 5;
constexpr int WB_LEFTBREAK = 6;
constexpr int WB_RIGHTBREAK = 7;
// Flags in the answer of WB_CLASSIFY, above the class number in the low 4 bits.
constexpr int WBF_ISWHITE = 0x10;
constexpr int WBF_BREAKLINE = 0x20;
constexpr int WBF_BREAKAFTER = 0x40;
// Class numbers of WB_CLASSIFY.
constexpr int ClassWord = 0;
constexpr int ClassSpace = 1;
constexpr int ClassPunctuation = 2;
constexpr int ClassLineBreak = 3;
} // namespace TWordBreak

// Event handlers. An empty std::function is an unassigned event.
using TNotifyEvent = std::function<void(TCustomRichEditEx *Sender)>;
using TRichEditProgressEvent =
    std::function<void(TCustomRichEditEx *Sender, qint64 Pos, qint64 Size)>;
using TRichEditResizeEvent = std::function<void(TCustomRichEditEx *Sender, const QRect &Rect)>;
using TRichEditProtectChange =
    std::function<void(TCustomRichEditEx *Sender, int StartPos, int EndPos, bool &AllowChange)>;
using TRichEditSaveClipboard = std::function<void(TCustomRichEditEx *Sender, int NumObjects,
                                                  int NumChars, bool &SaveClipboard)>;
// Mouse events: the position is in the control's viewport coordinates. OnMouseDown runs after
// the control has moved the caret to the pressed point.
using TRichEditMouseEvent = std::function<void(TCustomRichEditEx *Sender, Qt::MouseButton Button,
                                               Qt::KeyboardModifiers Shift, const QPoint &Pos)>;
