// Stands in for the product's twk.cmd work in the end-to-end test: notes
// that it ran, waits the given milliseconds and exits with the given code.
// Usage: script-stub MILLISECONDS EXITCODE MARKERFILE
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: script-stub MILLISECONDS EXITCODE MARKERFILE\n");
        return 120;
    }
    if (std::FILE *marker = std::fopen(argv[3], "w")) {
        std::fputs("started\n", marker);
        std::fclose(marker);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[1])));
    return std::atoi(argv[2]);
}
