// Times whole processes side by side: runs each given program in turn, many
// rounds, and prints per program the median time from the fork to its first
// painted frame (as the program reports it, see first_paint_quit.cpp), the
// median time to its exit, and its median and highest peak resident memory.
//
//   proc_bench [--runs N] NAME=PROGRAM [NAME=PROGRAM ...]
//
// Output: one line per program, "NAME first_paint_ms wall_ms rss_kb rss_max_kb".
// A program that fails or reports no first paint ends the runner with 1.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
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
    std::vector<Program> programs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
            continue;
        }
        const char* eq = std::strchr(argv[i], '=');
        if (!eq) {
            std::fprintf(stderr, "usage: %s [--runs N] NAME=PROGRAM ...\n", argv[0]);
            return 2;
        }
        programs.push_back({std::string(argv[i], static_cast<std::size_t>(eq - argv[i])), eq + 1, {}});
    }
    if (programs.empty()) return 2;

    // One unrecorded round warms the file cache and the font cache.
    for (Program& p : programs) {
        Sample s;
        if (!runOnce(p, s)) {
            std::fprintf(stderr, "%s: failed or reported no first paint\n", p.path.c_str());
            return 1;
        }
    }
    for (int r = 0; r < runs; ++r) {
        for (Program& p : programs) {
            Sample s;
            if (!runOnce(p, s)) {
                std::fprintf(stderr, "%s: failed or reported no first paint\n", p.path.c_str());
                return 1;
            }
            p.samples.push_back(s);
        }
    }
    for (const Program& p : programs) {
        long rssMax = 0;
        for (const Sample& s : p.samples) rssMax = std::max(rssMax, s.rssKb);
        std::printf("%s %.3f %.3f %.0f %ld\n", p.name.c_str(), median(p.samples, [](const Sample& s) { return s.firstPaintMs; }),
                    median(p.samples, [](const Sample& s) { return s.wallMs; }),
                    median(p.samples, [](const Sample& s) { return s.rssKb; }), rssMax);
    }
    return 0;
}
