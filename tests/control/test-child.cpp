// Stands in for tavrin-server in controller tests, behaving as TAVRIN_TEST_CHILD_MODE says:
//   serve        (default) runs until SIGTERM, then exits 0;
//   ignore-term  ignores SIGTERM, so only SIGKILL ends it;
//   exit         exits with status 3 after 200 ms, by itself.
// When TAVRIN_TEST_CHILD_REPORT names a file, it writes there its arguments (one per line), the
// variables tests look for, then "ready": tests read what the server was given.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

static void onTerm(int) {
    _exit(0);
}

int main(int argc, char** argv) {
    const char* mode = std::getenv("TAVRIN_TEST_CHILD_MODE");
    mode = mode ? mode : "serve";
    std::signal(SIGTERM, std::strcmp(mode, "ignore-term") == 0 ? SIG_IGN : onTerm);

    std::printf("listening on 127.0.0.1:0\n");
    std::fflush(stdout);
    std::fprintf(stderr, "test child %d started\n", int(getpid()));

    if (const char* report = std::getenv("TAVRIN_TEST_CHILD_REPORT")) {
        std::string tmp = std::string(report) + ".tmp";
        if (FILE* f = std::fopen(tmp.c_str(), "w")) {
            for (int i = 1; i < argc; ++i)
                std::fprintf(f, "arg=%s\n", argv[i]);
            for (const char* name : {"TAVRIN_TEST_AGENT_VALUE", "TAVRIN_TEST_PANEL_VALUE", "TAVRIN_STATE_DIR",
                                     "TAVRIN_MODEL_SOURCE"}) {
                const char* value = std::getenv(name);
                std::fprintf(f, "%s=%s\n", name, value ? value : "");
            }
            std::fprintf(f, "ready\n");
            std::fclose(f);
            std::rename(tmp.c_str(), report);
        }
    }
    if (std::strcmp(mode, "exit") == 0) {
        usleep(200'000);
        return 3;
    }
    for (;;)
        pause();
}
