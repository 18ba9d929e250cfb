#pragma once

#include <QString>

// The path of a data file of the program (the help file, say): beside the executable, as in
// the build tree, or in the data folder of the prefix the program is installed into
// (<prefix>/share/zarvel beside <prefix>/bin), so that an installed program finds its data
// wherever it was installed. When neither exists, the path beside the executable, for the
// message that names the missing file.
QString ProgramDataFile(const QString &name);
