#include "tools/medium_pack/run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace medium_pack {
namespace {

// Closes a descriptor when it goes.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

}  // namespace

std::string RunProgram(const std::string& program, const std::vector<std::string>& args,
                       const std::string& log, const std::string& input, unsigned seconds) {
    if (input.size() > kLargestInput) return "the input for " + program + " is too long";
    std::vector<std::string> all = args;
    all.insert(all.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(&a[0]);
    argv.push_back(nullptr);

    // The input waits in the pipe before the program starts: it is far
    // smaller than a pipe holds, so the write never blocks. Both ends close
    // on exec; the program gets the reading end as its standard input.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::string("cannot make a pipe: ") + std::strerror(errno);
    Descriptor readEnd{fds[0]}, writeEnd{fds[1]};
    if (!input.empty() && write(writeEnd.fd, input.data(), input.size()) !=
                              static_cast<ssize_t>(input.size()))
        return std::string("cannot pass the input on: ") + std::strerror(errno);
    close(writeEnd.fd);
    writeEnd.fd = -1;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_adddup2(&actions, readEnd.fd, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return rc == ENOENT ? program + " is not installed (tools/dev/setup.sh installs it)"
                            : "cannot start " + program + ": " + std::strerror(rc);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        const pid_t done = waitpid(pid, &status, seconds ? WNOHANG : 0);
        if (done == pid || (done < 0 && errno != EINTR)) break;
        if (done == 0 && std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return program + " did not finish within " + std::to_string(seconds) +
                   (seconds == 1 ? " second" : " seconds") + ", and was stopped";
        }
        if (done == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
    std::ifstream in(log, std::ios::binary);
    std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (said.size() > 2000) said = "..." + said.substr(said.size() - 2000);
    return program + " failed:\n" + said;
}

}  // namespace medium_pack
