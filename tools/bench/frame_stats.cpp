#include "frame_stats.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

namespace bench {

namespace {

// Nearest rank: the smallest value with at least q of the series at or below it.
double quantile(const std::vector<double>& sorted, double q)
{
    const auto rank = static_cast<std::size_t>(std::ceil(q * static_cast<double>(sorted.size())));
    return sorted[std::min(sorted.size() - 1, rank == 0 ? 0 : rank - 1)];
}

} // namespace

Summary summarize(std::vector<double> values)
{
    Summary summary;
    if (values.empty())
        return summary;
    std::sort(values.begin(), values.end());
    summary.count = static_cast<int>(values.size());
    summary.median = quantile(values, 0.5);
    summary.p99 = quantile(values, 0.99);
    summary.mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    summary.max = values.back();
    const std::size_t slowest = std::max<std::size_t>(1, values.size() / 100);
    const double slowMean =
        std::accumulate(values.end() - static_cast<std::ptrdiff_t>(slowest), values.end(), 0.0) /
        static_cast<double>(slowest);
    summary.onePercentLowFps = slowMean > 0.0 ? 1000.0 / slowMean : 0.0;
    return summary;
}

} // namespace bench
