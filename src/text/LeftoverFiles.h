#pragma once

#include <string>

// The program's temporary files beside a target and its scratch folders carry the id of the
// process that made them in their names, after "zarvel-": a file left by a killed process is
// told from one that a running instance is still writing, and removed at the next start or the
// next write in its folder.
//
//   .letter.rtf.zarvel-4711-3021.tmp    a save's temporary file beside letter.rtf
//   zarvel-4711-a8Xk2q                  a scratch folder

// "zarvel-<id of this process>-", the mark that the names of its temporaries carry.
std::string LeftoverMark();

// Removes from folder the temporaries of this user's processes that have ended: hidden entries
// with ".zarvel-<id>-" in their name and entries that begin with "zarvel-<id>-", folders with
// what they hold. A folder is looked through once in a process, so that a batch writing many
// files there pays for it once. Nothing is reported: a leftover that cannot go stays.
void RemoveLeftoversIn(const std::string &folder);
