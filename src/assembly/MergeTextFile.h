#pragma once

#include <string>

// The merge text of a template file: the whole file, each line (ended by CR, LF or CR LF)
// followed by CR LF. Nothing is cut: zero bytes stay, and the data of a rich text's "\binN"
// passes through byte for byte, line-end bytes included. Throws EFOpenError "Cannot open file
// <name>".
std::string LoadMergeText(const std::string &fileName);
// The same for bytes already read.
std::string MergeTextOf(const std::string &bytes);
