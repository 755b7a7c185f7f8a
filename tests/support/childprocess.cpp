#include "tests/support/childprocess.h"

#include <cerrno>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace childprocess {

bool leaveRoot()
{
    if (::geteuid() != 0)
        return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(nobodyId) == 0 && ::setuid(nobodyId) == 0;
}

int run(const std::function<bool()> &prepare, const std::function<int()> &work)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0)
        ::_exit(prepare() ? work() : couldNotPrepare);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace childprocess
