#pragma once

#include <QTextBrowser>

// The HTML viewer of the help window: shows one HTML file, without text selection or history.
class THtmlPane : public QTextBrowser
{
    Q_OBJECT
public:
    explicit THtmlPane(QWidget *parent = nullptr);

    void Clear();
    // Loads and shows the file; throws std::runtime_error with a message for the user when it
    // cannot be read.
    void LoadFromFile(const QString &fileName);
    QString CurrentFile() const { return FCurrentFile; }

private:
    QString FCurrentFile;
};
