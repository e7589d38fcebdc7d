#pragma once
// single_run: one running installer per user. Two at once would share the private folder and
// overwrite each other's download archives there. The mark of the running one is a lock (flock)
// on a file in that folder, held through an open descriptor for the rest of the process: the
// kernel lets it go when the process ends, however it ends, so a killed run never keeps the next
// one out, and no stale file has to be judged. Main thread only.

#include <string>

namespace plat {

// The lock file inside the private folder; it stays there between runs.
constexpr const char single_run_lock_name[] = "running.lock";

// Takes the lock in folder (ending in '/'): 0 when this process holds it (also when it already
// did), EWOULDBLOCK when another process holds it, else the errno of the open or the flock.
[[nodiscard]] int take_single_run_lock(const std::string& folder);

// Lets the lock go before another installer is started to take over, since that one takes it as
// it starts. Returns the folder of the lock held, for taking it back when nothing started; empty
// when this process held none.
std::string let_go_single_run_lock();

}  // namespace plat
