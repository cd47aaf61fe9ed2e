#pragma once

#include <functional>
#include <string>
#include <vector>

// A tiny benchmark harness: each benchmark file registers its functions with BRIMSTACK3_BENCH and
// prints its own table; main runs them all, or those whose name contains the first argument.
namespace bench
{
    struct Benchmark
    {
        std::string name;
        std::function<void()> run;
    };

    std::vector<Benchmark>& registry();

    struct Registrar
    {
        Registrar (std::string name, std::function<void()> run) { registry().push_back ({ std::move (name), std::move (run) }); }
    };

    // Seconds of this thread's CPU time per call of `body`, the best (or median) of `repeats` timed
    // runs after one warm-up run: the minimum is least disturbed by other work on a shared machine.
    double bestSeconds (const std::function<void()>& body, int repeats);
    double medianSeconds (const std::function<void()>& body, int repeats);

    std::string cpuModelName();  // /proc/cpuinfo "model name", or "unknown CPU"
    void keep (const void* p);   // stops the optimiser from discarding a result
}

#define BRIMSTACK3_BENCH_CONCAT2(a, b) a##b
#define BRIMSTACK3_BENCH_CONCAT(a, b) BRIMSTACK3_BENCH_CONCAT2 (a, b)
#define BRIMSTACK3_BENCH(name, function) \
    static const bench::Registrar BRIMSTACK3_BENCH_CONCAT (benchRegistrar, __LINE__) { name, function }
