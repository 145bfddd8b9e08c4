#include "platform/posix/PosixShell.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string NativePath(std::string path)
{
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
    return path;
}

bool IsExecutableFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// A bare name is looked for along PATH only: a program of the same name in
// the current folder (perhaps put there by someone else) is never started.
// Empty entries of PATH, which would mean the current folder, are skipped.
// "" when it is nowhere.
std::string ResolveFile(const std::string& file)
{
    if (file.empty() || file.find('/') != std::string::npos)
        return file;
    const char* pathEnv = std::getenv("PATH");
    const std::string path = pathEnv ? pathEnv : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start) {
            const std::string candidate = path.substr(start, end - start) + "/" + file;
            if (IsExecutableFile(candidate))
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

void WriteErrno(int fd, int error)
{
    const ssize_t written = ::write(fd, &error, sizeof error);
    (void)written;
}

// Starts argv[0] (searched along PATH when usePath) in a grandchild of its
// own session; true once the program is running in place of the child.
bool SpawnDetached(const std::vector<std::string>& args, bool usePath)
{
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    // The exec's outcome comes back through a pipe that closes on success.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;

    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        // Only async-signal-safe calls from here on.
        ::close(report[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) {
            if (grandchild < 0)
                WriteErrno(report[1], errno);
            ::_exit(grandchild < 0 ? 1 : 0);
        }
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        const int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull >= 0 && devNull != STDIN_FILENO) {
            ::dup2(devNull, STDIN_FILENO);
            ::close(devNull);
        }
        if (usePath)
            ::execvp(argv[0], argv.data());
        else
            ::execv(argv[0], argv.data());
        WriteErrno(report[1], errno);
        ::_exit(127);
    }

    ::close(report[1]);
    // The middle process ends at once; reaping it leaves no zombie, and the
    // program itself now belongs to init.
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    do {
        got = ::read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    return got == 0;
}

} // namespace

std::vector<std::string> SplitParams(const std::string& params)
{
    std::vector<std::string> args;
    std::string current;
    bool inArg = false;
    bool quoted = false;
    for (char c : params) {
        if (c == '"') {
            quoted = !quoted;
            inArg = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inArg)
                args.push_back(current);
            current.clear();
            inArg = false;
        } else {
            current += c;
            inArg = true;
        }
    }
    if (inArg)
        args.push_back(current);
    return args;
}

bool CPosixShell::CanFind(const std::string& file) const
{
    const std::string path = ResolveFile(NativePath(file));
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool CPosixShell::Open(const std::string& file, const std::string& params)
{
    if (!CanFind(file))
        return false;
    const std::string path = ResolveFile(NativePath(file));
    if (IsExecutableFile(path)) {
        std::vector<std::string> args{path};
        for (std::string& arg : SplitParams(params))
            args.push_back(std::move(arg));
        return SpawnDetached(args, false);
    }
    return SpawnDetached({"xdg-open", path}, true);
}
