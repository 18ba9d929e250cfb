#pragma once

#include <QString>

#include <memory>
#include <string>

class QTemporaryDir;

// Writes merged letters (their rich text) to files of their own, as rich text, as the HTML
// converter's page or printed to PDF as the main window prints. A letter appears under its
// name only whole: it is made in a scratch folder and saved over its name with QSaveFile.
class TMergedLetterWriter
{
public:
    enum class TFormat { Rtf, Html, Pdf };

    explicit TMergedLetterWriter(TFormat format);
    ~TMergedLetterWriter();
    TMergedLetterWriter(const TMergedLetterWriter &) = delete;
    TMergedLetterWriter &operator=(const TMergedLetterWriter &) = delete;

    // ".rtf", ".html" or ".pdf".
    QString Suffix() const;
    // Throws EStreamError with the user's message when the letter cannot be written.
    void Write(const QString &fileName, const std::string &richText) const;

private:
    QByteArray Converted(const QString &fileName, const std::string &richText) const;

    TFormat FFormat;
    std::unique_ptr<QTemporaryDir> FScratch;
};
