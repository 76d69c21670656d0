#include "demo/DemoNoise.h"

#include <algorithm>
#include <cmath>

namespace tb::demo {
namespace {

float smooth(float t) {
    return t * t * (3.0f - 2.0f * t);
}

int wrap(std::int64_t i, int period) {
    if (period <= 0)
        return int(i);
    const std::int64_t m = i % period;
    return int(m < 0 ? m + period : m);
}

} // namespace

float valueNoise(std::uint64_t seed, float x, float y, int periodX, int periodY) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const auto ix = std::int64_t(fx);
    const auto iy = std::int64_t(fy);
    const float tx = smooth(x - fx);
    const float ty = smooth(y - fy);
    const int x0 = wrap(ix, periodX), x1 = wrap(ix + 1, periodX);
    const int y0 = wrap(iy, periodY), y1 = wrap(iy + 1, periodY);
    const float v00 = unitFloat(hash2(seed, x0, y0));
    const float v10 = unitFloat(hash2(seed, x1, y0));
    const float v01 = unitFloat(hash2(seed, x0, y1));
    const float v11 = unitFloat(hash2(seed, x1, y1));
    const float top = v00 + (v10 - v00) * tx;
    const float bottom = v01 + (v11 - v01) * tx;
    return top + (bottom - top) * ty;
}

float fractalNoise(std::uint64_t seed, float x, float y, int octaves, int periodX, int periodY) {
    float sum = 0.0f;
    float weight = 1.0f;
    float total = 0.0f;
    float frequency = 1.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * valueNoise(mix64(seed + std::uint64_t(o)), x * frequency, y * frequency,
                                   periodX, periodY);
        total += weight;
        weight *= 0.5f;
        frequency *= 2.0f;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / total;
}

CoarseField::CoarseField(int widthCells, int heightCells, int step)
    : m_step(step), m_columns(widthCells / step + 2), m_rows(heightCells / step + 2),
      m_values(std::size_t(m_columns) * std::size_t(m_rows), 0.0f) {}

float CoarseField::sample(int x, int y) const {
    const int cx = x / m_step;
    const int cy = y / m_step;
    const float tx = float(x - cx * m_step) / float(m_step);
    const float ty = float(y - cy * m_step) / float(m_step);
    const float* row0 = m_values.data() + std::size_t(cy) * m_columns + cx;
    const float* row1 = row0 + m_columns;
    const float top = row0[0] + (row0[1] - row0[0]) * tx;
    const float bottom = row1[0] + (row1[1] - row1[0]) * tx;
    return top + (bottom - top) * ty;
}

float quantile(const CoarseField& field, double fraction) {
    std::vector<float> copy = field.values();
    if (copy.empty())
        return 0.0f;
    const auto index = std::size_t(std::clamp(fraction, 0.0, 1.0) * double(copy.size() - 1));
    std::nth_element(copy.begin(), copy.begin() + std::ptrdiff_t(index), copy.end());
    return copy[index];
}

} // namespace tb::demo
