// Every weighted game of a few players: the exhaustive side of the design
// of weights and quotas (api/design.h), which for up to WEIGHTEDGAMESMAX
// players tries every game there is instead of searching.
//
// A weighted game is its set of winning coalitions, a 2^n-bit mask (bit S
// set where coalition S wins, player p the bit p - 1). With the players in
// falling order of weight each game arises once up to renaming the players
// (its players then fall in order of desirability), so the games are those
// of the weight vectors w_1 >= ... >= w_n >= 0 and their quotas, told apart
// by their masks. Every weighted game of up to 6 players has integer
// weights of at most 9 (the largest weight a minimal representation needs
// for 6 players), so weights up to MAXWEIGHT find them all: 3, 5, 10, 27,
// 119 and 1113 games of 1 to 6 players (the constant games, where nothing
// or everything wins, among them), 244158 of 6 players when the players
// are told apart. Each game keeps the representation of least total
// weight, then least quota. Cost: C(MAXWEIGHT + n, n) weight vectors
// (8008 for 6 players) times their quotas, 2^n coalitions each.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace weightedgames {

constexpr int WEIGHTEDGAMESMAX = 6;
constexpr int64_t MAXWEIGHT = 9;

struct GAMETYP {
  uint64_t WINS = 0;
  std::array<int64_t, WEIGHTEDGAMESMAX> WEIGHT{};  // falling
  int64_t QUOTA = 0;
};

// Every weighted game of N players (1..WEIGHTEDGAMESMAX), the constant ones
// included (quota 0: everything wins; above the total: nothing does).
std::vector<GAMETYP> ALL(int N);

// The index of the game WINS of N players into V[0..N-1]: the Banzhaf
// index normalised (SHAPLEY false) or the Shapley-Shubik index; zeros where
// nobody swings.
void INDEXOF(uint64_t WINS, int N, bool SHAPLEY, double* V);

}  // namespace weightedgames
