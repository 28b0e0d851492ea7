#include "platform/QuitSignalRoute.h"

#include <atomic>
#include <csignal>

namespace tamsel {
namespace {

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::atomic<bool> g_haveWaiter{false};
pthread_t g_waiter{};

sigset_t QuitSet()
{
    sigset_t s;
    sigemptyset(&s);
    for (int sig : kQuitSignals)
        sigaddset(&s, sig);
    return s;
}

// Runs only in a thread that unblocked the signal: hands it to the waiting
// thread, where it is blocked and waited for. pthread_kill is async-signal-safe.
void Forward(int sig)
{
    if (g_haveWaiter.load())
        ::pthread_kill(g_waiter, sig);
}

}  // namespace

void BlockQuitSignals()
{
    const sigset_t s = QuitSet();
    ::pthread_sigmask(SIG_BLOCK, &s, nullptr);
}

void UnblockQuitSignals()
{
    const sigset_t s = QuitSet();
    ::pthread_sigmask(SIG_UNBLOCK, &s, nullptr);
}

void SetQuitSignalWaiter(pthread_t waiter)
{
    g_waiter = waiter;
    g_haveWaiter = true;
    ReassertQuitSignals();
}

void ClearQuitSignalWaiter() { g_haveWaiter = false; }

void ReassertQuitSignals()
{
    if (!g_haveWaiter.load())
        return;
    struct sigaction forward {};
    forward.sa_handler = Forward;
    sigemptyset(&forward.sa_mask);
    forward.sa_flags = SA_RESTART;
    for (int sig : kQuitSignals) {
        struct sigaction now {};
        if (::sigaction(sig, nullptr, &now) == 0 && now.sa_handler == Forward)
            continue;
        ::sigaction(sig, &forward, nullptr);
    }
    BlockQuitSignals();
}

int WaitForQuitSignal()
{
    const sigset_t s = QuitSet();
    int sig = 0;
    while (::sigwait(&s, &sig) != 0) {
    }
    return sig;
}

}  // namespace tamsel
