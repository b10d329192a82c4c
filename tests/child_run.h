// Running a piece of a test in a child process with a time limit, so a call
// that hangs fails the test instead of stopping the whole run.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

// Runs work() in a child and returns the text it returned; "(timed out)"
// when it took longer than seconds (the child is then killed), "(died)" when
// the child ended without answering.
template <typename Work>
std::string runInChild(Work work, int seconds)
{
    int ends[2];
    if (pipe(ends) != 0)
        return "(no pipe)";
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        const std::string said = work();
        std::size_t done = 0;
        while (done < said.size()) {
            const ssize_t wrote = write(ends[1], said.data() + done, said.size() - done);
            if (wrote <= 0)
                break;
            done += static_cast<std::size_t>(wrote);
        }
        _exit(0);
    }
    close(ends[1]);
    std::string said;
    bool ended = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!ended && std::chrono::steady_clock::now() < deadline) {
        pollfd waiting{ends[0], POLLIN, 0};
        if (poll(&waiting, 1, 100) <= 0)
            continue;
        char chunk[4096];
        const ssize_t got = read(ends[0], chunk, sizeof chunk);
        if (got > 0)
            said.append(chunk, static_cast<std::size_t>(got));
        ended = got <= 0;
    }
    close(ends[0]);
    if (!ended)
        kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (!ended)
        return "(timed out)";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? said : "(died)";
}
