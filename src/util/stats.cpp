#include "util/stats.h"

#include <algorithm>
#include <cmath>

Interval WilsonInterval(uint64_t k, uint64_t n, double z) {
  if (n == 0) return {0, 1};
  k = std::min(k, n);
  const double nn = static_cast<double>(n);
  const double p = static_cast<double>(k) / nn;
  const double z2 = z * z;
  const double denominator = 1 + z2 / nn;
  const double centre = (p + z2 / (2 * nn)) / denominator;
  const double half = z / denominator * std::sqrt(p * (1 - p) / nn + z2 / (4 * nn * nn));
  return {std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

double Quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  q = std::clamp(q, 0.0, 1.0);
  const double h = q * static_cast<double>(values.size() - 1);
  const auto lower = static_cast<size_t>(std::floor(h));
  const size_t upper = std::min(lower + 1, values.size() - 1);
  return values[lower] + (h - static_cast<double>(lower)) * (values[upper] - values[lower]);
}
