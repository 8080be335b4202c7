#include "ui/StopSignals.h"

#include <atomic>
#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

const int stopSignals[] = {SIGTERM, SIGHUP, SIGINT};
std::atomic<int> caught{0};
int wakeUp[2] = {-1, -1};

// Only what may be done in a signal handler: an atomic store and a write.
void Note(int signal)
{
    caught = signal;
    char byte = 1;
    ssize_t ignored = write(wakeUp[1], &byte, 1);
    (void)ignored;
}

}  // namespace

namespace StopSignals {

void Catch()
{
    if (wakeUp[0] < 0 && pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    for (int signal : stopSignals)
        sigaction(signal, &action, nullptr);
}

int Caught()
{
    return caught;
}

int ReadableOnSignal()
{
    return wakeUp[0];
}

void EndProgram()
{
    int signal = caught;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
}

}  // namespace StopSignals
