#include "Console.h"

#include <csignal>
#include <pthread.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace kvaderon::cli::platform {

std::vector<std::string> CommandLineArguments(int AArgc, char** AArgv) {
    return std::vector<std::string>(AArgv + (AArgc > 0 ? 1 : 0), AArgv + AArgc);
}

void PrepareConsole() {}

void RestoreConsole() {}

bool IsStandardOutputTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

// The signals are blocked in every thread and taken by one thread with sigwait, where AOnSignal
// may do what a signal handler may not (take locks, remove files).
void HandleTerminationSignals(void (*AOnSignal)(int AExitStatus)) {
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    try {
        std::thread([signals, AOnSignal] {
            int signal = 0;
            while (sigwait(&signals, &signal) != 0) {
            }
            AOnSignal(128 + signal);
        }).detach();
    } catch (const std::system_error&) {
        // Without the thread the signals end the program the usual way.
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    }
}

} // namespace kvaderon::cli::platform
