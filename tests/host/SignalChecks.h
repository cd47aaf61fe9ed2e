#pragma once

#include <cmath>
#include <cstddef>

// How a host's output relates to a test sine: level of the fundamental against the input, and
// what is left after taking the fundamental and DC out (harmonics, noise, garbage).
struct SineFit
{
    bool finite = true;
    double peak = 0.0;
    double rms = 0.0;
    double gainDb = -200.0;     // fundamental out / in
    double residualDb = 0.0;    // everything but the fundamental, relative to the fundamental
};

inline SineFit fitSine (const float* x, std::size_t n, double frequency, double sampleRate, double inputAmplitude)
{
    SineFit fit;
    double s[3][3] = {}, t[3] = {}, energy = 0.0;

    for (std::size_t i = 0; i < n; ++i)
    {
        const double v = x[i];

        if (! std::isfinite (v))
        {
            fit.finite = false;
            return fit;
        }

        fit.peak = std::fmax (fit.peak, std::fabs (v));
        energy += v * v;

        const double w = 2.0 * M_PI * frequency * (double) i / sampleRate;
        const double basis[3] = { std::sin (w), std::cos (w), 1.0 };

        for (int r = 0; r < 3; ++r)
        {
            t[r] += basis[r] * v;

            for (int c = 0; c < 3; ++c)
                s[r][c] += basis[r] * basis[c];
        }
    }

    fit.rms = std::sqrt (energy / (double) n);

    // Normal equations, solved by Cramer's rule (3 x 3 is all there is).
    auto det = [] (const double m[3][3])
    {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
             - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
             + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    };

    const double d = det (s);
    double coefficients[3] {};

    for (int k = 0; k < 3; ++k)
    {
        double m[3][3];

        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                m[r][c] = (c == k ? t[r] : s[r][c]);

        coefficients[k] = det (m) / d;
    }

    const double amplitude = std::hypot (coefficients[0], coefficients[1]);
    double residual = 0.0;

    for (std::size_t i = 0; i < n; ++i)
    {
        const double w = 2.0 * M_PI * frequency * (double) i / sampleRate;
        const double e = x[i] - (coefficients[0] * std::sin (w) + coefficients[1] * std::cos (w) + coefficients[2]);
        residual += e * e;
    }

    const double fundamentalRms = amplitude / std::sqrt (2.0);
    fit.gainDb = 20.0 * std::log10 (std::fmax (amplitude, 1e-10) / inputAmplitude);
    fit.residualDb = 10.0 * std::log10 (std::fmax (residual / (double) n, 1e-30) / std::fmax (fundamentalRms * fundamentalRms, 1e-30));
    return fit;
}
