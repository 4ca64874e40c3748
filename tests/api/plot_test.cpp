// The placement of a sweep picture's end labels: apart, within the plot,
// and each as near its line's end as can be, checked by the conditions of
// the least squares optimum on random ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "api/plot.h"

TEST(PlotLabels, SpreadLabelsIsTheNearestPlacementApart) {
  std::mt19937 random(31);
  constexpr double GAP = 13, LO = 70, HI = 510;
  for (int trial = 0; trial < 2000; ++trial) {
    std::vector<double> targets(1 + random() % 12);
    // Ends bunched around a few heights, as lines of equal players are.
    for (double& t : targets)
      t = LO + static_cast<double>(random() % 6) * 70 + static_cast<double>(random() % 25);
    std::sort(targets.begin(), targets.end());
    const std::vector<double> at = SPREADLABELS(targets, GAP, LO, HI);
    ASSERT_EQ(at.size(), targets.size());
    for (std::size_t i = 0; i < at.size(); ++i) {
      EXPECT_GE(at[i], LO - 1e-9);
      EXPECT_LE(at[i], HI + 1e-9);
      if (i > 0) {
        EXPECT_GE(at[i] - at[i - 1], GAP - 1e-9);
      }
    }
    // Each block of labels packed GAP apart, off the bounds, is centred on
    // its ends (the moves add up to 0) and no upper part of it could move
    // down alone (the moves of every leading part add up to 0 or less).
    for (std::size_t first = 0; first < at.size();) {
      std::size_t last = first;
      while (last + 1 < at.size() && at[last + 1] - at[last] < GAP + 1e-9) ++last;
      if (at[first] > LO + 1e-9 && at[last] < HI - 1e-9) {
        double moved = 0;
        for (std::size_t i = first; i <= last; ++i) {
          moved += at[i] - targets[i];
          if (i < last) {
            EXPECT_LE(moved, 1e-9) << trial;
          }
        }
        EXPECT_NEAR(moved, 0, 1e-9) << trial;
      }
      first = last + 1;
    }
  }
}
