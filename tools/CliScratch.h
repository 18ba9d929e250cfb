#pragma once

#include "text/LeftoverFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>
#include <stdexcept>
#include <string>

// A scratch folder of the command's own, removed with it; one left by a kill is removed at the
// next start. Throws when none can be made.
inline std::unique_ptr<QTemporaryDir> NewScratchFolder()
{
    auto scratch = std::make_unique<QTemporaryDir>(
        QDir::tempPath() + "/" + QString::fromStdString(LeftoverMark()) + "XXXXXX");
    if (!scratch->isValid())
        throw std::runtime_error("cannot create a scratch folder: " +
                                 scratch->errorString().toStdString());
    return scratch;
}
