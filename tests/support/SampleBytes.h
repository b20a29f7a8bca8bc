#pragma once
// Bytes that do not compress, the same for the same seed, for the zip tests
// and benchmarks alike (free of the test framework).
#include <string>

namespace testsupport {

inline std::string PseudoRandomBytes(size_t nSize, unsigned nSeed)
{
    std::string data(nSize, '\0');
    unsigned x = nSeed * 2654435761u + 7;
    for (size_t i = 0; i < nSize; ++i)
    {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        data[i] = (char)(x >> 24);
    }
    return data;
}

} // namespace testsupport
