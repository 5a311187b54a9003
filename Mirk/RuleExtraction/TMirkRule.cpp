#include "Mirk/RuleExtraction/TMirkRule.h"

#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "Common/Exceptions.h"
#include "Mirk/RuleExtraction/TMirkLabel.h"
#include "Mirk/TMirk.h"

namespace mirk {

namespace {

constexpr const char* kGetWhere = "TMirkRule::GetMirkMF";
constexpr const char* kSetWhere = "TMirkRule::SetMirkMF";
// The output count error names the operation with a single colon.
constexpr const char* kSetOutputCountWhere = "TMirkRule:SetMirkMF";

[[noreturn]] void Refuse(const char* message, const char* where) {
  throw TException(message, "Bad Parameter", where);
}

// The MF counts of one side of the network (inputs or outputs) with the
// first node of each variable.
struct Blocks {
  std::vector<int> counts;
  std::vector<int> starts;

  Blocks(std::vector<int> mfCounts, int nodes, const char* where) : counts(std::move(mfCounts)) {
    long long next = 0;
    for (int count : counts) {
      if (count < 2) Refuse("Membership counts do not fit the network", where);
      starts.push_back(static_cast<int>(next));
      next += count;
    }
    if (next != nodes) Refuse("Membership counts do not fit the network", where);
  }

  int Variables() const noexcept { return static_cast<int>(counts.size()); }
};

struct Structure {
  Blocks inputs;
  Blocks outputs;
  int numConditions;
  int numActions;
};

Structure QueryStructure(const TMirk& network, const char* where) {
  int numInputs = 0, numConditions = 0, numRules = 0, numActions = 0, numOutputs = 0;
  std::vector<int> inputMF, outputMF;
  network.GetStructure(numInputs, numConditions, inputMF, numRules, numActions, outputMF, numOutputs);
  return {Blocks(std::move(inputMF), numConditions, where), Blocks(std::move(outputMF), numActions, where),
          numConditions, numActions};
}

// ---- Network to lists ----------------------------------------------------------

using NameOf = const char* (TMirkLabel::*)(int) const;

// The set of the variable whose nodes start at `first`: shoulders on the
// outer centres, triangles between, each reaching to its neighbours' centres.
std::unique_ptr<TBasicMFSet> MakeSet(const char* name, int count, int first,
                                     std::span<const double> centre, const TMirkLabel& labels,
                                     NameOf nodeName) {
  auto set = std::make_unique<TBasicMFSet>("Triangular", name, count, 0.0, 1.0);
  const int last = count - 1;
  for (int m = 0; m <= last; ++m) {
    const int k = first + m;
    const auto at = [&](int node) { return centre[static_cast<std::size_t>(node)]; };
    const char* term = (labels.*nodeName)(k);
    std::unique_ptr<TBasicMF> mf;
    if (m == 0) {
      mf = std::make_unique<TLShoulderTriangularMF>(term, at(k), at(k + 1));
    } else if (m == last) {
      mf = std::make_unique<TRShoulderTriangularMF>(term, at(k - 1), at(k));
    } else {
      mf = std::make_unique<TTriangularMF>(term, at(k - 1), at(k), at(k + 1));
    }
    set->SetMF(m, std::move(mf));
  }
  return set;
}

std::unique_ptr<TMFSetList> MakeList(const char* listName, const Blocks& blocks,
                                     std::span<const double> centres, const TMirkLabel& labels,
                                     NameOf variableName, NameOf nodeName) {
  auto list = std::make_unique<TMFSetList>(blocks.Variables(), listName);
  for (int v = 0; v < blocks.Variables(); ++v) {
    const auto at = static_cast<std::size_t>(v);
    list->SetMFSet(v, MakeSet((labels.*variableName)(v), blocks.counts[at], blocks.starts[at], centres,
                              labels, nodeName));
  }
  return list;
}

// ---- Lists to network ----------------------------------------------------------

// Every set a side of the network needs, with the right number of MFs.
void CheckSets(const TMFSetList& list, const Blocks& blocks, const char* countWhere) {
  for (int v = 0; v < blocks.Variables(); ++v) {
    const TBasicMFSet* set = list.GetMFSet(v);
    if (set == nullptr) Refuse("Invalid MF set number", kSetWhere);
    if (set->GetNumberOfMF() != blocks.counts[static_cast<std::size_t>(v)]) {
      Refuse("Number of Fuzzy MF not appropriate for this network", countWhere);
    }
  }
}

struct ShapeMessages {
  const char* first;
  const char* inner;
  const char* last;
};

constexpr ShapeMessages kInputShapes{"Inappropriate Input MF type: Should be LeftShouldered",
                                     "Inappropriate Input MF type: Should be Centred",
                                     "Inappropriate Input MF type: Should be RightShouldered"};
constexpr ShapeMessages kOutputShapes{"Inappropriate Output MF type: Should be LeftShouldered",
                                      "Inappropriate Output MF type: Should be Centred",
                                      "Inappropriate Output MF type: Should be RightShouldered"};

// The centre of an MF of the type a position asks for; nullptr for an empty
// slot, another type, or a class that only claims the type name.
const double* CentreOf(const TBasicMF* mf, const char* type) {
  if (mf == nullptr || strcasecmp(mf->GetType(), type) != 0) return nullptr;
  if (const auto* centred = dynamic_cast<const TCentredMF*>(mf)) return &centred->Centre;
  if (const auto* triangle = dynamic_cast<const TTriangularMF*>(mf)) return &triangle->Centre;
  return nullptr;
}

// The centres of a side's sets in node order.
std::vector<double> Centres(const TMFSetList& list, const Blocks& blocks, const ShapeMessages& messages) {
  std::vector<double> centres;
  for (int v = 0; v < blocks.Variables(); ++v) {
    const TBasicMFSet& set = *list.GetMFSet(v);
    const int last = blocks.counts[static_cast<std::size_t>(v)] - 1;
    for (int m = 0; m <= last; ++m) {
      const bool first = m == 0;
      const bool end = m == last;
      const char* type = first ? "LeftShoulderedTriangular" : end ? "RightShoulderedTriangular" : "Triangular";
      const double* centre = CentreOf(set.GetMF(m), type);
      if (centre == nullptr) Refuse(first ? messages.first : end ? messages.last : messages.inner, kSetWhere);
      centres.push_back(*centre);
    }
  }
  return centres;
}

}  // namespace

void TMirkRule::GetMirkMF(const TMirk& network, const TMirkLabel& labels,
                          std::unique_ptr<TMFSetList>& inputs, std::unique_ptr<TMFSetList>& outputs) {
  const Structure s = QueryStructure(network, kGetWhere);
  if (labels.GetNumInputs() != s.inputs.Variables() || labels.GetNumOutputs() != s.outputs.Variables() ||
      labels.GetNumConditions() != s.numConditions || labels.GetNumActions() != s.numActions) {
    throw TException("Labels unsuitable for this network", "Bad Format", kGetWhere);
  }
  const std::vector<double> conditionCentres = network.GetWeightLayer(1);
  const std::vector<double> actionCentres = network.GetWeightLayer(4);
  auto in = MakeList("Inputs", s.inputs, conditionCentres, labels, &TMirkLabel::GetInputName,
                     &TMirkLabel::GetConditionName);
  auto out = MakeList("Outputs", s.outputs, actionCentres, labels, &TMirkLabel::GetOutputName,
                      &TMirkLabel::GetActionName);
  inputs = std::move(in);
  outputs = std::move(out);
}

void TMirkRule::SetMirkMF(TMirk& network, const TMFSetList& inputs, const TMFSetList& outputs) {
  const Structure s = QueryStructure(network, kSetWhere);
  CheckSets(inputs, s.inputs, kSetWhere);
  CheckSets(outputs, s.outputs, kSetOutputCountWhere);
  const std::vector<double> conditionCentres = Centres(inputs, s.inputs, kInputShapes);
  const std::vector<double> actionCentres = Centres(outputs, s.outputs, kOutputShapes);

  // Reading both layers first proves the network can take both writes; if
  // the second fails all the same, the first is undone.
  const std::vector<double> oldConditions = network.GetWeightLayer(1);
  network.GetWeightLayer(4);
  network.SetWeightLayer(1, conditionCentres);
  try {
    network.SetWeightLayer(4, actionCentres);
  } catch (...) {
    network.SetWeightLayer(1, oldConditions);
    throw;
  }
}

}  // namespace mirk
