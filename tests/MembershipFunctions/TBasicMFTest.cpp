#include "MembershipFunctions/TBasicMF.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace mirk {
namespace {

struct Point {
  double x;
  double degree;
};

struct ShapeCase {
  const char* what;
  std::shared_ptr<const TBasicMF> mf;
  std::vector<Point> points;
};

// Degrees are exact by design: every expected value is a short binary fraction.
TEST(TBasicMF, DegreesOfEachShape) {
  const ShapeCase cases[] = {
      {"triangle 0 0.5 1", std::make_shared<TTriangularMF>(nullptr, 0.0, 0.5, 1.0),
       {{0.25, 0.5}, {0.75, 0.5}, {0.5, 1.0}, {0.0, 0.0}, {1.0, 0.0}, {-0.1, 0.0}, {1.1, 0.0},
        {0.125, 0x1p-2}}},
      // The centre test comes before any division.
      {"triangle with centre on its left bound", std::make_shared<TTriangularMF>(nullptr, 0.0, 0.0, 1.0),
       {{0.0, 1.0}, {0.5, 0.5}, {-0x1p-60, 0.0}}},
      {"triangle with centre on its right bound", std::make_shared<TTriangularMF>(nullptr, 0.0, 1.0, 1.0),
       {{1.0, 1.0}, {0.5, 0.5}, {1.0 + 0x1p-52, 0.0}}},
      {"left shoulder 0.25 0.5", std::make_shared<TLShoulderTriangularMF>(nullptr, 0.25, 0.5),
       {{-5.0, 1.0}, {0.25, 1.0}, {0.375, 0.5}, {0.5, 0.0}, {0.6, 0.0}}},
      {"right shoulder 0.5 0.75", std::make_shared<TRShoulderTriangularMF>(nullptr, 0.5, 0.75),
       {{0.5, 0.0}, {0.625, 0.5}, {0.75, 1.0}, {7.0, 1.0}, {0.4, 0.0}}},
      {"rectangle 1 2", std::make_shared<TRectangularMF>(nullptr, 1.0, 2.0),
       {{1.0, 1.0}, {2.0, 1.0}, {1.5, 1.0}, {0.999, 0.0}, {2.001, 0.0}}},
      {"singleton 3", std::make_shared<TSingletonMF>(nullptr, 3.0),
       {{3.0, 1.0}, {3.0000001, 0.0}, {2.9999999, 0.0}}},
      // Degenerate shapes: all parameters on one point never divide.
      {"point triangle", std::make_shared<TTriangularMF>(),
       {{0.0, 1.0}, {0x1p-1074, 0.0}, {-0x1p-1074, 0.0}}},
      {"point left shoulder", std::make_shared<TLShoulderTriangularMF>(),
       {{0.0, 1.0}, {0x1p-1074, 0.0}, {-1.0, 1.0}}},
      {"point right shoulder", std::make_shared<TRShoulderTriangularMF>(),
       {{0.0, 1.0}, {-0x1p-1074, 0.0}, {1.0, 1.0}}},
  };
  for (const ShapeCase& c : cases) {
    for (const Point& p : c.points) {
      EXPECT_EQ(c.mf->GetMembership(p.x), p.degree) << c.what << " at x = " << p.x;
    }
  }
}

TEST(TBasicMF, DegreesStayWithinZeroAndOneForUnorderedParameters) {
  const std::vector<std::shared_ptr<const TBasicMF>> shapes = {
      std::make_shared<TTriangularMF>(nullptr, 1.0, 0.0, 2.0),   // centre left of both bounds
      std::make_shared<TTriangularMF>(nullptr, 0.0, 3.0, 1.0),   // centre right of both bounds
      std::make_shared<TTriangularMF>(nullptr, 2.0, 1.0, 0.0),   // bounds swapped
      std::make_shared<TLShoulderTriangularMF>(nullptr, 1.0, 0.0),
      std::make_shared<TRShoulderTriangularMF>(nullptr, 1.0, 0.0),
      std::make_shared<TRectangularMF>(nullptr, 2.0, 1.0),
  };
  for (const auto& mf : shapes) {
    for (double x = -1.0; x <= 4.0; x += 0.0625) {
      const double degree = mf->GetMembership(x);
      EXPECT_TRUE(degree >= 0.0 && degree <= 1.0) << mf->GetType() << " at " << x << ": " << degree;
    }
  }
}

TEST(TBasicMF, TypeNamesParametersAndMissingOnes) {
  const TTriangularMF triangle("Warm", 1.0, 2.0, 3.0);
  EXPECT_STREQ(triangle.GetType(), "Triangular");
  EXPECT_STREQ(triangle.GetName(), "Warm");
  // Constructed (left, centre, right); stored as the bounds, then the centre.
  EXPECT_EQ(triangle.LeftBound, 1.0);
  EXPECT_EQ(triangle.Centre, 2.0);
  EXPECT_EQ(triangle.RightBound, 3.0);

  const TLShoulderTriangularMF left("Cold", 4.0);
  EXPECT_STREQ(left.GetType(), "LeftShoulderedTriangular");
  EXPECT_EQ(left.Centre, 4.0);
  EXPECT_EQ(left.RightBound, 0.0);
  const TRShoulderTriangularMF right(nullptr, 5.0);
  EXPECT_STREQ(right.GetType(), "RightShoulderedTriangular");
  EXPECT_EQ(right.LeftBound, 5.0);
  EXPECT_EQ(right.Centre, 0.0);
  EXPECT_STREQ(TRectangularMF().GetType(), "Rectangular");
  EXPECT_STREQ(TSingletonMF().GetType(), "Singleton");
  EXPECT_EQ(TSingletonMF().Centre, 0.0);

  // No name, and an empty one, are the same: none.
  EXPECT_EQ(right.GetName(), nullptr);
  EXPECT_EQ(TSingletonMF("").GetName(), nullptr);
}

TEST(TBasicMF, KeepsItsOwnCopyOfTheName) {
  std::string name = "Hot";
  const TSingletonMF mf(name.c_str(), 1.0);
  name = "Cold";
  EXPECT_STREQ(mf.GetName(), "Hot");
}

TEST(TBasicMF, EqualityComparesClassNameAndParameters) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(TTriangularMF("a", 0, 1, 2), TTriangularMF("a", 0, 1, 2));
  EXPECT_EQ(TSingletonMF("a", nan), TSingletonMF("a", nan));
  EXPECT_FALSE(TTriangularMF("a", 0, 1, 2) == TTriangularMF("b", 0, 1, 2));
  EXPECT_FALSE(TTriangularMF("a", 0, 1, 2) == TTriangularMF(nullptr, 0, 1, 2));
  EXPECT_FALSE(TTriangularMF("a", 0, 1, 2) == TTriangularMF("a", 0, 1, 3));
  EXPECT_FALSE(TTriangularMF("a", 0, 1, 2) == TTriangularMF("a", 0, 1.5, 2));
  EXPECT_FALSE(TRectangularMF("a", 0, 2) == TRectangularMF("a", 1, 2));
  // Same parameter values, other shape.
  EXPECT_FALSE(TLShoulderTriangularMF("a", 0, 1) == TRShoulderTriangularMF("a", 0, 1));
}

}  // namespace
}  // namespace mirk
