#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTextImageFormat>

// An object embedded in or linked into the document: an embedded object keeps the bytes of
// the file it was made from, a linked one only the file's name. In the document it is one
// picture character whose format carries the object's properties, so that copies, undo and
// streaming keep it with the text.
class TRichEditOleObject
{
public:
    enum class TKind { Embedded, Linked };

    // Draw aspects.
    static constexpr int DVASPECT_CONTENT = 1;
    static constexpr int DVASPECT_ICON = 4;

    TRichEditOleObject() = default;

    // An object from a file: embedded (the file is read now) or linked. Throws
    // std::runtime_error with the reason when an embedded file cannot be read.
    static TRichEditOleObject FromFile(const QString &fileName, TKind kind, bool displayAsIcon);

    // The object a picture format carries; IsObjectFormat tells whether it carries one.
    static bool IsObjectFormat(const QTextFormat &format);
    static TRichEditOleObject FromFormat(const QTextFormat &format);
    // Gives the object a format carries a new identity.
    static void SetFormatId(QTextFormat &format, int id);
    // Puts the object's properties into a picture format (its picture stays).
    void ApplyTo(QTextFormat &format) const;
    // The character format of the object, its picture stored in the document under a new name.
    QTextImageFormat ToFormat(QTextDocument &document) const;

    TKind Kind() const { return FKind; }
    void SetKind(TKind kind) { FKind = kind; }
    // The type of the object's data: the file's MIME type ("image/png", "text/plain", ...).
    const QString &ClassName() const { return FClassName; }
    void SetClassName(const QString &name) { FClassName = name; }
    // Name of the file it stands for (linked, with its folder) or came from (embedded: the
    // name alone, since an embedded object owes nothing to where its bytes were).
    const QString &FileName() const { return FFileName; }
    void SetFileName(const QString &name);
    // The embedded bytes; empty for a linked object.
    const QByteArray &Data() const { return FData; }
    void SetData(const QByteArray &data) { FData = data; }
    bool DisplayAsIcon() const { return FDisplayAsIcon; }
    void SetDisplayAsIcon(bool on) { FDisplayAsIcon = on; }
    int DrawAspect() const { return FDisplayAsIcon ? DVASPECT_ICON : DVASPECT_CONTENT; }
    // Identity of the object within its control (0: not yet given one).
    int Id() const { return FId; }
    void SetId(int id) { FId = id; }

    // The bytes of the content: the embedded data, or the linked file's current content.
    QByteArray Content() const;
    // What the document shows: the picture itself when the content is a picture Qt can read
    // and the object is not shown as an icon, otherwise an icon with the file's name.
    QImage Presentation() const;
    // The size the document gives a presentation: its pixels at 96 an inch, made smaller when
    // it would not fit a page (6 by 8 inches), keeping its shape.
    static QSizeF DisplaySize(const QSize &picture);

private:
    TKind FKind = TKind::Embedded;
    QString FClassName;
    QString FFileName;
    QByteArray FData;
    bool FDisplayAsIcon = false;
    int FId = 0;
};
