// The set from a Mirk network's action layer to its output layer. Each action
// node has one arc, to the output that owns it, whose weight is the action's
// centre; the output layer defuzzifies with these centres.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "NeuralNets/TBasicConnections.h"

namespace mirk {

class TMirkOutputLayer;

// Arcs are (action node, output). The set owns the centres and one flag
// byte per action node.
class TToOutputConnections final : public TBasicConnections {
 public:
  // toLayer must be a TMirkOutputLayer whose counts are installed, with as
  // many actions as fromLayer has nodes; otherwise TException (category "Bad
  // Parameter", where "TToOutputConnections::TToOutputConnections"). Every
  // centre 0.0 until written, every flag FMaskAll.
  TToOutputConnections(TBasicNetwork* network, int fromLayer, int toLayer);

  // The inherited weight lists and Randomize visit the centres in
  // action-node order.
  // The centre of action from, whatever to is; from must be an action
  // (checked).
  double* GetWeight(int from, int to) override;
  // Whether to is the output of action from; false for any other pair.
  bool IsValid(int from, int to) const override;
  // Arcs of this set can be neither removed nor added: these do nothing.
  void RemoveWeight(int from, int to) override;
  void AddWeight(int from, int to) override;
  // Set the flag of action from (to is not used) to FMaskAll or FMaskExists.
  void UnfreezeWeight(int from, int to) override;
  void FreezeWeight(int from, int to) override;
  // The arcs into output to in action order, or the arc out of action from,
  // whose exists bit is set; the mask is not consulted.
  void IterateInArcs(TIterateObj& visitor, int to, int mask) override;
  void IterateOutArcs(TIterateObj& visitor, int from, int mask) override;
  // Every arc that passes the mask, in action-node order; Iterate2 and
  // Iterate3 take the other networks' centres at the same action, this set's
  // flags decide.
  void Iterate(TIterateObj& visitor, int mask) override;
  void Iterate2(TIterateObj2& visitor, TBasicNetwork& net2, int mask) override;
  void Iterate3(TIterateObj3& visitor, TBasicNetwork& net2, TBasicNetwork& net3, int mask) override;
  const char* GetConnectionsNType() const override;  // "ToOutputConnections"
  // The flag byte of action from (to is not used); from must be an action
  // (checked).
  TArcFlags GetFlags(int from, int to) const override;
  void SetFlags(int from, int to, TArcFlags val) override;
  // A new set for owner with the same centres and every flag FMaskAll.
  std::unique_ptr<TBasicConnections> Clone(TBasicNetwork* owner) const override;
  // Not supported: each throws TException (category "Bad Parameter", where
  // "TToOutputConnections::<operation>") and changes nothing.
  void RemoveFromNode(int node) override;
  void RemoveToNode(int node) override;
  void InsertFromNode(int node, double min, double max, bool attached) override;
  void InsertToNode(int node, double min, double max, bool attached) override;
  bool CanEditArc(TArcEdit edit) const override;  // every edit
  bool CanEditNodes() const override;             // none

  // Even centres over [0, 1] for each output's actions: 0.0, j / (m - 1),
  // ..., 1.0 for an output of m actions. Flags are kept.
  void ResetCentres();
  // The centres in action order, for the output layer's pass.
  std::span<const double> GetCentres() const noexcept { return weights; }
  int GetNumActions() const noexcept { return static_cast<int>(weights.size()); }

 private:
  TMirkOutputLayer& Layer() const;
  int ActionOrCheck(int from) const;

  std::vector<double> weights;   // the centre of each action
  std::vector<TArcFlags> flags;  // one per action
};

}  // namespace mirk
