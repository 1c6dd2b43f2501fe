// Small statistics for batch summaries. Stateless.
#pragma once

#include <cstdint>
#include <vector>

// A proportion's confidence interval, as fractions in 0..1.
struct Interval {
  double Low = 0;
  double High = 1;
};

// Wilson score interval for k successes in n trials at the normal quantile z (1.96: 95 %).
// n = 0 gives the whole range 0..1.
Interval WilsonInterval(uint64_t k, uint64_t n, double z = 1.96);

// The q-quantile (0 <= q <= 1) of the values, interpolated linearly between the two nearest
// ranks (the sample's minimum at 0, its maximum at 1). The values need not be sorted; an empty
// list gives 0.
double Quantile(std::vector<double> values, double q);
