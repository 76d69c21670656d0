#pragma once
// Deterministic hashing and value noise for the demo generator. Everything here is integer
// hashing and float arithmetic in a fixed order, so a seed gives the same world on every
// platform and standard library (no std:: distributions, whose output is unspecified).

#include <cstdint>
#include <vector>

namespace tb::demo {

// SplitMix64's finaliser: a cheap, well-mixed 64-bit hash.
constexpr std::uint64_t mix64(std::uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

constexpr std::uint64_t hash2(std::uint64_t seed, std::int64_t x, std::int64_t y) {
    return mix64(
        seed ^ mix64(std::uint64_t(x) * 0x632BE59BD9B4E019ull ^ std::uint64_t(y) * 0x85157AF5ull));
}

// A value in [0, 1) from a hash.
constexpr float unitFloat(std::uint64_t h) {
    return float(h >> 40) * (1.0f / 16777216.0f);
}

// Value noise at lattice coordinates (x, y): random values on the integer lattice, blended
// with a smoothstep. A period > 0 wraps the lattice in that direction so the noise tiles
// seamlessly (textures); 0 means no wrapping.
float valueNoise(std::uint64_t seed, float x, float y, int periodX = 0, int periodY = 0);

// Fractal sum of `octaves` value-noise layers at lattice coordinates (x, y), each layer of
// twice the frequency and half the weight of the one before; normalised to [0, 1). The
// periods are those of the first layer.
float fractalNoise(std::uint64_t seed, float x, float y, int octaves, int periodX = 0,
                   int periodY = 0);

// A field sampled every `step` cells and read back with bilinear interpolation: the cheap
// way to give 25 million cells smooth noise.
class CoarseField {
public:
    CoarseField(int widthCells, int heightCells, int step);
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    int step() const { return m_step; }
    float& at(int column, int row) { return m_values[std::size_t(row) * m_columns + column]; }
    float at(int column, int row) const { return m_values[std::size_t(row) * m_columns + column]; }
    const std::vector<float>& values() const { return m_values; }
    // The interpolated value at cell (x, y), 0 <= x < widthCells, 0 <= y < heightCells.
    float sample(int x, int y) const;

private:
    int m_step;
    int m_columns;
    int m_rows;
    std::vector<float> m_values;
};

// The value below which `fraction` of the field's samples lie.
float quantile(const CoarseField& field, double fraction);

} // namespace tb::demo
