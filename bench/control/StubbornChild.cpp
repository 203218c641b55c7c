// Ignores SIGTERM (unless TAVRIN_BENCH_POLITE is set) and waits to be killed.
#include <csignal>
#include <cstdlib>
#include <unistd.h>

int main() {
    if (!std::getenv("TAVRIN_BENCH_POLITE"))
        std::signal(SIGTERM, SIG_IGN);
    for (;;)
        pause();
}
