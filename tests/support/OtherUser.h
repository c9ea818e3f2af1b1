// Running part of a test as another user: the unprivileged "nobody", in a child process,
// where file permissions apply even when the tests run as the super-user.
#pragma once

#include <functional>
#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace QvTest {

constexpr uid_t NobodyUser = 65534;
constexpr gid_t NobodyGroup = 65534;

// Runs Attempt as "nobody", without supplementary groups, in a child process and returns
// what it returns (keep it below 100); 100 when the user could not be changed, 101 when
// the child could not be made or did not exit. Only the super-user changes users.
inline int RunAsNobody(const std::function<int()>& Attempt)
{
    const pid_t child = ::fork();
    if (child < 0)
        return 101;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(NobodyGroup) != 0 || ::setuid(NobodyUser) != 0)
            ::_exit(100);
        ::_exit(Attempt());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return 101;
    return WEXITSTATUS(status);
}

// Runs Attempt where permissions apply: as "nobody" for the super-user, directly for
// anyone else.
inline int RunUnprivileged(const std::function<int()>& Attempt)
{
    return ::geteuid() == 0 ? RunAsNobody(Attempt) : Attempt();
}

}  // namespace QvTest
