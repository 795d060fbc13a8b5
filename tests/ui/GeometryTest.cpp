// Rectangle arithmetic behind the form's repaint bookkeeping.
#include <gtest/gtest.h>

#include "ui/Geometry.h"

namespace promo {
namespace {

TEST(Geometry, IntersectionAndUnionOfRectangles) {
    const TRect a{0, 0, 10, 10};
    EXPECT_EQ(a.Intersection({5, 5, 20, 20}), (TRect{5, 5, 10, 10}));
    EXPECT_EQ(a.Union({5, 5, 20, 20}), (TRect{0, 0, 20, 20}));
    // Touching edges do not overlap (right and bottom are exclusive).
    EXPECT_FALSE(a.Intersects({10, 0, 20, 10}));
    EXPECT_TRUE(a.Intersection({10, 0, 20, 10}).Empty());
    // An empty rectangle neither overlaps nor widens anything, wherever it lies.
    const TRect none{50, 50, 50, 60};
    EXPECT_TRUE(none.Empty());
    EXPECT_FALSE(a.Intersects(none));
    EXPECT_EQ(a.Union(none), a);
    EXPECT_EQ(TRect{}.Union(a), a);
    EXPECT_EQ(TRect{}.Union(TRect{}), TRect{});
    // A rectangle inside another.
    EXPECT_EQ(a.Intersection({2, 3, 4, 5}), (TRect{2, 3, 4, 5}));
    EXPECT_EQ(a.Union({2, 3, 4, 5}), a);
    EXPECT_TRUE(a.Contains(TRect{2, 3, 4, 5}));
    EXPECT_TRUE(a.Contains(a));
    EXPECT_FALSE(a.Contains(TRect{5, 5, 11, 6}));
    EXPECT_TRUE(a.Contains(none));  // nothing to cover
}

}  // namespace
}  // namespace promo
