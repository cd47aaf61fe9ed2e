#pragma once

// Thin wrappers over one instruction set each, for the kernel body in LstmKernelBody.h. Only the
// sets the including file is compiled for are defined, and everything has internal linkage, so
// the per-file builds never share a function compiled for a different CPU.

#include <immintrin.h>

namespace
{
#if defined(__SSE2__)
    struct SimdSse2
    {
        using reg = __m128;
        static constexpr int width = 4;

        static reg load (const float* p) noexcept { return _mm_load_ps (p); }
        static void store (float* p, reg v) noexcept { _mm_store_ps (p, v); }
        static reg set1 (float x) noexcept { return _mm_set1_ps (x); }
        static reg broadcast (const float* p) noexcept { return _mm_load1_ps (p); }
        static reg add (reg a, reg b) noexcept { return _mm_add_ps (a, b); }
        static reg sub (reg a, reg b) noexcept { return _mm_sub_ps (a, b); }
        static reg mul (reg a, reg b) noexcept { return _mm_mul_ps (a, b); }
        static reg mulAdd (reg a, reg b, reg c) noexcept { return _mm_add_ps (_mm_mul_ps (a, b), c); }
        static reg negMulAdd (reg a, reg b, reg c) noexcept { return _mm_sub_ps (c, _mm_mul_ps (a, b)); }
        static reg min (reg a, reg b) noexcept { return _mm_min_ps (a, b); }
        static reg max (reg a, reg b) noexcept { return _mm_max_ps (a, b); }


        // y = n + f with n = round (y) (the default rounding mode); `exponent` is what scaleByPow2
        // needs to multiply by 2^n: here 2^n itself, built from the one integer conversion.
        static void split (reg y, reg& f, reg& exponent) noexcept
        {
            const __m128i n = _mm_cvtps_epi32 (y);
            f = _mm_sub_ps (y, _mm_cvtepi32_ps (n));
            exponent = _mm_castsi128_ps (_mm_slli_epi32 (_mm_add_epi32 (n, _mm_set1_epi32 (127)), 23));
        }
        static reg scaleByPow2 (reg x, reg exponent) noexcept { return _mm_mul_ps (x, exponent); }
        // Keeps 2^n a normal float for the exponent-field construction above. The bound is the
        // second operand on purpose: min/max return it for a NaN, so a NaN gate saturates instead
        // of reaching the state.
        static reg clampExponent (reg y) noexcept { return _mm_min_ps (_mm_max_ps (y, _mm_set1_ps (-126.0f)), _mm_set1_ps (126.0f)); }

        // A true division: the divider runs beside the busy multiply-add pipes, so it measured no
        // slower than the estimate plus a Newton step, and it is exact.
        static reg reciprocal (reg d) noexcept
        {
            return _mm_div_ps (_mm_set1_ps (1.0f), d);
        }

        static float sum (reg v) noexcept
        {
            const reg s = _mm_add_ps (v, _mm_movehl_ps (v, v));
            return _mm_cvtss_f32 (_mm_add_ss (s, _mm_shuffle_ps (s, s, 1)));
        }
    };
#endif

#if defined(__AVX2__) && defined(__FMA__)
    struct SimdAvx2
    {
        using reg = __m256;
        static constexpr int width = 8;

        static reg load (const float* p) noexcept { return _mm256_load_ps (p); }
        static void store (float* p, reg v) noexcept { _mm256_store_ps (p, v); }
        static reg set1 (float x) noexcept { return _mm256_set1_ps (x); }
        static reg broadcast (const float* p) noexcept { return _mm256_broadcast_ss (p); }
        static reg add (reg a, reg b) noexcept { return _mm256_add_ps (a, b); }
        static reg sub (reg a, reg b) noexcept { return _mm256_sub_ps (a, b); }
        static reg mul (reg a, reg b) noexcept { return _mm256_mul_ps (a, b); }
        static reg mulAdd (reg a, reg b, reg c) noexcept { return _mm256_fmadd_ps (a, b, c); }
        static reg negMulAdd (reg a, reg b, reg c) noexcept { return _mm256_fnmadd_ps (a, b, c); }
        static reg min (reg a, reg b) noexcept { return _mm256_min_ps (a, b); }
        static reg max (reg a, reg b) noexcept { return _mm256_max_ps (a, b); }


        static void split (reg y, reg& f, reg& exponent) noexcept
        {
            const __m256i n = _mm256_cvtps_epi32 (y);
            f = _mm256_sub_ps (y, _mm256_cvtepi32_ps (n));
            exponent = _mm256_castsi256_ps (_mm256_slli_epi32 (_mm256_add_epi32 (n, _mm256_set1_epi32 (127)), 23));
        }
        static reg scaleByPow2 (reg x, reg exponent) noexcept { return _mm256_mul_ps (x, exponent); }
        static reg clampExponent (reg y) noexcept { return _mm256_min_ps (_mm256_max_ps (y, _mm256_set1_ps (-126.0f)), _mm256_set1_ps (126.0f)); }

        static reg reciprocal (reg d) noexcept
        {
            return _mm256_div_ps (_mm256_set1_ps (1.0f), d);
        }

        static float sum (reg v) noexcept
        {
            __m128 s = _mm_add_ps (_mm256_castps256_ps128 (v), _mm256_extractf128_ps (v, 1));
            s = _mm_add_ps (s, _mm_movehl_ps (s, s));
            return _mm_cvtss_f32 (_mm_add_ss (s, _mm_shuffle_ps (s, s, 1)));
        }
    };
#endif

#if defined(__AVX512F__)
    struct SimdAvx512
    {
        using reg = __m512;
        static constexpr int width = 16;

        static reg load (const float* p) noexcept { return _mm512_load_ps (p); }
        static void store (float* p, reg v) noexcept { _mm512_store_ps (p, v); }
        static reg set1 (float x) noexcept { return _mm512_set1_ps (x); }
        static reg broadcast (const float* p) noexcept { return _mm512_set1_ps (*p); }
        static reg add (reg a, reg b) noexcept { return _mm512_add_ps (a, b); }
        static reg sub (reg a, reg b) noexcept { return _mm512_sub_ps (a, b); }
        static reg mul (reg a, reg b) noexcept { return _mm512_mul_ps (a, b); }
        static reg mulAdd (reg a, reg b, reg c) noexcept { return _mm512_fmadd_ps (a, b, c); }
        static reg negMulAdd (reg a, reg b, reg c) noexcept { return _mm512_fnmadd_ps (a, b, c); }
        static reg min (reg a, reg b) noexcept { return _mm512_min_ps (a, b); }
        static reg max (reg a, reg b) noexcept { return _mm512_max_ps (a, b); }


        // Here the exponent stays n itself: scalef applies it.
        static void split (reg y, reg& f, reg& exponent) noexcept
        {
            exponent = _mm512_roundscale_ps (y, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
            f = _mm512_sub_ps (y, exponent);
        }
        static reg scaleByPow2 (reg x, reg exponent) noexcept { return _mm512_scalef_ps (x, exponent); }
        // scalef underflows gracefully to 0; only overflow needs a bound (second operand, so that
        // a NaN saturates too).
        static reg clampExponent (reg y) noexcept { return _mm512_min_ps (y, _mm512_set1_ps (126.0f)); }

        static reg reciprocal (reg d) noexcept
        {
            return _mm512_div_ps (_mm512_set1_ps (1.0f), d);
        }

        static float sum (reg v) noexcept { return _mm512_reduce_add_ps (v); }
    };
#endif
}
