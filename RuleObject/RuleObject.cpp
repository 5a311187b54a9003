#include "RuleObject/RuleObject.h"

#include <algorithm>
#include <utility>

#include "Common/Check.h"
#include "MembershipFunctions/TMFSetList.h"

// A check whose printed text names the sequence's own count, as in
// "exprnum<numRules", whichever sequence runs the shared code below.
#define MIRK_CHECK_AS(expr, text) ((expr) ? static_cast<void>(0) : ::mirk::detail::CheckFailed(text, __FILE__, __LINE__))

namespace mirk {

namespace {

// The upper-bound texts of one sequence.
struct Bounds {
  const char* insert;  // exprnum may equal the count
  const char* other;   // exprnum must name an entry in use
};

constexpr Bounds kSubExpressionBounds{"exprnum<=numSubExpressions", "exprnum<numSubExpressions"};
constexpr Bounds kConsequenceBounds{"exprnum<=numConsequences", "exprnum<numConsequences"};
constexpr Bounds kRuleBounds{"exprnum<=numRules", "exprnum<numRules"};

// entries.size() is the capacity; entries at count and above are defaults.
// The new entry comes by value, so it is safe to pass one of the sequence's
// own entries: it is taken out before the sequence grows.
template <typename Entry>
void InsertEntry(std::vector<Entry>& entries, int& count, Entry entry, int exprnum, const Bounds& bounds) {
  if (exprnum == -1) exprnum = count;
  MIRK_CHECK_AS(exprnum >= 0, "exprnum>=0");
  MIRK_CHECK_AS(exprnum <= count, bounds.insert);
  if (count == static_cast<int>(entries.size())) entries.emplace_back();
  const auto at = entries.begin() + exprnum;
  std::move_backward(at, entries.begin() + count, entries.begin() + count + 1);
  *at = std::move(entry);
  ++count;
}

template <typename Entry>
int CheckedPosition(const std::vector<Entry>&, int count, int exprnum, const Bounds& bounds) {
  if (exprnum == -1) exprnum = count - 1;
  MIRK_CHECK_AS(exprnum >= 0, "exprnum>=0");
  MIRK_CHECK_AS(exprnum < count, bounds.other);
  return exprnum;
}

template <typename Entry>
void RemoveEntry(std::vector<Entry>& entries, int& count, int exprnum, const Bounds& bounds) {
  exprnum = CheckedPosition(entries, count, exprnum, bounds);
  entries[static_cast<size_t>(exprnum)] = Entry{};
  std::move(entries.begin() + exprnum + 1, entries.begin() + count, entries.begin() + exprnum);
  --count;
  entries[static_cast<size_t>(count)] = Entry{};
}

template <typename Entry>
void ReplaceEntry(std::vector<Entry>& entries, int count, Entry entry, int exprnum, const Bounds& bounds) {
  exprnum = CheckedPosition(entries, count, exprnum, bounds);
  entries[static_cast<size_t>(exprnum)] = std::move(entry);
}

template <typename Entry>
Entry& EntryAt(std::vector<Entry>& entries, int index) {
  MIRK_CHECK(index >= 0 && static_cast<size_t>(index) < entries.size());
  return entries[static_cast<size_t>(index)];
}

template <typename Entry>
const Entry& EntryAt(const std::vector<Entry>& entries, int index) {
  MIRK_CHECK(index >= 0 && static_cast<size_t>(index) < entries.size());
  return entries[static_cast<size_t>(index)];
}

template <typename Entry>
std::vector<Entry> DefaultEntries(int capacity) {
  MIRK_CHECK(capacity >= 0);
  return std::vector<Entry>(static_cast<size_t>(capacity));
}

}  // namespace

// ---- TRuleExpression ----

TRuleExpression::TRuleExpression() noexcept : Kind(kEmpty) {}

TRuleExpression::TRuleExpression(const TRuleAtom& atom) : Kind(kAtom), atom(std::make_unique<TRuleAtom>(atom)) {}

TRuleExpression::TRuleExpression(std::unique_ptr<TRuleExprList> list) : Kind(kExprList), list(std::move(list)) {
  MIRK_CHECK(this->list != nullptr);
}

TRuleExpression::TRuleExpression(const TRuleExpression& other)
    : Kind(other.Kind),
      atom(other.atom ? std::make_unique<TRuleAtom>(*other.atom) : nullptr),
      list(other.list ? std::make_unique<TRuleExprList>(*other.list) : nullptr) {}

TRuleExpression& TRuleExpression::operator=(const TRuleExpression& other) {
  if (this != &other) *this = TRuleExpression(other);
  return *this;
}

TRuleExpression::TRuleExpression(TRuleExpression&& other) noexcept
    : Kind(std::exchange(other.Kind, kEmpty)), atom(std::move(other.atom)), list(std::move(other.list)) {}

TRuleExpression& TRuleExpression::operator=(TRuleExpression&& other) noexcept {
  if (this != &other) {
    Kind = std::exchange(other.Kind, kEmpty);
    atom = std::move(other.atom);
    list = std::move(other.list);
  }
  return *this;
}

TRuleExpression::~TRuleExpression() = default;

void TRuleExpression::Clear() noexcept {
  Kind = kEmpty;
  atom.reset();
  list.reset();
}

// ---- TRuleExprList ----

TRuleExprList::TRuleExprList() : Operator("no-op") {}

TRuleExprList::TRuleExprList(std::string_view Operator, int capacity)
    : Operator(Operator), subExpressions(DefaultEntries<TRuleExpression>(capacity)) {}

TRuleExprList::TRuleExprList(const TRuleExprList& other) = default;

TRuleExprList& TRuleExprList::operator=(const TRuleExprList& other) {
  if (this != &other) *this = TRuleExprList(other);
  return *this;
}

TRuleExprList::TRuleExprList(TRuleExprList&& other) noexcept
    : Operator(std::move(other.Operator)),
      subExpressions(std::move(other.subExpressions)),
      numSubExpressions(std::exchange(other.numSubExpressions, 0)) {}

TRuleExprList& TRuleExprList::operator=(TRuleExprList&& other) noexcept {
  if (this != &other) {
    Operator = std::move(other.Operator);
    subExpressions = std::move(other.subExpressions);
    numSubExpressions = std::exchange(other.numSubExpressions, 0);
  }
  return *this;
}

TRuleExprList::~TRuleExprList() = default;

void TRuleExprList::InsertSubExpression(TRuleExpression&& expression, int exprnum) {
  InsertEntry(subExpressions, numSubExpressions, std::move(expression), exprnum, kSubExpressionBounds);
}

void TRuleExprList::RemoveSubExpression(int exprnum) {
  RemoveEntry(subExpressions, numSubExpressions, exprnum, kSubExpressionBounds);
}

void TRuleExprList::ReplaceSubExpression(TRuleExpression&& expression, int exprnum) {
  ReplaceEntry(subExpressions, numSubExpressions, std::move(expression), exprnum, kSubExpressionBounds);
}

TRuleExpression& TRuleExprList::GetSubExpression(int index) { return EntryAt(subExpressions, index); }

const TRuleExpression& TRuleExprList::GetSubExpression(int index) const { return EntryAt(subExpressions, index); }

// ---- TRuleConsequenceList ----

TRuleConsequenceList::TRuleConsequenceList(int capacity) : consequences(DefaultEntries<TRuleAtom>(capacity)) {}

void TRuleConsequenceList::InsertConsequence(int variable, int mfIndex, double degree, unsigned char flag,
                                             int exprnum) {
  InsertEntry(consequences, numConsequences, TRuleAtom{variable, mfIndex, degree, flag}, exprnum,
              kConsequenceBounds);
}

void TRuleConsequenceList::RemoveConsequence(int exprnum) {
  RemoveEntry(consequences, numConsequences, exprnum, kConsequenceBounds);
}

void TRuleConsequenceList::ReplaceConsequence(int variable, int mfIndex, double degree, unsigned char flag,
                                              int exprnum) {
  ReplaceEntry(consequences, numConsequences, TRuleAtom{variable, mfIndex, degree, flag}, exprnum,
               kConsequenceBounds);
}

const TRuleAtom& TRuleConsequenceList::GetConsequence(int index) const { return EntryAt(consequences, index); }

// ---- TRule ----

TRule::TRule() noexcept = default;

TRule::TRule(std::unique_ptr<TRuleExpression> condition, std::unique_ptr<TRuleConsequenceList> consequences) noexcept
    : Condition(std::move(condition)), Consequences(std::move(consequences)) {}

TRule::TRule(TRule&&) noexcept = default;
TRule& TRule::operator=(TRule&&) noexcept = default;
TRule::~TRule() = default;

void TRule::Clear() noexcept {
  Condition.reset();
  Consequences.reset();
}

// ---- TRuleList ----

TRuleList::TRuleList(std::string_view name, int capacity) : Name(name), rules(DefaultEntries<TRule>(capacity)) {}

TRuleList::TRuleList(TRuleList&& other) noexcept
    : Name(std::move(other.Name)), rules(std::move(other.rules)), numRules(std::exchange(other.numRules, 0)) {}

TRuleList& TRuleList::operator=(TRuleList&& other) noexcept {
  if (this != &other) {
    Name = std::move(other.Name);
    rules = std::move(other.rules);
    numRules = std::exchange(other.numRules, 0);
  }
  return *this;
}

TRuleList::~TRuleList() = default;

void TRuleList::InsertRule(TRule&& rule, int exprnum) {
  InsertEntry(rules, numRules, std::move(rule), exprnum, kRuleBounds);
}

void TRuleList::RemoveRule(int exprnum) { RemoveEntry(rules, numRules, exprnum, kRuleBounds); }

void TRuleList::ReplaceRule(TRule&& rule, int exprnum) {
  ReplaceEntry(rules, numRules, std::move(rule), exprnum, kRuleBounds);
}

TRule& TRuleList::GetRule(int index) { return EntryAt(rules, index); }

const TRule& TRuleList::GetRule(int index) const { return EntryAt(rules, index); }

// ---- TFuzzyRuleSet ----

TFuzzyRuleSet::TFuzzyRuleSet() noexcept = default;
TFuzzyRuleSet::TFuzzyRuleSet(TFuzzyRuleSet&&) noexcept = default;
TFuzzyRuleSet& TFuzzyRuleSet::operator=(TFuzzyRuleSet&&) noexcept = default;
TFuzzyRuleSet::~TFuzzyRuleSet() = default;

}  // namespace mirk
