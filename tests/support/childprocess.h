#pragma once

#include <sys/types.h>

#include <functional>

// A forked child for what a test must not do to itself: give up root, set
// limits, hide folders.
namespace childprocess {

// The unprivileged account a test running as root drops to.
constexpr uid_t nobodyId = 65534;
// What run() returns when `prepare` failed.
constexpr int couldNotPrepare = 254;

// Gives up root for the unprivileged account; true when done or when the
// test does not run as root.
bool leaveRoot();

// Runs `prepare`, then `work`, in a child, so that limits and identities set
// there stay there. Returns what `work` returned (0 to 253), couldNotPrepare,
// or -1 when the child did not exit normally.
int run(const std::function<bool()> &prepare, const std::function<int()> &work);

} // namespace childprocess
