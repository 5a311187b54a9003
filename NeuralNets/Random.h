// The process-wide pseudo-random sequence that randomises weights: a linear
// congruential generator with a 32-bit state that starts at 1 and is never
// reseeded, so a given program run draws a given network.
#pragma once

namespace mirk {

// Advances the state (s = s * 22695477 + 1, modulo 2^32) and returns
// (s >> 16) & 0x7FFF, a value from 0 to 32767.
int NextRandom() noexcept;

// One draw: min + (r mod 32767) * (1/32767) * (max - min), computed in
// extended precision and rounded to double once. Never reaches max unless
// min equals max.
double RandomWeight(double min, double max) noexcept;

namespace detail {
// For tests only: puts the state back to 1. The library never calls it.
void ResetRandomForTesting() noexcept;
}  // namespace detail

}  // namespace mirk
