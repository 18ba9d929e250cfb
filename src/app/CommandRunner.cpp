#include "app/CommandRunner.h"

#include "app/EAbort.h"
#include "app/TZarvelApplication.h"

#include <exception>

void RunCommand(const std::function<void()> &command)
{
    try {
        command();
    } catch (const EAbort &) {
        // The user cancelled; the command just ends.
    } catch (const std::exception &error) {
        TZarvelApplication::ShowException(error);
    }
}
