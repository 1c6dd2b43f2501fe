#include "app/ladder_rating.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Matrix = std::vector<std::vector<double>>;

// The inverse of a symmetric positive definite matrix, by Gauss-Jordan with partial pivoting.
Matrix Inverse(Matrix a) {
  const size_t n = a.size();
  Matrix inv(n, std::vector<double>(n, 0));
  for (size_t i = 0; i < n; ++i) inv[i][i] = 1;
  for (size_t c = 0; c < n; ++c) {
    size_t pivot = c;
    for (size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    std::swap(a[c], a[pivot]);
    std::swap(inv[c], inv[pivot]);
    const double d = a[c][c];
    for (size_t j = 0; j < n; ++j) {
      a[c][j] /= d;
      inv[c][j] /= d;
    }
    for (size_t r = 0; r < n; ++r) {
      if (r == c || a[r][c] == 0) continue;
      const double f = a[r][c];
      for (size_t j = 0; j < n; ++j) {
        a[r][j] -= f * a[c][j];
        inv[r][j] -= f * inv[c][j];
      }
    }
  }
  return inv;
}

// The model's outcomes of a pair: A wins, B wins, a draw; each outcome's linear predictor is
// a combination of the parameters A, B and the log of nu (index `draw`).
struct Outcomes {
  std::array<double, 3> Count;
  std::array<double, 3> Probability;
  double LogLikelihood;
};

Outcomes Evaluate(const PairGames& g, const std::vector<double>& beta, size_t draw) {
  const double za = beta[g.A], zb = beta[g.B];
  const double zd = beta[draw] + 0.5 * (za + zb);
  const double top = std::max({za, zb, zd});
  const std::array<double, 3> e = {std::exp(za - top), std::exp(zb - top), std::exp(zd - top)};
  const double sum = e[0] + e[1] + e[2];
  const double prior = kPriorGames / 3;
  Outcomes o{{g.WinsA + prior, g.WinsB + prior, g.Draws + prior}, {}, 0};
  const double n = o.Count[0] + o.Count[1] + o.Count[2];
  for (size_t c = 0; c < 3; ++c) o.Probability[c] = e[c] / sum;
  o.LogLikelihood = o.Count[0] * za + o.Count[1] * zb + o.Count[2] * zd - n * (top + std::log(sum));
  return o;
}

double LogLikelihood(const std::vector<PairGames>& pairs, const std::vector<double>& beta,
                     size_t draw) {
  double total = 0;
  for (const PairGames& g : pairs) total += Evaluate(g, beta, draw).LogLikelihood;
  return total;
}

}  // namespace

Ratings FitRatings(size_t players, const std::vector<PairGames>& pairs) {
  const size_t draw = players;  // the index of log nu among the parameters
  const size_t n = players + 1;
  std::vector<double> beta(n, 0);
  // The strengths' common shift changes nothing: u = (1, ..., 1, 0) / sqrt(players) is added
  // to the information to make it invertible, and taken out again for the errors.
  const double u = 1 / std::sqrt(static_cast<double>(players));
  Matrix inverse;
  for (int iteration = 0; iteration < 200; ++iteration) {
    std::vector<double> gradient(n, 0);
    Matrix information(n, std::vector<double>(n, 0));
    for (const PairGames& g : pairs) {
      const Outcomes o = Evaluate(g, beta, draw);
      const double games = o.Count[0] + o.Count[1] + o.Count[2];
      const std::array<size_t, 3> at = {g.A, g.B, draw};
      // Each outcome's weights on (A, B, log nu).
      const double x[3][3] = {{1, 0, 0}, {0, 1, 0}, {0.5, 0.5, 1}};
      double mean[3] = {0, 0, 0};
      for (size_t c = 0; c < 3; ++c)
        for (size_t j = 0; j < 3; ++j) mean[j] += o.Probability[c] * x[c][j];
      for (size_t c = 0; c < 3; ++c) {
        const double residual = o.Count[c] - games * o.Probability[c];
        for (size_t j = 0; j < 3; ++j) {
          gradient[at[j]] += residual * x[c][j];
          for (size_t k = 0; k < 3; ++k) {
            information[at[j]][at[k]] +=
                games * o.Probability[c] * (x[c][j] - mean[j]) * (x[c][k] - mean[k]);
          }
        }
      }
    }
    for (size_t i = 0; i < players; ++i)
      for (size_t j = 0; j < players; ++j) information[i][j] += u * u;
    inverse = Inverse(information);
    std::vector<double> step(n, 0);
    double largest = 0;
    for (size_t i = 0; i < n; ++i) {
      for (size_t j = 0; j < n; ++j) step[i] += inverse[i][j] * gradient[j];
      largest = std::max(largest, std::fabs(step[i]));
    }
    if (largest < 1e-12) break;
    // Newton's step, halved while it lowers the likelihood (which is concave).
    const double before = LogLikelihood(pairs, beta, draw);
    std::vector<double> next(n);
    for (double t = 1; t > 1e-9; t /= 2) {
      for (size_t i = 0; i < n; ++i) next[i] = beta[i] + t * step[i];
      if (LogLikelihood(pairs, next, draw) >= before) break;
    }
    double mean = 0;
    for (size_t i = 0; i < players; ++i) mean += next[i] / static_cast<double>(players);
    for (size_t i = 0; i < players; ++i) next[i] -= mean;
    beta = next;
  }
  Ratings r;
  r.DrawFactor = std::exp(beta[draw]);
  for (size_t i = 0; i < players; ++i) {
    r.Strength.push_back(beta[i]);
    r.Error.push_back(std::sqrt(std::max(0.0, inverse[i][i] - u * u)));
  }
  return r;
}

double EloPoints(double strength) {
  return strength * 400 / std::log(10.0);
}
