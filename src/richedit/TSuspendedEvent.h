#pragma once

#include "richedit/RichEditTypes.h"

#include <utility>

// Takes an event handler away for its lifetime and puts it back afterwards, also when an
// exception leaves the scope.
class TSuspendedEvent
{
public:
    explicit TSuspendedEvent(TNotifyEvent &event) : FEvent(event), FSaved(std::move(event))
    {
        FEvent = nullptr;
    }
    ~TSuspendedEvent() { FEvent = std::move(FSaved); }
    TSuspendedEvent(const TSuspendedEvent &) = delete;
    TSuspendedEvent &operator=(const TSuspendedEvent &) = delete;

private:
    TNotifyEvent &FEvent;
    TNotifyEvent FSaved;
};
