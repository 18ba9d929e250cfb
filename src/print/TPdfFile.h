#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QMap>
#include <QString>

#include <utility>
#include <vector>

// A PDF file as Qt writes it: a header, objects one after the other, one cross-reference
// table and a trailer. It reads where each object starts and ends from the table, and writes
// the file again with some objects replaced behind a new table.
class TPdfFile
{
public:
    // The bytes stay the caller's and must outlive the reader.
    explicit TPdfFile(const QByteArray &pdf) : FPdf(pdf) {}

    // False when the file has another shape: no table, an update section, encryption, a
    // cross-reference stream, an entry pointing where no such object starts.
    bool Read();

    // The ids of the objects in use.
    std::vector<int> Ids() const;
    // An object from "N G obj" up to the next object.
    QByteArrayView Bytes(int id) const;
    // The object's text up to its stream, if it has one: its dictionary.
    QString Head(int id) const;

    // The file again with the given objects (each a whole "N G obj ... endobj") in their
    // places.
    QByteArray Write(const QMap<int, QByteArray> &replaced) const;

private:
    struct TObject
    {
        qsizetype start = 0;
        qsizetype end = 0;
        int generation = 0;
    };

    bool ReadXref();
    bool ReadSection(int first, int count, qsizetype &at);
    bool ReadObjects();
    // The objects in the order of the file: start and id.
    std::vector<std::pair<qsizetype, int>> InFileOrder() const;

    const QByteArray &FPdf;
    qsizetype FXref = 0;
    QMap<int, TObject> FObjects;
    QMap<int, QByteArray> FFree; // entries of the table that are not in use, as written
    std::vector<std::pair<int, int>> FSections; // first id and count
    QByteArray FTrailer;
};
