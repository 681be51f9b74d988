// The displacement of many points, on every core: the points are cut into
// blocks that the threads take in turn, each block through the vector
// kernel (halfspace.h) over every patch.
#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "deform/halfspace.h"

namespace slip::deform {

// Fills ue, un, uu (count each, zeroed by the caller) at the points (km in
// the local frame). `progress`, when given, is called from one thread with
// the share done (0..1) after each block it finishes.
void displacePoints(std::span<const PatchTerms> patches, double poisson, const double* east, const double* north,
                    std::size_t count, double* ue, double* un, double* uu,
                    const std::function<void(double)>& progress = {});

}  // namespace slip::deform
