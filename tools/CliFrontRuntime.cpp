// The front program of zarvel-cli: no toolkit to start; the model program is found beside it.
#include "CliRuntime.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {
// The model program, at the same place relative to this one in the build tree and in an
// installed tree. /proc/self/exe names this program even when it was started through a link.
std::string ModelProgram()
{
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return std::string(ZARVEL_CLI_MODEL_PATH);
    const std::string path(self, static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + ZARVEL_CLI_MODEL_PATH;
}
} // namespace

struct CliRuntime::TState
{
};

CliRuntime::CliRuntime(char * /*argv*/[], bool /*widgets*/) {}

CliRuntime::~CliRuntime() = default;

bool CliRuntime::HasDocumentModel()
{
    return false;
}

int CliRuntime::HandOver(char *argv[])
{
    const std::string program = ModelProgram();
    std::fflush(stdout);
    ::execv(program.c_str(), argv);
    std::fprintf(stderr, "zarvel-cli: cannot start %s: %s\n", program.c_str(),
                 std::strerror(errno));
    return 127;
}
