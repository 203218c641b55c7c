// Ignores SIGTERM (unless TAVRIN_BENCH_POLITE is set) and waits to be killed. "ready" on standard
// output says the signal disposition is in place.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main() {
    if (!std::getenv("TAVRIN_BENCH_POLITE"))
        std::signal(SIGTERM, SIG_IGN);
    std::puts("ready");
    std::fflush(stdout);
    for (;;)
        pause();
}
