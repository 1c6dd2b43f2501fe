// Ratings of players from the results of their games, draws included: Davidson's extension of
// the Bradley-Terry model, fitted by maximum likelihood. Player i beats j with probability
// p_i / D, j beats i with p_j / D and they draw with nu * sqrt(p_i p_j) / D, where
// D = p_i + p_j + nu * sqrt(p_i p_j) and p_i = exp(Strength_i). Stateless.
#pragma once

#include <cstddef>
#include <vector>

// The games of players A and B (indices): A's wins, B's wins and the draws.
struct PairGames {
  size_t A = 0;
  size_t B = 0;
  double WinsA = 0;
  double WinsB = 0;
  double Draws = 0;
};

struct Ratings {
  std::vector<double> Strength;  // log p_i, their mean 0
  std::vector<double> Error;     // standard error of each strength, from the Fisher information
  double DrawFactor = 0;         // nu
};

// The games added to every pair before the fit, shared equally between a win of each and a
// draw: they keep every strength and nu finite when a player wins or loses all its games, or
// no game (or every game) is drawn.
constexpr double kPriorGames = 1.0;

// The maximum-likelihood fit of `players` players from the pairs' games with kPriorGames
// added to each pair given. Errors come from the inverse of the observed information under
// the constraint that the strengths sum to 0. Every player must be connected to every other
// through the pairs.
Ratings FitRatings(size_t players, const std::vector<PairGames>& pairs);

// A strength difference on the Elo scale: 400 points for odds of ten wins to one loss.
double EloPoints(double strength);
