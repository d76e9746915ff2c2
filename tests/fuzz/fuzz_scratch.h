#pragma once
// Scratch files of the fuzz targets: one path per process, named with its
// process id. libFuzzer ends a run without the atexit handlers (a crash, a
// timeout, -runs reached), so the first use in a process also removes what
// processes of the same target that are gone have left behind.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace fuzzscratch {

// Whether process `pid` is gone (EPERM: alive but not ours).
inline bool gone(long pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH; }

// Removes the entries of the temporary folder named prefix + PID (+ any
// suffix) whose process is gone.
inline void removeStale(const std::string& prefix)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(fs::temp_directory_path(ec), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        std::size_t i = prefix.size();
        long pid = 0;
        while (i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < 100000000)
            pid = pid * 10 + (name[i++] - '0');
        if (i == prefix.size() || pid == ::getpid() || !gone(pid)) continue;
        std::error_code rm;
        std::filesystem::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, rm);
        for (fs::recursive_directory_iterator r(it->path(), rm), rend; !rm && r != rend; r.increment(rm))
            fs::permissions(r->path(), fs::perms::owner_all, fs::perm_options::add, rm);
        fs::remove_all(it->path(), rm);
    }
}

// The scratch path of this process: the temporary folder / prefix + PID + suffix.
inline std::filesystem::path path(const std::string& prefix, const std::string& suffix)
{
    removeStale(prefix);
    return std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid()) + suffix);
}

} // namespace fuzzscratch
