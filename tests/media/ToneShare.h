// How much of a recorded sound is one tone: the tests that hear sound on the session's devices.
#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>

// The power at dHz as a share of the whole, summed over windows of 25 ms (Goertzel): the tones
// the tests play fit whole periods in a window, and a window's phase does not depend on the
// last, as a receiver's concealment and buffer changes shift a signal by a few samples.
inline double ToneShare(const int16_t* p, size_t n, double dHz, size_t nRate = 16000)
{
    const size_t nWindow = nRate / 40;
    double w = 2 * std::cos(2 * std::numbers::pi * dHz / double(nRate)), tone = 0, total = 0;
    for (size_t k0 = 0; k0 + nWindow <= n; k0 += nWindow)
    {
        double s1 = 0, s2 = 0;
        for (size_t k = k0; k < k0 + nWindow; ++k)
        {
            double s0 = p[k] + w * s1 - s2;
            s2 = s1, s1 = s0;
            total += double(p[k]) * p[k];
        }
        tone += 2 * (s1 * s1 + s2 * s2 - w * s1 * s2) / double(nWindow);
    }
    return total > 0 ? tone / total : 0;
}
