#include "rtf/TRtfReader.h"

#include "rtf/ListLabels.h"
#include "rtf/TRtfDocumentParser.h"
#include "text/StringUtils.h"

#include <QTextDocument>

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

using RtfReading::TRtfDocumentParser;

// Nested rows state their definition after their cells, so that a row is laid out before its
// definition is known. A first reading into a scratch document collects the definitions, for
// the real reading to lay out every nested row by its own. Empty when no nested row has one.
std::vector<TRtfRowDefinition> NestedRowDefinitions(const QByteArray &data)
{
    if (!ContainsBytes(std::string_view(data.constData(), static_cast<std::size_t>(data.size())),
                       "\\nestrow"))
        return {};
    QTextDocument scratch;
    QTextCursor cursor(&scratch);
    TRtfDocumentParser parser(data, cursor);
    parser.Run();
    std::vector<TRtfRowDefinition> rows = parser.NestedRows();
    const bool stated = std::any_of(
        rows.begin(), rows.end(), [](const TRtfRowDefinition &row) { return !row.Cells.empty(); });
    return stated ? rows : std::vector<TRtfRowDefinition>();
}

} // namespace

bool TRtfReader::IsRtf(const QByteArray &data)
{
    return data.startsWith("{\\rtf");
}

bool TRtfReader::Read(const QByteArray &data, QTextCursor &cursor)
{
    if (!IsRtf(data) || cursor.isNull())
        return false;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const int start = cursor.position();
    // A file read into an empty document is the document: its headers and footers go with it.
    const bool whole = cursor.document()->characterCount() <= 1;
    TRtfDocumentParser parser(data, cursor);
    parser.UseNestedRows(NestedRowDefinitions(data));
    if (whole)
        parser.KeepPageParts();
    parser.Run();
    FitListLabels(*cursor.document(), start, cursor.position());
    cursor.endEditBlock();
    return true;
}
