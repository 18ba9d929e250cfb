#include "app/TRecoverySnapshot.h"

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextList>
#include <QThread>

namespace {
bool HasFrames(const QTextDocument &document)
{
    return !document.rootFrame()->childFrames().isEmpty();
}

// Pictures kept as document resources; a pixmap becomes an image, which any thread may use.
QVariant PortableResource(const QTextDocument &document, const QString &name)
{
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(name));
    if (resource.userType() == QMetaType::QPixmap)
        return resource.value<QPixmap>().toImage();
    return resource;
}
} // namespace

TRecoverySnapshot::TRecoverySnapshot(const QTextDocument &document)
    : FDefaultFont(document.defaultFont()), FPageParts(TRtfPageParts::Of(document))
{
    if (HasFrames(document)) {
        FClone.reset(document.clone());
        FClone->moveToThread(nullptr); // taken by whichever thread builds
        return;
    }
    FText = document.toRawText();
    FFormats = document.allFormats();
    std::vector<bool> images(std::size_t(FFormats.size()));
    for (qsizetype i = 0; i < FFormats.size(); ++i)
        images[std::size_t(i)] = FFormats.at(i).isImageFormat();
    QHash<const QTextList *, int> lists;
    FBlocks.reserve(std::size_t(document.blockCount()));
    FRuns.reserve(std::size_t(document.blockCount()) * 8);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        TBlock copy{block.blockFormatIndex(), block.charFormatIndex(), -1, int(FRuns.size())};
        // Only a paragraph whose format names an object can be a list item; asking every
        // paragraph for its list costs more than the rest of the snapshot.
        const QTextList *list =
            FFormats.at(copy.Format).objectIndex() >= 0 ? block.textList() : nullptr;
        if (list) {
            auto found = lists.constFind(list);
            if (found == lists.constEnd()) {
                found = lists.insert(list, int(FLists.size()));
                FLists.push_back(list->format());
            }
            copy.List = *found;
        }
        int position = block.position();
        for (auto run = block.begin(); !run.atEnd(); ++run) {
            const QTextFragment fragment = run.fragment();
            const int length = fragment.length();
            const int format = fragment.charFormatIndex();
            FRuns.push_back({position, length, format});
            position += length;
            if (images[format]) {
                const QString name = FFormats.at(format).toImageFormat().name();
                FResources.emplace_back(QUrl(name), PortableResource(document, name));
            }
        }
        FBlocks.push_back(copy);
    }
}

TRecoverySnapshot::~TRecoverySnapshot() = default;

std::unique_ptr<QTextDocument> TRecoverySnapshot::Build()
{
    if (FClone) {
        FClone->moveToThread(QThread::currentThread());
        FPageParts.Store(*FClone);
        return std::move(FClone);
    }
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(FDefaultFont);
    for (const auto &[name, resource] : FResources)
        if (resource.isValid())
            document->addResource(QTextDocument::ImageResource, name, resource);
    std::vector<QTextList *> lists(FLists.size(), nullptr);
    QTextCursor cursor(document.get());
    cursor.beginEditBlock();
    for (std::size_t i = 0; i < FBlocks.size(); ++i) {
        const TBlock &block = FBlocks[i];
        // Object indexes name lists of the source document: the lists are made again below.
        QTextBlockFormat format = FFormats.at(block.Format).toBlockFormat();
        format.setObjectIndex(-1);
        QTextCharFormat charFormat = FFormats.at(block.CharFormat).toCharFormat();
        charFormat.setObjectIndex(-1);
        if (i == 0) {
            cursor.setBlockFormat(format);
            cursor.setBlockCharFormat(charFormat);
        } else {
            cursor.insertBlock(format, charFormat);
        }
        if (block.List >= 0) {
            QTextList *&list = lists[std::size_t(block.List)];
            if (list)
                list->add(cursor.block());
            else
                list = cursor.createList(FLists[std::size_t(block.List)]);
        }
        const std::size_t end =
            i + 1 < FBlocks.size() ? std::size_t(FBlocks[i + 1].FirstRun) : FRuns.size();
        for (std::size_t r = std::size_t(block.FirstRun); r < end; ++r)
            cursor.insertText(FText.mid(FRuns[r].Position, FRuns[r].Length),
                              FFormats.at(FRuns[r].Format).toCharFormat());
    }
    cursor.endEditBlock();
    FPageParts.Store(*document);
    return document;
}
