#include "CliScratchFolder.h"

#include "CliPath.h"

#include "text/LeftoverFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

CliScratchFolder::CliScratchFolder()
{
    // Spelled as the folder of an output there is (FolderOf), so that it is looked through once.
    RemoveLeftoversIn(TemporaryFolder() + "/");
    std::string pattern = TemporaryFolder() + "/" + LeftoverMark() + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error(std::string("cannot create a scratch folder: ") +
                                 std::strerror(errno));
    FPath = pattern;
}

CliScratchFolder::~CliScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
}
