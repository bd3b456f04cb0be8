#include "app/shell/VXStopSignal.h"

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopped = 0;
int input = -1;
// Opened beforehand: the handler may only call what is safe in a signal handler.
int nothing = -1;

extern "C" void onStop(int)
{
    stopped = 1;
    // A read under way, and every later one, finds the end of the input.
    ::dup2(nothing, input);
}

} // namespace

void VXStopSignal::watch(int inputDescriptor)
{
    input = inputDescriptor;
    nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    struct sigaction action = {};
    action.sa_handler = onStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
}

bool VXStopSignal::received() { return stopped != 0; }
