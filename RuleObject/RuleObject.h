// Fuzzy rules: "if condition then consequences". A condition is a tree of
// expressions whose leaves are atoms (variable v is MF m, with a degree) and
// whose inner nodes are lists joined by an operator word; the consequences
// are a flat list of atoms on output variables. Rules are collected in named
// rule lists, and a fuzzy rule set joins a rule list with the MF lists that
// its atoms' variable and MF indices refer to.
//
// The three growable sequences (sub-expressions, consequences, rules) behave
// alike: positions are addressed by exprnum, -1 addresses the end (the last
// entry for remove and replace), a full sequence grows by exactly one entry
// and never shrinks, entries beyond the count are default entries, and an
// exprnum out of range is an internal error. Entries are moved in, never
// shared: what was inserted or replaced leaves the caller's object empty.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mirk {

class TMFSetList;

struct TRuleAtom {
  int Variable = 0;  // an input in a condition, an output in a consequence
  int MFIndex = 0;   // within that variable's MF set
  double Degree = 1.0;
  unsigned char Flag = 0;  // not interpreted

  friend bool operator==(const TRuleAtom&, const TRuleAtom&) = default;
};

class TRuleExprList;

// Empty, an atom or a list of sub-expressions; owns what it holds.
class TRuleExpression {
 public:
  static constexpr int kEmpty = 0;
  static constexpr int kAtom = 1;
  static constexpr int kExprList = 2;

  TRuleExpression() noexcept;
  explicit TRuleExpression(const TRuleAtom& atom);
  explicit TRuleExpression(std::unique_ptr<TRuleExprList> list);  // not null
  TRuleExpression(const TRuleExpression& other);  // deep
  TRuleExpression& operator=(const TRuleExpression& other);
  // The source is left empty.
  TRuleExpression(TRuleExpression&& other) noexcept;
  TRuleExpression& operator=(TRuleExpression&& other) noexcept;
  ~TRuleExpression();

  int GetKind() const noexcept { return Kind; }
  // Null unless the expression is of that kind.
  TRuleAtom* GetAtom() noexcept { return atom.get(); }
  const TRuleAtom* GetAtom() const noexcept { return atom.get(); }
  TRuleExprList* GetExprList() noexcept { return list.get(); }
  const TRuleExprList* GetExprList() const noexcept { return list.get(); }

  // Destroys what the expression holds; it is empty afterwards.
  void Clear() noexcept;

 private:
  int Kind;
  std::unique_ptr<TRuleAtom> atom;
  std::unique_ptr<TRuleExprList> list;
};

class TRuleExprList {
 public:
  TRuleExprList();  // operator "no-op", capacity 0
  TRuleExprList(std::string_view Operator, int capacity);
  TRuleExprList(const TRuleExprList& other);  // deep, same capacity
  TRuleExprList& operator=(const TRuleExprList& other);
  TRuleExprList(TRuleExprList&&) noexcept;
  TRuleExprList& operator=(TRuleExprList&&) noexcept;
  ~TRuleExprList();

  void InsertSubExpression(TRuleExpression&& expression, int exprnum);
  void RemoveSubExpression(int exprnum);
  void ReplaceSubExpression(TRuleExpression&& expression, int exprnum);
  // Any position below the capacity (checked).
  TRuleExpression& GetSubExpression(int index);
  const TRuleExpression& GetSubExpression(int index) const;

  const std::string& GetOperator() const noexcept { return Operator; }
  int GetNumSubExpressions() const noexcept { return numSubExpressions; }
  int GetCapacity() const noexcept { return static_cast<int>(subExpressions.size()); }

 private:
  std::string Operator;
  std::vector<TRuleExpression> subExpressions;  // one per unit of capacity
  int numSubExpressions = 0;
};

class TRuleConsequenceList {
 public:
  explicit TRuleConsequenceList(int capacity = 0);

  void InsertConsequence(int variable, int mfIndex, double degree, unsigned char flag, int exprnum);
  void RemoveConsequence(int exprnum);
  void ReplaceConsequence(int variable, int mfIndex, double degree, unsigned char flag, int exprnum);
  // Any position below the capacity (checked).
  const TRuleAtom& GetConsequence(int index) const;

  int GetNumConsequences() const noexcept { return numConsequences; }
  int GetCapacity() const noexcept { return static_cast<int>(consequences.size()); }

 private:
  std::vector<TRuleAtom> consequences;  // one per unit of capacity
  int numConsequences = 0;
};

// A condition and its consequences, either of which may be null.
class TRule {
 public:
  TRule() noexcept;
  TRule(std::unique_ptr<TRuleExpression> condition, std::unique_ptr<TRuleConsequenceList> consequences) noexcept;
  TRule(TRule&&) noexcept;
  TRule& operator=(TRule&&) noexcept;
  ~TRule();

  TRuleExpression* GetCondition() noexcept { return Condition.get(); }
  const TRuleExpression* GetCondition() const noexcept { return Condition.get(); }
  TRuleConsequenceList* GetConsequences() noexcept { return Consequences.get(); }
  const TRuleConsequenceList* GetConsequences() const noexcept { return Consequences.get(); }

  // Destroys both parts and leaves them null.
  void Clear() noexcept;

 private:
  std::unique_ptr<TRuleExpression> Condition;
  std::unique_ptr<TRuleConsequenceList> Consequences;
};

class TRuleList {
 public:
  TRuleList(std::string_view name, int capacity);
  TRuleList(TRuleList&&) noexcept;
  TRuleList& operator=(TRuleList&&) noexcept;
  ~TRuleList();

  void InsertRule(TRule&& rule, int exprnum);
  void RemoveRule(int exprnum);
  void ReplaceRule(TRule&& rule, int exprnum);
  // Any position below the capacity (checked).
  TRule& GetRule(int index);
  const TRule& GetRule(int index) const;

  const std::string& GetName() const noexcept { return Name; }
  int GetNumRules() const noexcept { return numRules; }
  int GetCapacity() const noexcept { return static_cast<int>(rules.size()); }

 private:
  std::string Name;
  std::vector<TRule> rules;  // one per unit of capacity
  int numRules = 0;
};

// A rule list with the MF lists of its inputs and outputs; each part may be
// null (all are in a new set) and is owned by the set.
class TFuzzyRuleSet {
 public:
  TFuzzyRuleSet() noexcept;
  TFuzzyRuleSet(TFuzzyRuleSet&&) noexcept;
  TFuzzyRuleSet& operator=(TFuzzyRuleSet&&) noexcept;
  ~TFuzzyRuleSet();

  std::unique_ptr<TMFSetList> InputMFs;
  std::unique_ptr<TRuleList> Rules;
  std::unique_ptr<TMFSetList> OutputMFs;
};

}  // namespace mirk
