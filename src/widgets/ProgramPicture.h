#pragma once

#include <QPixmap>

// The program's picture: a page with an "@" placeholder, drawn at the given size.
QPixmap ProgramPicture(int size);
