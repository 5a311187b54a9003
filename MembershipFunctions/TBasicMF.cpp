#include "MembershipFunctions/TBasicMF.h"

#include <cmath>
#include <typeinfo>

#include "MembershipFunctions/Internal.h"

namespace mirk {

namespace {

bool Same(double a, double b) noexcept { return a == b || (std::isnan(a) && std::isnan(b)); }

template <typename Shape>
const Shape* As(const TBasicMF& mf) noexcept {
  return dynamic_cast<const Shape*>(&mf);
}

}  // namespace

TBasicMF::TBasicMF(const char* type, const char* name)
    : Type(type), Name(detail::OptionalName(name)) {}

TBasicMF::~TBasicMF() = default;

bool operator==(const TBasicMF& a, const TBasicMF& b) {
  if (typeid(a) != typeid(b) || a.Type != b.Type || a.Name != b.Name) return false;
  if (const auto* s = As<TSingletonMF>(a)) return Same(s->Centre, As<TSingletonMF>(b)->Centre);
  if (const auto* l = As<TLShoulderTriangularMF>(a)) {
    const auto* m = As<TLShoulderTriangularMF>(b);
    return Same(l->Centre, m->Centre) && Same(l->RightBound, m->RightBound);
  }
  if (const auto* r = As<TRShoulderTriangularMF>(a)) {
    const auto* m = As<TRShoulderTriangularMF>(b);
    return Same(r->LeftBound, m->LeftBound) && Same(r->Centre, m->Centre);
  }
  if (const auto* t = As<TTriangularMF>(a)) {
    const auto* m = As<TTriangularMF>(b);
    return Same(t->LeftBound, m->LeftBound) && Same(t->Centre, m->Centre) &&
           Same(t->RightBound, m->RightBound);
  }
  if (const auto* r = As<TRectangularMF>(a)) {
    const auto* m = As<TRectangularMF>(b);
    return Same(r->LeftBound, m->LeftBound) && Same(r->RightBound, m->RightBound);
  }
  // A shape from outside the library: its parameters are unknown here.
  return false;
}

TSingletonMF::TSingletonMF(const char* name, double centre)
    : TCentredMF("Singleton", name, centre) {}

double TSingletonMF::GetMembership(double x) const { return x == Centre ? 1.0 : 0.0; }

TLShoulderTriangularMF::TLShoulderTriangularMF(const char* name, double centre, double rightBound)
    : TCentredMF("LeftShoulderedTriangular", name, centre), RightBound(rightBound) {}

double TLShoulderTriangularMF::GetMembership(double x) const {
  if (x > RightBound) return 0.0;
  if (x <= Centre) return 1.0;
  return 1.0 - (x - Centre) / (RightBound - Centre);
}

TRShoulderTriangularMF::TRShoulderTriangularMF(const char* name, double leftBound, double centre)
    : TCentredMF("RightShoulderedTriangular", name, centre), LeftBound(leftBound) {}

double TRShoulderTriangularMF::GetMembership(double x) const {
  if (x < LeftBound) return 0.0;
  if (x >= Centre) return 1.0;
  return 1.0 - (Centre - x) / (Centre - LeftBound);
}

TTriangularMF::TTriangularMF(const char* name, double leftBound, double centre, double rightBound)
    : TBoundedMF("Triangular", name, leftBound, rightBound), Centre(centre) {}

double TTriangularMF::GetMembership(double x) const {
  // The bounds first, then the exact centre, so that a centre on a bound
  // gives 1.0 there without dividing.
  if (x < LeftBound || x > RightBound) return 0.0;
  if (x == Centre) return 1.0;
  if (x > Centre) return 1.0 - (x - Centre) / (RightBound - Centre);
  return 1.0 - (Centre - x) / (Centre - LeftBound);
}

TRectangularMF::TRectangularMF(const char* name, double leftBound, double rightBound)
    : TBoundedMF("Rectangular", name, leftBound, rightBound) {}

double TRectangularMF::GetMembership(double x) const {
  return x < LeftBound || x > RightBound ? 0.0 : 1.0;
}

}  // namespace mirk
