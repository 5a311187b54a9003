#include "FileHandler/ConnectionLayerReader.h"

#include <climits>
#include <iostream>
#include <memory>
#include <string>

#include "Common/Exceptions.h"
#include "Common/Raise.h"
#include "FileHandler/ReaderBudget.h"
#include "Mirk/TConditionLayer.h"
#include "Mirk/TMirkOutputLayer.h"
#include "Mirk/TToConditionConnections.h"
#include "Mirk/TToOutputConnections.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TConnectedConnections.h"
#include "NeuralNets/DenseArcs.h"
#include "NeuralNets/TPrunedConnections.h"

namespace mirk {

namespace {

enum class SetKind { FullyConnected, Pruneable, ToCondition, ToOutput };

bool SetKindOf(std::string_view type, SetKind& kind) {
  static constexpr struct {
    std::string_view name;
    SetKind kind;
  } kKinds[] = {{"FullyConnected", SetKind::FullyConnected},
                {"Pruneable", SetKind::Pruneable},
                {"ToConditionConnections", SetKind::ToCondition},
                {"ToOutputConnections", SetKind::ToOutput}};
  for (const auto& k : kKinds) {
    if (strcasecmp(type, k.name) == 0) {
      kind = k.kind;
      return true;
    }
  }
  return false;
}

constexpr int kMaxMatrixColumns = 9;

bool IsWord(std::string_view word, char upper) {
  return word.size() == 1 && (word[0] == upper || word[0] == upper - 'A' + 'a');
}

class ConnectionReader {
 public:
  ConnectionReader(ScratchBuffer& buffer, std::istream& in, TBasicNetwork& network, Statement& statement,
                   TReaderBudget& budget)
      : buffer_(buffer), in_(in), network_(network), st_(statement), budget_(budget) {}

  void Read(std::string_view networkBlock);

 private:
  [[noreturn]] void Fail(std::string message) { FileTools::Fail(in_, std::move(message)); }
  void Next(std::string_view block, bool continued = false) {
    ReadStatement(buffer_, in_, block, continued, st_);
  }

  TBasicConnections& CreateSet(long from, long to, SetKind kind);
  void CheckSetLayers(int from, int to, SetKind kind);
  void TakeStorage(int from, int to, SetKind kind);
  void RemoveAllArcs();
  void ReadMatrix(std::string_view connectionBlock);
  void ReadWeightList(std::string_view connectionBlock);
  // The arc edits of the file, refused where the set cannot perform them.
  void EnsureArc(int from, int to);
  void SetWeight(int from, int to, double value);
  void SetTrainable(int from, int to, bool trainable);
  void MatrixWeight(int from, int to, std::string_view word);
  void MatrixFlag(int from, int to, std::string_view word);
  // The state of one arc of a new pruneable set, as built: existing and
  // trainable.
  struct PrunedArc {
    bool exists = true;
    bool trainable = true;
  };
  void FreshCell(int from, int to, bool flagColumn, std::string_view word, PrunedArc& arc);

  ScratchBuffer& buffer_;
  std::istream& in_;
  TBasicNetwork& network_;
  Statement& st_;
  TReaderBudget& budget_;

  TBasicConnections* set_ = nullptr;
  std::string setType_;
  bool canRemove_ = false;
  bool canAdd_ = false;
  bool canUnfreeze_ = false;
  bool canFreeze_ = false;
  // The new pruneable set still has every arc it was built with.
  bool allArcs_ = false;
};

void ConnectionReader::Read(std::string_view networkBlock) {
  const std::string block = st_.name;
  long from = -1;
  long to = -1;
  std::string type;
  bool typeGiven = false;
  for (Next(block);; Next(block)) {
    if (st_.kind == StBlock && strcasecmp(st_.name, "Attributes") == 0) {
      while (st_.more) Next(block, true);  // the words carry no meaning for reading
      continue;
    }
    if (st_.kind != StAssign) break;
    if (st_.more) Fail("Too complicated statement");
    if (strcasecmp(st_.name, "LayerFrom") == 0) {
      from = ParseInteger(buffer_, in_, st_.value);
    } else if (strcasecmp(st_.name, "LayerTo") == 0) {
      to = ParseInteger(buffer_, in_, st_.value);
    } else if (strcasecmp(st_.name, "ConnectionType") == 0) {
      type = st_.value;
      typeGiven = true;
    } else {
      Fail("Unknown keyword in connections");
    }
  }
  SetKind kind = SetKind::Pruneable;
  if (from < 0 || to < 0 || !typeGiven || !SetKindOf(type, kind)) {
    Fail("Insufficient information to construct layer");
  }
  TBasicConnections& set = CreateSet(from, to, kind);
  set_ = &set;
  setType_ = set.GetConnectionsNType();
  canRemove_ = set.CanEditArc(TArcEdit::Remove);
  canAdd_ = set.CanEditArc(TArcEdit::Add);
  canUnfreeze_ = set.CanEditArc(TArcEdit::Unfreeze);
  canFreeze_ = set.CanEditArc(TArcEdit::Freeze);
  // A pruneable set holds exactly the arcs the weight sections create; it
  // loses the arcs it was built with when the first section needs it (see
  // RemoveAllArcs). The arcs of the Mirk sets are fixed by their layers.
  allArcs_ = kind == SetKind::Pruneable;

  for (;;) {
    if (st_.kind == StBlock && strcasecmp(st_.name, "Matrix") == 0) {
      ReadMatrix(block);
    } else if (st_.kind == StBlock && strcasecmp(st_.name, "WeightList") == 0) {
      ReadWeightList(block);
    } else {
      break;
    }
  }
  RemoveAllArcs();
  ExpectBlockEnd(buffer_, in_, st_);
  Next(networkBlock);
}

TBasicConnections& ConnectionReader::CreateSet(long fromLayer, long toLayer, SetKind kind) {
  if (fromLayer >= network_.GetNumLayers() || toLayer >= network_.GetNumLayers()) {
    Fail("Connection layer joins a layer the network does not have");
  }
  const int from = static_cast<int>(fromLayer);
  const int to = static_cast<int>(toLayer);
  if (network_.GetConnections(from, to)->IsConnected()) Fail("Connections already defined");
  CheckSetLayers(from, to, kind);
  TakeStorage(from, to, kind);

  std::unique_ptr<TBasicConnections> set;
  switch (kind) {
    case SetKind::FullyConnected:
      set = std::make_unique<TConnectedConnections>(&network_, from, to);
      break;
    case SetKind::Pruneable:
      set = std::make_unique<TPrunedConnections>(&network_, from, to);
      break;
    case SetKind::ToCondition:
    case SetKind::ToOutput:
      // The layers were checked above; a refusal left over is still the file's.
      try {
        if (kind == SetKind::ToCondition) {
          set = std::make_unique<TToConditionConnections>(&network_, from, to);
        } else {
          set = std::make_unique<TToOutputConnections>(&network_, from, to);
        }
      } catch (const TException& e) {
        Fail(e.GetMessage() != nullptr ? e.GetMessage() : "Connection layer does not fit its layers");
      }
      break;
  }
  TBasicConnections& result = *set;
  network_.SetConnections(from, to, std::move(set));
  return result;
}

void ConnectionReader::RemoveAllArcs() {
  if (!allArcs_) return;
  allArcs_ = false;
  const int fromSize = set_->GetFromSize();
  const int toSize = set_->GetToSize();
  for (int i = 0; i < fromSize; ++i) {
    for (int j = 0; j < toSize; ++j) set_->RemoveWeight(i, j);
  }
}

// The Mirk sets hold the centres of the layer they lead to: one per node of
// a condition layer, each fed by one node of the layer the set comes from;
// one per action of an output layer, each action a node of that layer.
void ConnectionReader::CheckSetLayers(int from, int to, SetKind kind) {
  const int fromSize = network_.GetLayer(from)->GetNumNeurons();
  if (kind == SetKind::ToCondition) {
    const auto* conditions = dynamic_cast<const TConditionLayer*>(network_.GetLayer(to));
    if (conditions == nullptr || conditions->GetNumInputs() != fromSize) {
      Fail("ToConditionConnections must lead to a FuzzyCondition layer from its inputs");
    }
  } else if (kind == SetKind::ToOutput) {
    const auto* outputs = dynamic_cast<const TMirkOutputLayer*>(network_.GetLayer(to));
    if (outputs == nullptr || outputs->GetNumActions() != fromSize) {
      Fail("ToOutputConnections must lead to a Defuzzify layer from its actions");
    }
  }
}

// What the set will hold, counted before it is built: the dense sets store
// every position of destinations padded to whole blocks, the pruneable one
// with a flag byte and an exists bit each; the Mirk sets a flag per node,
// and a centre per action.
void ConnectionReader::TakeStorage(int from, int to, SetKind kind) {
  const int fromSize = network_.GetLayer(from)->GetNumNeurons();
  const int toSize = network_.GetLayer(to)->GetNumNeurons();
  const detail::TDenseShape shape{fromSize, toSize};
  switch (kind) {
    case SetKind::FullyConnected:
    case SetKind::Pruneable:
      if (static_cast<long long>(fromSize) * toSize > INT_MAX) {
        Fail("Connection layer has more than INT_MAX arc positions");
      }
      if (kind == SetKind::FullyConnected) {
        budget_.Take(static_cast<long long>(shape.StorageSize()), sizeof(double));
      } else {
        budget_.Take(static_cast<long long>(shape.StorageSize()), sizeof(double) + sizeof(TArcFlags));
        budget_.Take(static_cast<long long>(shape.BitsSize()), 1);
      }
      break;
    case SetKind::ToCondition:
      budget_.Take(toSize, sizeof(TArcFlags));
      break;
    case SetKind::ToOutput:
      budget_.Take(fromSize, sizeof(double) + sizeof(TArcFlags));
      break;
  }
}

// [Matrix Weights TrainableInfo] then one word per arc and column, source
// nodes in the outer loop, then [~Matrix].
void ConnectionReader::ReadMatrix(std::string_view connectionBlock) {
  const std::string block = st_.name;
  bool flagColumn[kMaxMatrixColumns];
  int columns = 0;
  while (st_.more) {
    Next(block, true);
    if (st_.kind != StBlock) Fail("Keyword expected in matrix parameter");
    bool flag = false;
    if (strcasecmp(st_.name, "Weights") == 0) {
      flag = false;
    } else if (strcasecmp(st_.name, "TrainableInfo") == 0) {
      flag = true;
    } else {
      Fail("Unknown matrix attribute");
    }
    if (columns == kMaxMatrixColumns) Fail("More than 9 columns in a matrix");
    flagColumn[columns++] = flag;
  }

  // On a new pruneable set, a matrix whose first column holds weights
  // decides every position before any flag is read: "-" removes the arc, a
  // number keeps it. The set then need not lose all its arcs first, and the
  // reader knows each arc's state without asking the set: the large dense
  // sets load in one pass.
  const bool fresh = allArcs_ && columns > 0 && !flagColumn[0];
  if (!fresh) RemoveAllArcs();
  allArcs_ = false;

  const int fromSize = set_->GetFromSize();
  const int toSize = set_->GetToSize();
  Next(block);
  if (columns > 0) {
    for (int i = 0; i < fromSize; ++i) {
      for (int j = 0; j < toSize; ++j) {
        PrunedArc arc;
        for (int c = 0; c < columns; ++c) {
          if (st_.kind != StWord) Fail("Token Expected");
          if (fresh) {
            FreshCell(i, j, flagColumn[c], st_.name, arc);
          } else if (flagColumn[c]) {
            MatrixFlag(i, j, st_.name);
          } else {
            MatrixWeight(i, j, st_.name);
          }
          Next(block);
        }
      }
    }
  }
  ExpectBlockEnd(buffer_, in_, st_);
  Next(connectionBlock);
}

void ConnectionReader::MatrixWeight(int from, int to, std::string_view word) {
  if (word.size() == 1 && word[0] == '-') {
    // A position that holds no arc has nothing to remove.
    if (set_->IsValid(from, to)) {
      if (!canRemove_) Fail("An arc cannot be removed from a " + setType_ + " set");
      set_->RemoveWeight(from, to);
    }
    return;
  }
  SetWeight(from, to, ParseNumber(buffer_, in_, word));
}

// A cell of a pruneable set, whose arcs are edited exactly as the set
// itself does it (an arc added trainable, an existing one kept).
void ConnectionReader::FreshCell(int from, int to, bool flagColumn, std::string_view word, PrunedArc& arc) {
  if (flagColumn) {
    if (!arc.exists) return;
    if (IsWord(word, 'T')) {
      if (!arc.trainable) set_->UnfreezeWeight(from, to);
      arc.trainable = true;
    } else if (IsWord(word, 'F')) {
      if (arc.trainable) set_->FreezeWeight(from, to);
      arc.trainable = false;
    } else {
      Fail("Trainable flag of an arc must be T or F");
    }
  } else if (word.size() == 1 && word[0] == '-') {
    if (arc.exists) set_->RemoveWeight(from, to);
    arc = {false, false};
  } else {
    const double value = ParseNumber(buffer_, in_, word);
    if (!arc.exists) set_->AddWeight(from, to);
    if (!arc.exists) arc = {true, true};
    *set_->GetWeight(from, to) = value;
  }
}

// Only existing arcs carry a trainable flag; the writer puts "-" for the
// others.
void ConnectionReader::MatrixFlag(int from, int to, std::string_view word) {
  if (!set_->IsValid(from, to)) return;
  if (IsWord(word, 'T')) {
    SetTrainable(from, to, true);
  } else if (IsWord(word, 'F')) {
    SetTrainable(from, to, false);
  } else {
    Fail("Trainable flag of an arc must be T or F");
  }
}

// An existing arc keeps its weight and flag.
void ConnectionReader::EnsureArc(int from, int to) {
  if (set_->IsValid(from, to)) return;
  if (canAdd_) set_->AddWeight(from, to);
  if (!set_->IsValid(from, to)) Fail("Weight for a position that is not an arc of a " + setType_ + " set");
}

void ConnectionReader::SetWeight(int from, int to, double value) {
  EnsureArc(from, to);
  *set_->GetWeight(from, to) = value;
}

void ConnectionReader::SetTrainable(int from, int to, bool trainable) {
  if (trainable) {
    if (!canUnfreeze_) Fail("An arc cannot be unfrozen in a " + setType_ + " set");
    set_->UnfreezeWeight(from, to);
  } else {
    if (!canFreeze_) Fail("An arc cannot be frozen in a " + setType_ + " set");
    set_->FreezeWeight(from, to);
  }
}

// [WeightList], one statement per arc ([From=0 To=3 Weight=-0.25
// UnTrainable]), [~WeightList].
void ConnectionReader::ReadWeightList(std::string_view connectionBlock) {
  const std::string block = st_.name;
  RemoveAllArcs();
  for (Next(block); st_.kind == StAssign || st_.kind == StBlock; Next(block)) {
    long from = -1;
    long to = -1;
    bool hasFrom = false;
    bool hasTo = false;
    double weight = 0.0;
    bool trainable = true;
    for (;;) {
      if (st_.kind == StAssign) {
        if (strcasecmp(st_.name, "From") == 0) {
          from = ParseInteger(buffer_, in_, st_.value);
          hasFrom = true;
        } else if (strcasecmp(st_.name, "To") == 0) {
          to = ParseInteger(buffer_, in_, st_.value);
          hasTo = true;
        } else if (strcasecmp(st_.name, "Weight") == 0) {
          weight = ParseNumber(buffer_, in_, st_.value);
        } else {
          Fail("Unknown keyword in weights list");
        }
      } else if (strcasecmp(st_.name, "Trainable") == 0) {
        trainable = true;
      } else if (strcasecmp(st_.name, "UnTrainable") == 0) {
        trainable = false;
      } else {
        std::cout << st_.name << std::endl;
        Fail("Unknown keyword in weights list");
      }
      if (!st_.more) break;
      Next(block, true);
    }
    if (!hasFrom || !hasTo) Fail("Insufficient information in weights list");
    if (from < 0 || from >= set_->GetFromSize() || to < 0 || to >= set_->GetToSize()) {
      Fail("Node index out of range in weights list");
    }
    const int i = static_cast<int>(from);
    const int j = static_cast<int>(to);
    EnsureArc(i, j);
    SetTrainable(i, j, trainable);
    *set_->GetWeight(i, j) = weight;
  }
  ExpectBlockEnd(buffer_, in_, st_);
  Next(connectionBlock);
}

}  // namespace

void ReadConnectionLayer(ScratchBuffer& buffer, std::istream& in, TBasicNetwork& network,
                         std::string_view networkBlock, Statement& statement,
                         TReaderBudget& budget) {
  ConnectionReader(buffer, in, network, statement, budget).Read(networkBlock);
}

}  // namespace mirk
