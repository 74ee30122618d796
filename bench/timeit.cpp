// timeit RUNS OUTFILE -- COMMAND [ARG...]: runs COMMAND RUNS times, its standard
// output and error written to OUTFILE (truncated each run), and prints the
// minimum, median and maximum wall time in milliseconds. Built static by
// live_vs_tools.sh so that it runs in the hw lab VM as it is.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 5 || std::string_view(argv[3]) != "--") {
        std::fprintf(stderr, "usage: timeit RUNS OUTFILE -- COMMAND [ARG...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            const int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
            dup2(out, 2);
            execvp(argv[4], argv + 4);
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        // A run that fails is no measurement of the work it should have done.
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "timeit: %s failed (status %d)\n", argv[4], status);
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("min %.0f ms, median %.0f ms, max %.0f ms (%d runs)\n", times.front(), times[times.size() / 2],
                times.back(), runs);
    return 0;
}
