#include "print/TPdfFile.h"

#include <algorithm>

bool TPdfFile::Read()
{
    return FPdf.startsWith("%PDF-") && ReadXref() && ReadObjects();
}

std::vector<int> TPdfFile::Ids() const
{
    return {FObjects.keyBegin(), FObjects.keyEnd()};
}

QByteArrayView TPdfFile::Bytes(int id) const
{
    const auto it = FObjects.find(id);
    return it == FObjects.end() ? QByteArrayView()
                                : QByteArrayView(FPdf).sliced(it->start, it->end - it->start);
}

QString TPdfFile::Head(int id) const
{
    const QByteArrayView bytes = Bytes(id);
    const qsizetype stream = bytes.indexOf("stream");
    return QString::fromLatin1(stream < 0 ? bytes : bytes.first(stream));
}

std::vector<std::pair<qsizetype, int>> TPdfFile::InFileOrder() const
{
    std::vector<std::pair<qsizetype, int>> order;
    for (auto it = FObjects.begin(); it != FObjects.end(); ++it)
        order.emplace_back(it->start, it.key());
    std::sort(order.begin(), order.end());
    return order;
}

QByteArray TPdfFile::Write(const QMap<int, QByteArray> &replaced) const
{
    const auto order = InFileOrder();
    QByteArray out = FPdf.left(order.front().first);
    QMap<int, qsizetype> offsets;
    for (const auto &[start, id] : order) {
        offsets.insert(id, out.size());
        out += replaced.contains(id) ? replaced.value(id) : Bytes(id).toByteArray();
    }
    const qsizetype xref = out.size();
    out += "xref\n";
    for (const auto &[first, count] : FSections) {
        out += QByteArray::number(first) + ' ' + QByteArray::number(count) + '\n';
        for (int id = first; id < first + count; ++id) {
            if (!offsets.contains(id)) {
                out += FFree.value(id);
                continue;
            }
            out += QByteArray::number(offsets.value(id)).rightJustified(10, '0') + ' ' +
                   QByteArray::number(FObjects.value(id).generation).rightJustified(5, '0') +
                   " n \n";
        }
    }
    return out + FTrailer + "startxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
}

bool TPdfFile::ReadXref()
{
    const qsizetype startxref = FPdf.lastIndexOf("startxref");
    if (startxref < 0)
        return false;
    bool ok = false;
    FXref = FPdf.mid(startxref + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || FXref <= 0 || FXref >= startxref || FPdf.mid(FXref, 4) != "xref")
        return false;
    qsizetype at = FXref + 4;
    qsizetype lineStart = at;
    const auto line = [this, &at, &lineStart] {
        while (at < FPdf.size() && (FPdf[at] == '\n' || FPdf[at] == '\r' || FPdf[at] == ' '))
            ++at;
        lineStart = at;
        const qsizetype end = FPdf.indexOf('\n', at);
        const QByteArray text = FPdf.mid(at, end - at).trimmed();
        at = end < 0 ? FPdf.size() : end + 1;
        return text;
    };
    for (QByteArray header = line(); header != "trailer"; header = line()) {
        const QList<QByteArray> numbers = header.split(' ');
        if (at >= startxref || numbers.size() != 2 ||
            !ReadSection(numbers[0].toInt(), numbers[1].toInt(), at))
            return false;
    }
    FTrailer = FPdf.mid(lineStart, startxref - lineStart);
    return !FTrailer.contains("/Prev") && !FTrailer.contains("/Encrypt") &&
           !FTrailer.contains("/XRefStm");
}

// Entries of 20 bytes: ten digits of offset, five of generation, "n" or "f", end of line.
bool TPdfFile::ReadSection(int first, int count, qsizetype &at)
{
    if (first < 0 || count <= 0 || at + qsizetype(count) * 20 > FPdf.size())
        return false;
    FSections.emplace_back(first, count);
    for (int i = 0; i < count; ++i, at += 20) {
        const QByteArray entry = FPdf.mid(at, 20);
        bool okOffset = false;
        bool okGeneration = false;
        const qsizetype offset = entry.left(10).toLongLong(&okOffset);
        const int generation = entry.mid(11, 5).toInt(&okGeneration);
        if (!okOffset || !okGeneration || entry[10] != ' ' || entry[16] != ' ')
            return false;
        if (entry[17] == 'f')
            FFree.insert(first + i, entry);
        else if (entry[17] == 'n')
            FObjects.insert(first + i, {offset, 0, generation});
        else
            return false;
    }
    return true;
}

// Each object runs to the next one, the last to the table.
bool TPdfFile::ReadObjects()
{
    const auto order = InFileOrder();
    for (size_t i = 0; i < order.size(); ++i) {
        TObject &object = FObjects[order[i].second];
        object.end = i + 1 < order.size() ? order[i + 1].first : FXref;
        const QByteArray opening = QByteArray::number(order[i].second) + ' ' +
                                   QByteArray::number(object.generation) + " obj";
        if (object.start <= 0 || object.end <= object.start ||
            FPdf.mid(object.start, opening.size()) != opening)
            return false;
    }
    return !order.empty();
}
