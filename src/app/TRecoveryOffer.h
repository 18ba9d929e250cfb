#pragma once

class TAutoRecovery;
class TMainForm;

// Offers the recovery copies of instances that are no longer running, in one dialog. Recover
// puts the newest copy of each pane into that pane, modified and named after its origin with
// " (recovered)" so that Save asks where to write it; older copies of the same pane stay for
// the next start. Discard deletes the copies, Later keeps them for the next start.
class TRecoveryOffer
{
public:
    static void Run(TMainForm &form, TAutoRecovery &recovery);
};
