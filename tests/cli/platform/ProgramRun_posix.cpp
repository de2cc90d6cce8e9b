#include "PosixProgram.h"
#include "ProgramRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace kvaderon::test {

pid_t StartProgram(const std::filesystem::path& AProgram, const std::vector<std::string>& AArguments, int AOutput,
                   const std::filesystem::path& AErrFile) {
    std::vector<std::string> texts{AProgram.string()};
    texts.insert(texts.end(), AArguments.begin(), AArguments.end());
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (AOutput >= 0) {
        posix_spawn_file_actions_adddup2(&actions, AOutput, 1);
    } else {
        posix_spawn_file_actions_addclose(&actions, 0);
        posix_spawn_file_actions_addclose(&actions, 1);
    }
    posix_spawn_file_actions_addopen(&actions, 2, AErrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    const int failure = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0)
        throw std::runtime_error("cannot start " + AProgram.string());
    return child;
}

int WaitForProgram(pid_t AChild) {
    int status = 0;
    while (waitpid(AChild, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunProgramToFiles(const std::filesystem::path& AProgram, const std::vector<std::string>& AArguments,
                      const std::filesystem::path& AOutFile, const std::filesystem::path& AErrFile) {
    const int output = ::open(AOutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (output < 0)
        throw std::runtime_error("cannot create " + AOutFile.string());
    try {
        const pid_t child = StartProgram(AProgram, AArguments, output, AErrFile);
        ::close(output);
        return WaitForProgram(child);
    } catch (...) {
        ::close(output);
        throw;
    }
}

} // namespace kvaderon::test
