#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

extern char** environ;

static long long nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::vector<std::string> currentEnvironment()
{
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry)
        env.emplace_back(*entry);
    return env;
}

static std::vector<char*> cStrings(const std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (const std::string& s : strings)
        pointers.push_back(const_cast<char*>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

ChildProcess spawnProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                          bool captureStderr)
{
    ChildProcess child;
    int out[2];
    int err[2] = {-1, -1};
    if (pipe2(out, O_CLOEXEC) != 0)
        return child;
    if (captureStderr && pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return child;
    }
    // Prepared before fork: the child may only make async-signal-safe calls.
    std::vector<char*> args = cStrings(argv);
    std::vector<char*> vars = cStrings(env);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        dup2(out[1], STDOUT_FILENO);
        const int errTarget = captureStderr ? err[1] : open("/dev/null", O_WRONLY);
        dup2(errTarget, STDERR_FILENO);
        execvpe(args[0], args.data(), vars.data());
        _exit(127);
    }
    close(out[1]);
    if (captureStderr)
        close(err[1]);
    if (pid < 0) {
        close(out[0]);
        if (captureStderr)
            close(err[0]);
        return child;
    }
    child.pid = pid;
    child.out = out[0];
    child.err = captureStderr ? err[0] : -1;
    return child;
}

std::string readPipe(int fd, std::size_t wanted, int timeoutMs)
{
    std::string data;
    const long long deadline = nowMs() + timeoutMs;
    while (data.size() < wanted) {
        const long long left = deadline - nowMs();
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        char buffer[4096];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

bool isRunning(ChildProcess& child)
{
    if (child.pid < 0 || child.ended)
        return false;
    if (waitpid(child.pid, &child.status, WNOHANG) == child.pid)
        child.ended = true;
    return !child.ended;
}

bool waitForExit(ChildProcess& child, int timeoutMs)
{
    const long long deadline = nowMs() + timeoutMs;
    while (isRunning(child)) {
        if (nowMs() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return child.ended;
}

long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            long kb = -1;
            status >> kb;
            return kb;
        }
    return -1;
}

void stopProcess(ChildProcess& child, int signal)
{
    if (isRunning(child)) {
        kill(child.pid, signal);
        if (!waitForExit(child, 3000)) {
            kill(child.pid, SIGKILL);
            waitForExit(child, 3000);
        }
    }
    for (int* fd : {&child.out, &child.err})
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
}
