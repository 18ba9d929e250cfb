#pragma once

#include <memory>

// zarvel-cli is two programs. The one users type, the front program, has the plain engines
// (the converter, the evaluator, the merge of plain text information files) and starts without
// the window toolkit, so that a command of theirs costs little more than its work. Commands
// that load documents into the rich text control run in the model program, installed in a
// libexec folder beside it, to which the front program hands the command line unchanged. The
// model program has every command, and answers for the list of them.
//
//   if (!CliRuntime::HasDocumentModel() && command needs it) return CliRuntime::HandOver(argv);
//   const CliRuntime runtime(argv, command->NeedsWidgets(args));
//   return command->Execute(args);
class CliRuntime
{
public:
    // Starts what the command needs, for the object's life. The model program starts a GUI
    // application object, which the document model needs though it never shows a window, and
    // with widgets one that the control and the printer need as well. argv outlives the
    // object; the toolkit sees none of the arguments.
    CliRuntime(char *argv[], bool widgets);
    ~CliRuntime();
    CliRuntime(const CliRuntime &) = delete;
    CliRuntime &operator=(const CliRuntime &) = delete;

    static bool HasDocumentModel();
    // Replaces this process by the model program with the same arguments. Returns only when
    // that cannot be started, after saying why on stderr, with the exit status.
    static int HandOver(char *argv[]);

private:
    struct TState; // each program's own: the front program has none
    std::unique_ptr<TState> FState;
};
