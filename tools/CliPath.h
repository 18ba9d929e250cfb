#pragma once

#include <string>

// File names as the command line gives them: bytes, never decoded, with "/" between folders.

// The name made absolute against the current folder, with "." and ".." steps and repeated
// slashes taken out by its spelling alone (a final slash stays): a folder that does not exist
// may be stepped through.
std::string AbsolutePath(const std::string &path);
// The folder of the name, with its final slash ("./" for a bare name).
std::string FolderOf(const std::string &path);
// The last part of the name ("letter.inf" for "cases/letter.inf").
std::string FileNameOf(const std::string &path);
// The last part without its last suffix ("letter" for "cases/letter.inf", "a.b" for "a.b.c").
std::string CompleteBaseNameOf(const std::string &path);
// The last part's last suffix without its dot, "" when it has none.
std::string SuffixOf(const std::string &path);
// A name in folder; an absolute name is kept as it is.
std::string InFolder(const std::string &folder, const std::string &name);
// Makes the folder and the ones above it that are missing. False when it is not a folder then.
bool MakeFolders(const std::string &folder);
// The folder of temporary files: $TMPDIR when it names a folder, otherwise /tmp; through
// their links.
std::string TemporaryFolder();
// Both name one existing file, through links or other spellings of its path.
bool SameFile(const std::string &a, const std::string &b);
