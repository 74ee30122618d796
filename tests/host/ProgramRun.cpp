#include "ProgramRun.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace {

[[noreturn]] void Exec(const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    for (const auto& entry : environment) {
        putenv(const_cast<char*>(entry.c_str()));
    }
    std::vector<char*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

// Reads the descriptors until each is closed (or, for a terminal, fails once the child is gone).
void Drain(std::vector<std::pair<int, std::string*>> sources)
{
    while (!sources.empty()) {
        std::vector<pollfd> polls;
        for (const auto& [fd, sink] : sources) {
            polls.push_back({fd, POLLIN, 0});
        }
        if (poll(polls.data(), polls.size(), 30000) <= 0) {
            throw std::runtime_error("the program printed nothing for 30 s");
        }
        for (std::size_t index = polls.size(); index-- > 0;) {
            if (polls[index].revents == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t got = read(polls[index].fd, buffer, sizeof buffer);
            if (got > 0) {
                sources[index].second->append(buffer, static_cast<std::size_t>(got));
            } else {
                close(polls[index].fd);
                sources.erase(sources.begin() + static_cast<std::ptrdiff_t>(index));
            }
        }
    }
}

int Wait(pid_t child)
{
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

ProgramRun ProgramRun::Piped(const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    int out[2];
    int err[2];
    if (pipe(out) != 0 || pipe(err) != 0) {
        throw std::runtime_error("no pipe");
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(out[0]);
        close(err[0]);
        Exec(arguments, environment);
    }
    close(out[1]);
    close(err[1]);
    ProgramRun run;
    Drain({{out[0], &run.Out}, {err[0], &run.Err}});
    run.ExitCode = Wait(child);
    return run;
}

ProgramRun ProgramRun::OnTerminal(const std::vector<std::string>& arguments,
                                  const std::vector<std::string>& environment)
{
    int terminal = -1;
    winsize size{};
    size.ws_col = 100;
    size.ws_row = 50;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, &size);
    if (child == 0) {
        Exec(arguments, environment);
    }
    if (child < 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    ProgramRun run;
    Drain({{terminal, &run.Out}});
    run.ExitCode = Wait(child);
    return run;
}
