#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

// Runs `work` `runs` times and prints the median, the fastest and the slowest run. With
// `prepare`, that runs untimed before each run.
inline double MeasureMedianMs(const char* what, int runs, const std::function<void()>& work,
                              const std::function<void()>& prepare = {}) {
    std::vector<double> ms;
    ms.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("%-52s median %9.3f ms   min %9.3f   max %9.3f   (%d runs)\n", what, median,
                ms.front(), ms.back(), runs);
    return median;
}
