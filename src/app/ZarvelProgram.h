#pragma once

#include <functional>

class TMainForm;

// The program from start to end: the application, the main window, the help and credits
// windows, the offer of recovery copies left by instances that did not end normally, and the
// message loop. started runs once the main window is shown, before the recovery offer.
int RunZarvel(int argc, char *argv[], const std::function<void(TMainForm &)> &started = {});
