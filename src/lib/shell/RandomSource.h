#pragma once
// The application's one source of random numbers, as the tools see it.

namespace tb {

// The application's one source of random numbers, handed to whatever needs it so tests can
// seed or script it.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A uniformly distributed integer in [0, n); n > 0.
    virtual int uniform(int n) = 0;
};

} // namespace tb
