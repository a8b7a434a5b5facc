#pragma once

// Runs one of the built programs as a user would start it, with its
// settings, lock folder and home in a test folder, and keeps what it said.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

struct ProgramResult {
    int status = -1;  // exit status, or minus the signal that ended it
    std::string out;
    std::string err;
};

// Starts the program with its settings, lock folder and home in `folder`
// and its output going to the named files. `environment` adds to or (with a
// null value) removes from the variables the run gets after the folder's own.
inline pid_t startProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::filesystem::path& folder, const std::string& outPath, const std::string& errPath,
                          const std::vector<std::pair<std::string, const char*>>& environment = {})
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("CEDXM_REGISTRY", (folder / "CEDXM.reg").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        ::setenv("HOME", folder.c_str(), 1);
        for (const auto& [name, value] : environment) {
            if (value == nullptr) {
                ::unsetenv(name.c_str());
            } else {
                ::setenv(name.c_str(), value, 1);
            }
        }
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

// Runs the program to its end and keeps what it said.
inline ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                                const std::filesystem::path& folder,
                                const std::vector<std::pair<std::string, const char*>>& environment = {})
{
    const std::string outPath = (folder / ".program-out").string();
    const std::string errPath = (folder / ".program-err").string();
    const pid_t pid = startProgram(program, args, folder, outPath, errPath, environment);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ProgramResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    const auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    };
    result.out = slurp(outPath);
    result.err = slurp(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}

}  // namespace TestSupport
