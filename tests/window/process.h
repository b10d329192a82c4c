// Child processes for the window tests: start with pipes, watch, stop.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

struct ChildProcess {
    pid_t pid = -1;
    int out = -1;         // read end of the child's stdout
    int err = -1;         // read end of the child's stderr, -1 when discarded
    bool ended = false;   // reaped; status below is valid
    int status = 0;       // as returned by waitpid
};

// The test process's own environment as "NAME=value" strings.
std::vector<std::string> currentEnvironment();

// Starts argv (searched in PATH) with exactly env; stdout goes to a pipe, stderr to a pipe
// or /dev/null. The child dies with the test process. pid is -1 when it could not start.
ChildProcess spawnProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                          bool captureStderr);

// Reads fd until `wanted` bytes have arrived, end of file, or timeoutMs has passed.
std::string readPipe(int fd, std::size_t wanted, int timeoutMs);

// True while the child runs; reaps it and records its status once it has ended.
bool isRunning(ChildProcess& child);

// Waits up to timeoutMs for the child to end; true when it has, status in child.status.
bool waitForExit(ChildProcess& child, int timeoutMs);

// Resident set size (VmRSS) of a process in KiB, -1 when unreadable.
long residentKb(pid_t pid);

// Sends `signal`, waits a little, then kills for sure; reaps and closes the pipes.
void stopProcess(ChildProcess& child, int signal);
