#pragma once

// CUPS stops a backend with SIGTERM when its job is cancelled or CUPS itself stops. Once watched,
// the signal ends the job's input where it stands, as if the job ended there, even while a read
// waits on a pipe, and is remembered: the copy under way is then dropped, never kept cut short.
class VXStopSignal
{
public:
    // From now on; the input is the descriptor the job is read from.
    static void watch(int inputDescriptor);
    static bool received();
};
