#pragma once
// Realistic estimates for benchmarks and sample data.

#include <string>

namespace vendaro::bench {

/// Appends `count` estimates to Estimate.DB in the directory (created when missing), in one
/// transaction. The same seed gives the same estimates. Creation dates spread over the years
/// 2015 to 2026.
void generateEstimates(const std::string& cardataDirectory, int count, unsigned seed = 1);

}  // namespace vendaro::bench
