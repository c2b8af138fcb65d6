#pragma once
// The monkey's one source of chance, and its trace: every choice comes from
// one seeded generator, so a seed replays a run (as far as timing allows),
// and the last steps are printed when the run dies.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

class TDice {
public:
  explicit TDice(std::uint64_t Seed) : FGen(Seed) {}
  // 0 .. N-1; 0 for N <= 0.
  int Below(int N) {
    if (N <= 1) return 0;
    return static_cast<int>(std::uniform_int_distribution<int>(0, N - 1)(FGen));
  }
  int Between(int Low, int High) { return Low + Below(High - Low + 1); }
  bool Chance(double P) { return std::uniform_real_distribution<double>(0, 1)(FGen) < P; }
  template <class T> const T& Pick(const std::vector<T>& From) { return From[static_cast<std::size_t>(Below(static_cast<int>(From.size())))]; }
  // An index chosen by weight.
  int Weighted(const std::vector<int>& Weights) {
    int Total = 0;
    for (int W : Weights) Total += W;
    int R = Below(Total);
    for (std::size_t i = 0; i < Weights.size(); ++i) {
      if (R < Weights[i]) return static_cast<int>(i);
      R -= Weights[i];
    }
    return 0;
  }

private:
  std::mt19937_64 FGen;
};

// Records one step; printed at once with --trace, else kept for the dump.
void Trace(const std::string& Text);
// Prints the kept steps to stderr (also from the sanitizer's death callback).
void DumpTrace();
void SetTraceLive(bool Live);
