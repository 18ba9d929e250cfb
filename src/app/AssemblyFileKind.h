#pragma once

#include <QString>

// What a file looks like to document assembly, judged by its start: a template is rich text
// with placeholders (an "@" and a digit); an information file is plain text without them.
enum class TAssemblyFileKind { Template, Information, Other };

// Other for an empty or unreadable file and for anything between the two kinds.
TAssemblyFileKind AssemblyFileKindOf(const QString &fileName);
