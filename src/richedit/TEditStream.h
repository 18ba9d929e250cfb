#pragma once

#include <QtGlobal>

#include <functional>

// One stream transfer (StreamIn / StreamOut). The callback moves one chunk: for StreamIn it
// fills up to count bytes of buffer and sets done to the number delivered (0 ends the
// transfer); for StreamOut it takes the count bytes of buffer and sets done to the number
// taken. A callback answer other than 0 ends the transfer with that answer in Error.
//
//     TEditStream stream;
//     stream.Callback = [&](char *buffer, qint64 count, qint64 &done) {
//         done = file.read(buffer, count);
//         return done < 0 ? 1 : 0;
//     };
//     control.StreamIn(SF_RTF, stream); // stream.Error: 0, the callback's answer or a failure
struct TEditStream
{
    std::function<int(char *buffer, qint64 count, qint64 &done)> Callback;
    // Outcome of the last transfer: 0 on success.
    int Error = 0;
};
