#pragma once

#include <QTemporaryDir>

#include <memory>
#include <stdexcept>
#include <string>

// A scratch folder of the command's own, removed with it. Throws when none can be made.
inline std::unique_ptr<QTemporaryDir> NewScratchFolder()
{
    auto scratch = std::make_unique<QTemporaryDir>();
    if (!scratch->isValid())
        throw std::runtime_error("cannot create a scratch folder: " +
                                 scratch->errorString().toStdString());
    return scratch;
}
