// Times whole processes side by side: runs each given program in turn, many
// rounds, and prints per program the median time from the fork to its first
// painted frame (as the program reports it, see first_paint_quit.cpp), the
// median time to its exit, and its median and highest peak resident memory.
//
//   proc_bench [--runs N] NAME=PROGRAM [NAME=PROGRAM ...]
//
// Output: one line per program, "NAME first_paint_ms wall_ms rss_kb rss_max_kb".
// A program that fails or reports no first paint ends the runner with 1.
//
//   proc_bench --x11 [--runs N] NAME=PROGRAM ...
//
// Any program, on the X display in DISPLAY: once it has a visible window
// (xdotool) and its CPU time has stood still for 100 ms, it has drawn its
// first frame; it is then ended with SIGTERM. Output per program:
// "NAME cpu_ms rss_kb rss_max_kb", the CPU time (user + system) it used until
// then and its peak resident memory, medians. The programs' own output goes
// to the file in PROC_BENCH_LOG, else nowhere.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <thread>
#include <chrono>
#include <string>
#include <vector>

namespace {

long long monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

struct Sample {
    double firstPaintMs = -1;
    double wallMs = 0;
    long rssKb = 0;
};

struct Program {
    std::string name, path;
    std::vector<Sample> samples;
};

bool runOnce(const Program& p, Sample& s)
{
    int out[2];
    if (pipe(out) != 0) return false;
    const long long t0 = monotonicNs();
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, STDERR_FILENO); // the toolkit's notes would mix into the table
        close(out[0]);
        close(out[1]);
        setenv("PHONOLITH_BENCH_T0_NS", std::to_string(t0).c_str(), 1);
        execl(p.path.c_str(), p.path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buf[256];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    rusage ru{};
    if (wait4(pid, &status, 0, &ru) != pid) return false;
    s.wallMs = static_cast<double>(monotonicNs() - t0) / 1e6;
    s.rssKb = ru.ru_maxrss;
    const auto at = text.find("first-paint-ms ");
    if (at != std::string::npos) s.firstPaintMs = std::atof(text.c_str() + at + 15);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && s.firstPaintMs >= 0;
}

bool hasVisibleWindow(pid_t pid)
{
    const std::string cmd = "xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null";
    FILE* f = popen(cmd.c_str(), "r");
    if (!f) return false;
    char buf[64];
    const bool found = std::fgets(buf, sizeof buf, f) != nullptr;
    pclose(f);
    return found;
}

// utime + stime of a running process, in clock ticks.
long long cpuTicks(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    // Fields after the command: state is field 3, utime 14, stime 15.
    const char* p = stat.c_str() + close + 2;
    long long v[13] = {};
    char state = 0;
    if (std::sscanf(p, "%c %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld", &state, &v[0], &v[1], &v[2],
                    &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11]) != 13)
        return -1;
    return v[10] + v[11];
}

// Runs the program until it is drawn and idle; s.wallMs takes the CPU time.
bool runX11(const Program& p, Sample& s)
{
    const long long t0 = monotonicNs();
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        const char* log = std::getenv("PROC_BENCH_LOG");
        const int null = open(log ? log : "/dev/null", O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        execl(p.path.c_str(), p.path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    using namespace std::chrono_literals;
    bool ok = false;
    while (monotonicNs() - t0 < 30'000'000'000LL) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "%s: ended before it showed a window (status %d)\n", p.path.c_str(), status);
            return false;
        }
        if (hasVisibleWindow(pid)) {
            ok = true;
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    if (ok) {
        long long last = cpuTicks(pid);
        for (int still = 0; still < 5;) {
            std::this_thread::sleep_for(20ms);
            const long long now = cpuTicks(pid);
            still = now == last ? still + 1 : 0;
            last = now;
        }
    }
    kill(pid, SIGTERM);
    int status = 0;
    rusage ru{};
    if (wait4(pid, &status, 0, &ru) != pid) return false;
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    s.wallMs = ms(ru.ru_utime) + ms(ru.ru_stime);
    s.rssKb = ru.ru_maxrss;
    return ok;
}

template <typename F>
double median(const std::vector<Sample>& v, F field)
{
    std::vector<double> x;
    for (const Sample& s : v) x.push_back(static_cast<double>(field(s)));
    std::sort(x.begin(), x.end());
    const size_t n = x.size();
    return n % 2 ? x[n / 2] : (x[n / 2 - 1] + x[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 31;
    bool x11 = false;
    std::vector<Program> programs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--x11") == 0) {
            x11 = true;
            continue;
        }
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
            continue;
        }
        const char* eq = std::strchr(argv[i], '=');
        if (!eq) {
            std::fprintf(stderr, "usage: %s [--x11] [--runs N] NAME=PROGRAM ...\n", argv[0]);
            return 2;
        }
        programs.push_back({std::string(argv[i], static_cast<std::size_t>(eq - argv[i])), eq + 1, {}});
    }
    if (programs.empty()) return 2;

    // An X server under load now and then refuses a connection: a program
    // that ends before it shows a window is started again, up to twice.
    const auto run = [x11](const Program& p, Sample& s) {
        if (!x11) return runOnce(p, s);
        for (int attempt = 0; attempt < 3; ++attempt)
            if (runX11(p, s)) return true;
        return false;
    };
    // One unrecorded round warms the file cache and the font cache.
    for (Program& p : programs) {
        Sample s;
        if (!run(p, s)) {
            std::fprintf(stderr, "%s: failed or reported no first paint\n", p.path.c_str());
            return 1;
        }
    }
    for (int r = 0; r < runs; ++r) {
        for (Program& p : programs) {
            Sample s;
            if (!run(p, s)) {
                std::fprintf(stderr, "%s: failed or reported no first paint\n", p.path.c_str());
                return 1;
            }
            p.samples.push_back(s);
        }
    }
    for (const Program& p : programs) {
        long rssMax = 0;
        for (const Sample& s : p.samples) rssMax = std::max(rssMax, s.rssKb);
        if (x11) {
            std::printf("%s %.3f %.0f %ld\n", p.name.c_str(), median(p.samples, [](const Sample& s) { return s.wallMs; }),
                        median(p.samples, [](const Sample& s) { return s.rssKb; }), rssMax);
            continue;
        }
        std::printf("%s %.3f %.3f %.0f %ld\n", p.name.c_str(), median(p.samples, [](const Sample& s) { return s.firstPaintMs; }),
                    median(p.samples, [](const Sample& s) { return s.wallMs; }),
                    median(p.samples, [](const Sample& s) { return s.rssKb; }), rssMax);
    }
    return 0;
}
