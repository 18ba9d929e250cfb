#pragma once

#include <QFileDialog>
#include <QImage>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QScrollArea;
class QSoundEffect;
class QStackedWidget;
class QToolButton;
class TRichEditEx;

// The open dialog of the main window: a file dialog with a preview of the selected file beside
// its controls (pictures, text and rich text, the type of other files; wave files are played).
// A caption bar above the preview switches the preview on and off and switches word wrap for
// text or scale-to-fit for pictures. Its texts come in several languages.
class TOpenPreviewDialog : public QFileDialog
{
    Q_OBJECT
public:
    // Fills the preview for a file whose extension is in CustomPreviewExtensions; gets the
    // dialog and the extension in lower case without the dot. Exceptions are ignored.
    using PreviewEvent = std::function<void(TOpenPreviewDialog &dialog, const QString &ext)>;

    explicit TOpenPreviewDialog(QWidget *parent = nullptr);
    ~TOpenPreviewDialog() override;

    // Runs the dialog; true when the user chose a file.
    bool Execute();

    // The chosen file; before a run, the name the dialog starts with. A name with wildcards
    // ("*.inf") lists only the files it matches.
    QString FileName() const { return FFileName; }
    void SetFileName(const QString &value);
    // The state of the "Open as read-only" check box after the last run.
    bool OpenReadOnly() const;
    void SetOpenReadOnly(bool value);

    QStringList Titles() const { return FTitles; }
    void SetTitles(const QStringList &value) { FTitles = value; }
    QStringList PreviewCaptions() const { return FPreviewCaptions; }
    void SetPreviewCaptions(const QStringList &value);
    QStringList NoPreviewTexts() const { return FNoPreviewTexts; }
    void SetNoPreviewTexts(const QStringList &value) { FNoPreviewTexts = value; }
    QStringList ScaleHints() const { return FScaleHints; }
    void SetScaleHints(const QStringList &value) { FScaleHints = value; }
    QStringList WordWrapHints() const { return FWordWrapHints; }
    void SetWordWrapHints(const QStringList &value) { FWordWrapHints = value; }
    QStringList ShowPreviewButtonHints() const { return FShowPreviewButtonHints; }
    void SetShowPreviewButtonHints(const QStringList &value);
    // Extensions (lower case, without the dot) previewed by OnPreview.
    QStringList CustomPreviewExtensions() const { return FCustomPreviewExtensions; }
    void SetCustomPreviewExtensions(const QStringList &value) { FCustomPreviewExtensions = value; }
    bool ShowPreview() const { return FShowPreview; }
    void SetShowPreview(bool value);
    bool WordWrapAndScale() const { return FWordWrapAndScale; }
    void SetWordWrapAndScale(bool value);
    QString Version() const { return QStringLiteral("1.00.00.00"); }
    void SetVersion(const QString &) {}

    PreviewEvent OnPreview;

    // The interface language (a 16-bit language identifier such as 0x0407); the system's by
    // default.
    quint16 LanguageId() const { return FLanguageId; }
    void SetLanguageId(quint16 value);
    // The text of a localized list for the interface language.
    QString Localized(const QStringList &list) const;

    // Shows the preview of a file (what a change of the selection does).
    void PreviewFile(const QString &path);
    // Puts a picture into the preview (for OnPreview handlers).
    void SetPreviewPicture(const QImage &picture);

    TRichEditEx *PreviewText() const { return FPreviewText; }
    QLabel *PreviewImage() const { return FPreviewImage; }
    QScrollArea *PreviewBox() const { return FPreviewBox; }
    QLabel *CaptionPanel() const { return FCaptionPanel; }
    QToolButton *WordWrapButton() const { return FWordWrapButton; }
    QToolButton *ShowPreviewButton() const { return FShowPreviewButton; }
    bool PictureShown() const;
    // The size the picture is shown at.
    QSize ShownPictureSize() const { return FShownPictureSize; }
    // The wave file being played, empty when none.
    QString PlayingSound() const { return FPlayingSound; }

    // Extensions of the pictures the preview loads, and all previewable extensions.
    static QStringList PictureExtensions();
    static QStringList PreviewableExtensions();
    // The size at which a picture of the given size is shown in a box: with scale-to-fit a
    // larger picture shrinks keeping its proportions; otherwise it keeps its own size.
    static QSize ShownSize(const QSize &box, const QSize &picture, bool scale);

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreatePreviewArea();
    void NewPictureControl();
    void ResetTextControl();
    bool LoadPreview(const QString &path, const QString &ext);
    void ApplyWordWrapAndScale();
    void StopSound();
    void PlaySound(const QString &path);
    void UpdateTexts();

    QString FFileName;
    QString FCurrentPath;
    QStringList FTitles;
    QStringList FPreviewCaptions;
    QStringList FNoPreviewTexts;
    QStringList FScaleHints;
    QStringList FWordWrapHints;
    QStringList FShowPreviewButtonHints;
    QStringList FCustomPreviewExtensions;
    bool FShowPreview = true;
    bool FWordWrapAndScale = true;
    quint16 FLanguageId = 0;
    QString FKey1;
    QString FKey2;

    QWidget *FPreviewArea = nullptr;
    QLabel *FCaptionPanel = nullptr;
    QToolButton *FWordWrapButton = nullptr;
    QToolButton *FShowPreviewButton = nullptr;
    QScrollArea *FPreviewBox = nullptr;
    QStackedWidget *FStack = nullptr;
    TRichEditEx *FPreviewText = nullptr;
    QLabel *FPreviewImage = nullptr;
    QCheckBox *FReadOnlyCheck = nullptr;
    QImage FPicture;
    QSize FShownPictureSize;
    std::unique_ptr<QSoundEffect> FSound;
    QString FPlayingSound;
};
