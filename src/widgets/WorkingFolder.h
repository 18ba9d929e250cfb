#pragma once

#include <QString>

#include <string>

// Where the program's working files go ("$$$", "debug.rtf" and the preview page files): the
// current folder when the program may write there and it is the user's alone, otherwise a
// folder of the user's own under the cache location, so that a program started with a read-only
// current folder (from a desktop menu, say) still merges, previews and prints, and one started
// in a shared folder (/tmp) neither writes through a link another user planted there nor leaves
// the client's data where others can read it. A working file is never written through a
// symbolic link nor over a file of another user. Every writer of a working file asks here. The
// choice is made on each call; a writer and the reader of the same file agree as long as the
// current folder stays as it is.
namespace WorkingFolder {

// The folder the working files go to now.
QString Path();
// The name to open the working file of this name by: the bare name in a writable current
// folder of the user's own, otherwise its path in the user's working folder. A symbolic link
// of that name is removed first; a file there that is not the user's sends the working file to
// the user's folder.
QString File(const QString &name);
// The same as file name bytes, for the string utilities' file functions.
std::string FileBytes(const char *name);

// The user's own working folder (the cache location), created when missing and readable by the
// user alone.
QString UserFolder();
// The program may create files in the folder. Beyond the access check, a folder without any
// write permission bit counts as read-only even for the superuser, who passes every access
// check: the folder's owner meant it not to be written.
bool IsWritable(const QString &folder);

// Removes the working files that are no use once the program has ended ("$$$", the preview
// page files, and the "$$##" of earlier versions) from the current folder, when the program may
// write there, and from the user's working folder. "debug.rtf" stays: it tells the user what
// the last merge did.
void RemoveLeftovers();

} // namespace WorkingFolder
