// processBlock must not allocate: every buffer and coefficient is sized in preparation.
// The global allocation functions are replaced here and count calls made by the measuring thread.

#include "ProcessorHarness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
 #define BRIMSTACK3_COUNT_ALLOCATIONS 0 // the sanitizer owns malloc
#else
 #define BRIMSTACK3_COUNT_ALLOCATIONS 1
#endif

namespace
{
    thread_local bool countingHere = false;
    std::atomic<long> allocations { 0 };

    inline void noteAllocation() noexcept
    {
        if (countingHere)
            allocations.fetch_add (1, std::memory_order_relaxed);
    }
}

#if BRIMSTACK3_COUNT_ALLOCATIONS
extern "C"
{
    void* __libc_malloc (size_t);
    void* __libc_calloc (size_t, size_t);
    void* __libc_realloc (void*, size_t);
    void* __libc_memalign (size_t, size_t);
    void __libc_free (void*);

    void* malloc (size_t n) { noteAllocation(); return __libc_malloc (n); }
    void* calloc (size_t n, size_t s) { noteAllocation(); return __libc_calloc (n, s); }
    void* realloc (void* p, size_t n) { noteAllocation(); return __libc_realloc (p, n); }
    void* memalign (size_t a, size_t n) { noteAllocation(); return __libc_memalign (a, n); }
    void* aligned_alloc (size_t a, size_t n) { noteAllocation(); return __libc_memalign (a, n); }
    int posix_memalign (void** out, size_t a, size_t n)
    {
        noteAllocation();
        *out = __libc_memalign (a, n);
        return *out != nullptr ? 0 : 12;
    }
    void free (void* p) { __libc_free (p); }
}

namespace
{
    void* allocate (size_t n, size_t alignment = 0)
    {
        noteAllocation();
        void* p = alignment > alignof (std::max_align_t) ? __libc_memalign (alignment, n ? n : 1) : __libc_malloc (n ? n : 1);
        if (p == nullptr)
            throw std::bad_alloc();
        return p;
    }
}

void* operator new (size_t n) { return allocate (n); }
void* operator new[] (size_t n) { return allocate (n); }
void* operator new (size_t n, std::align_val_t a) { return allocate (n, (size_t) a); }
void* operator new[] (size_t n, std::align_val_t a) { return allocate (n, (size_t) a); }
void* operator new (size_t n, const std::nothrow_t&) noexcept { noteAllocation(); return __libc_malloc (n ? n : 1); }
void* operator new[] (size_t n, const std::nothrow_t&) noexcept { noteAllocation(); return __libc_malloc (n ? n : 1); }
void operator delete (void* p) noexcept { __libc_free (p); }
void operator delete[] (void* p) noexcept { __libc_free (p); }
void operator delete (void* p, size_t) noexcept { __libc_free (p); }
void operator delete[] (void* p, size_t) noexcept { __libc_free (p); }
void operator delete (void* p, std::align_val_t) noexcept { __libc_free (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { __libc_free (p); }
void operator delete (void* p, size_t, std::align_val_t) noexcept { __libc_free (p); }
void operator delete[] (void* p, size_t, std::align_val_t) noexcept { __libc_free (p); }
#endif

using harness::set;

TEST (Realtime, ProcessBlockNeverAllocates)
{
#if ! BRIMSTACK3_COUNT_ALLOCATIONS
    GTEST_SKIP() << "allocation counting is not available under AddressSanitizer";
#else
    struct Scenario { const char* what; double rate; int blockSize; std::function<void (GuipluginAudioProcessor&, int)> automate; };
    const Scenario scenarios[] {
        { "host rate 44.1 kHz",            44100.0, 512,  {} },
        { "oversampled 48 kHz",            48000.0, 256,  {} },
        { "Ultra at 44.1 kHz",             44100.0, 1024, [] (auto& p, int) { set (p, "ultraButton", 1.0f); } },
        { "96 kHz, odd block",             96000.0, 333,  {} },
        { "bypass",                        48000.0, 512,  [] (auto& p, int k) { set (p, "powerButton", k % 50 < 25 ? 1.0f : 0.0f); } },
        { "knobs moving",                  48000.0, 128,  [] (auto& p, int k)
            {
                set (p, "hpKnob", 20.0f + (float) (k % 180));
                set (p, "lpKnob", 8000.0f + 50.0f * (float) (k % 200));
                set (p, "drymixKnob", (float) (k % 100));
                set (p, "driveKnob", 0.001f * (float) (k % 700));
            } },
        { "model switches and Ultra",      44100.0, 512,  [] (auto& p, int k)
            {
                if (k % 40 == 0)
                {
                    const auto type = (k / 40) % 3;
                    set (p, "typeTbutton", type == 0);
                    set (p, "typeP1button", type == 1);
                    set (p, "typeP2button", type == 2);
                    set (p, "overDriveButton", (k / 120) % 2);
                }
                if (k % 170 == 0)
                    set (p, "ultraButton", (k / 170) % 2);
            } },
        { "oversize blocks",               48000.0, 64,   {} },
    };

    for (auto& s : scenarios)
    {
        SCOPED_TRACE (s.what);
        auto p = harness::make();
        p->prepareToPlay (s.rate, s.blockSize);

        const auto blockSize = juce::String (s.what) == "oversize blocks" ? 1000 : s.blockSize;
        juce::AudioBuffer<float> block (2, blockSize);
        juce::MidiBuffer midi;
        long total = 0;

        for (int k = 0; k < 2000; ++k)
        {
            harness::fillSine (block, s.rate, 220.0, 0.4f, (int64_t) k * blockSize);
            if (s.automate)
                s.automate (*p, k);

            allocations = 0;
            countingHere = true;
            p->processBlock (block, midi);
            countingHere = false;
            total += allocations.load();
        }

        EXPECT_EQ (total, 0);
    }
#endif
}
