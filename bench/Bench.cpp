#include "Bench.h"

#include <algorithm>
#include <chrono>
#include <fstream>

#include <time.h>

std::vector<bench::Benchmark>& bench::registry()
{
    static std::vector<Benchmark> benchmarks;
    return benchmarks;
}

namespace
{
    // CPU time of this thread: on a shared machine, time spent waiting for a core is not the
    // code's cost. Wall time where the clock is missing.
    double now() noexcept
    {
#if defined(CLOCK_THREAD_CPUTIME_ID)
        timespec t {};
        if (clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t) == 0)
            return double (t.tv_sec) + 1e-9 * double (t.tv_nsec);
#endif
        return std::chrono::duration<double> (std::chrono::steady_clock::now().time_since_epoch()).count();
    }

    std::vector<double> timings (const std::function<void()>& body, int repeats)
    {
        body();
        std::vector<double> seconds;
        for (int r = 0; r < std::max (1, repeats); ++r)
        {
            const auto start = now();
            body();
            seconds.push_back (now() - start);
        }
        std::sort (seconds.begin(), seconds.end());
        return seconds;
    }
}

double bench::bestSeconds (const std::function<void()>& body, int repeats) { return timings (body, repeats).front(); }

double bench::medianSeconds (const std::function<void()>& body, int repeats)
{
    const auto t = timings (body, repeats);
    return t[t.size() / 2];
}

std::string bench::cpuModelName()
{
    std::ifstream cpuinfo ("/proc/cpuinfo");
    for (std::string line; std::getline (cpuinfo, line);)
        if (line.rfind ("model name", 0) == 0)
            if (const auto colon = line.find (':'); colon != std::string::npos)
                return line.substr (line.find_first_not_of (" \t", colon + 1));
    return "unknown CPU";
}

void bench::keep (const void* p)
{
    asm volatile ("" : : "g"(p) : "memory");
}
