#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

/*  The times of two renders of the same block, one after the other, collected
    block by block. Medians over the blocks, so that a block that another
    process interrupted does not count.
*/
class BlockTimes
{
public:
    using Duration = std::chrono::steady_clock::duration;

    explicit BlockTimes (int samplesPerBlock = 512) : blockSize (samplesPerBlock)
    {
        for (auto& list : seconds)
            list.reserve (1 << 16);
    }

    void add (Duration first, Duration second)
    {
        seconds[0].push_back (std::chrono::duration<double> (first).count());
        seconds[1].push_back (std::chrono::duration<double> (second).count());
    }

    /** Of the first render (0) or the second (1). */
    double medianNanosecondsPerSample (int which) const
    {
        return median (seconds[which]) * 1.0e9 / blockSize;
    }

    /** The first render's time over the second's. */
    double medianRatio() const
    {
        std::vector<double> ratios (seconds[0].size());

        for (size_t i = 0; i < ratios.size(); ++i)
            ratios[i] = seconds[0][i] / seconds[1][i];

        return median (ratios);
    }

private:
    static double median (std::vector<double> values)
    {
        if (values.empty())
            return 0.0;

        const auto middle = values.begin() + static_cast<std::ptrdiff_t> (values.size() / 2);
        std::nth_element (values.begin(), middle, values.end());
        return *middle;
    }

    int blockSize;
    std::vector<double> seconds[2];
};
