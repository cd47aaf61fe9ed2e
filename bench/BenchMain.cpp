#include "Bench.h"

#include <cstdio>
#include <cstring>
#include <thread>

// brimstack3-bench [filter]   runs every benchmark whose name contains filter
// brimstack3-bench --list     names them
int main (int argc, char** argv)
{
    const char* filter = argc > 1 ? argv[1] : "";

    if (std::strcmp (filter, "--list") == 0)
    {
        for (const auto& b : bench::registry())
            std::printf ("%s\n", b.name.c_str());
        return 0;
    }

    std::printf ("brimstack3-bench on %s (%u hardware threads)\n", bench::cpuModelName().c_str(),
                 std::thread::hardware_concurrency());

    int ran = 0;
    for (const auto& b : bench::registry())
    {
        if (std::strstr (b.name.c_str(), filter) == nullptr)
            continue;
        std::printf ("\n== %s ==\n", b.name.c_str());
        std::fflush (stdout);
        b.run();
        ++ran;
    }

    if (ran == 0)
    {
        std::fprintf (stderr, "no benchmark matches '%s' (try --list)\n", filter);
        return 1;
    }
    return 0;
}
