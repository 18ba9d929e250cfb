#pragma once

#include <QByteArray>
#include <QString>

// Writes the complete content of a user's file. A file marked read-only is refused and left as
// it is. Otherwise the content goes to a temporary file beside the target, which then replaces
// it, so that a failed save leaves the old file whole. Where the folder takes no new files but
// the file itself may be written, the file is written in place; should that fail, its old
// content is put back.
//
// Read-only and "may be written" go by the user's access and by the permission bits: a file or
// folder without any write bit counts as read-only even for a user, such as the superuser, whom
// the system would let write it.
class TFileSaver
{
public:
    // Throws EFileStreamError: "Cannot write file <name>: it is read-only", "Cannot create
    // file <name>: <reason>", "Cannot write file <name>: <reason>".
    static void Save(const QString &fileName, const QByteArray &data);
    // Throws the read-only error of Save when the file exists and is read-only.
    static void RefuseReadOnly(const QString &fileName);
};
