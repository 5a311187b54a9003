// Membership functions: the degree (0.0 to 1.0) to which a crisp value of a
// variable belongs to a fuzzy term. Five shapes under one small class tree.
#pragma once

#include <optional>
#include <string>

namespace mirk {

// An MF's Type is the type name of its shape, fixed by its class:
// "Singleton", "Triangular", "Rectangular", "LeftShoulderedTriangular",
// "RightShoulderedTriangular". Code that needs the shape compares Type
// (case-insensitive) with these names.
//
// Parameters are public and unchecked: no ordering of bounds and centre is
// required. Degrees never divide by zero: a division happens only when x
// lies strictly between two distinct parameters.
class TBasicMF {
 public:
  virtual ~TBasicMF();
  virtual double GetMembership(double x) const = 0;

  const char* GetType() const noexcept { return Type.c_str(); }
  // nullptr when the MF has no name.
  const char* GetName() const noexcept { return Name ? Name->c_str() : nullptr; }

  // Same class, same name and the same parameters (NaN equal to NaN).
  friend bool operator==(const TBasicMF& a, const TBasicMF& b);

 protected:
  // A null or empty name means no name; the name is copied.
  TBasicMF(const char* type, const char* name);
  TBasicMF(const TBasicMF&) = default;
  TBasicMF& operator=(const TBasicMF&) = default;

 private:
  std::string Type;
  std::optional<std::string> Name;
};

class TCentredMF : public TBasicMF {
 public:
  double Centre;

 protected:
  TCentredMF(const char* type, const char* name, double centre)
      : TBasicMF(type, name), Centre(centre) {}
};

class TBoundedMF : public TBasicMF {
 public:
  double LeftBound;
  double RightBound;

 protected:
  TBoundedMF(const char* type, const char* name, double leftBound, double rightBound)
      : TBasicMF(type, name), LeftBound(leftBound), RightBound(rightBound) {}
};

// 1.0 at exactly Centre, else 0.0.
class TSingletonMF : public TCentredMF {
 public:
  explicit TSingletonMF(const char* name = nullptr, double centre = 0.0);
  double GetMembership(double x) const override;
};

// Full membership up to Centre, falling to 0.0 at RightBound.
class TLShoulderTriangularMF : public TCentredMF {
 public:
  explicit TLShoulderTriangularMF(const char* name = nullptr, double centre = 0.0,
                                  double rightBound = 0.0);
  double GetMembership(double x) const override;

  double RightBound;
};

// Rising from 0.0 at LeftBound to full membership from Centre on.
class TRShoulderTriangularMF : public TCentredMF {
 public:
  explicit TRShoulderTriangularMF(const char* name = nullptr, double leftBound = 0.0,
                                  double centre = 0.0);
  double GetMembership(double x) const override;

  double LeftBound;
};

// 0.0 outside [LeftBound, RightBound], 1.0 at exactly Centre, linear between.
// Note the constructor's order (left, centre, right).
class TTriangularMF : public TBoundedMF {
 public:
  explicit TTriangularMF(const char* name = nullptr, double leftBound = 0.0, double centre = 0.0,
                         double rightBound = 0.0);
  double GetMembership(double x) const override;

  double Centre;
};

// 1.0 on [LeftBound, RightBound], both bounds included; 0.0 elsewhere.
class TRectangularMF : public TBoundedMF {
 public:
  explicit TRectangularMF(const char* name = nullptr, double leftBound = 0.0,
                          double rightBound = 0.0);
  double GetMembership(double x) const override;
};

}  // namespace mirk
