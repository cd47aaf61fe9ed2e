#include <cstdio>

int main()
{
    std::printf ("brimstack3-bench: no benchmarks yet\n");
    return 0;
}
