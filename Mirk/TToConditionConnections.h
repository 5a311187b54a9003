// The set from a Mirk network's input layer to its condition layer. Each
// condition node has one arc, from its own input, whose weight is the node's
// centre, so the generic weight machinery (counting, lists, randomising,
// visiting, flags) works on membership centres.
#pragma once

#include <memory>
#include <vector>

#include "NeuralNets/TBasicConnections.h"

namespace mirk {

class TConditionLayer;

// Arcs are (input, condition node). The centres live in the condition layer;
// the set keeps one flag byte per condition node.
class TToConditionConnections final : public TBasicConnections {
 public:
  // toLayer must be a TConditionLayer whose counts are installed and whose
  // input count equals the node count of fromLayer; otherwise TException
  // (category "Bad Parameter", where
  // "TToConditionConnections::TToConditionConnections"). Every flag FMaskAll.
  TToConditionConnections(TBasicNetwork* network, int fromLayer, int toLayer);

  // The inherited weight lists and Randomize visit the centres in
  // condition-node order.
  // The centre of node to, whatever from is; to must be a node (checked).
  double* GetWeight(int from, int to) override;
  // Whether from is the input of node to; false for any other pair.
  bool IsValid(int from, int to) const override;
  // Arcs of this set can be neither removed nor added: these do nothing.
  void RemoveWeight(int from, int to) override;
  void AddWeight(int from, int to) override;
  // Set the flag of node to (from is not used) to FMaskAll or FMaskExists.
  void UnfreezeWeight(int from, int to) override;
  void FreezeWeight(int from, int to) override;
  // The arc into node to, or the arcs out of input from in node order, whose
  // exists bit is set; the mask is not consulted.
  void IterateInArcs(TIterateObj& visitor, int to, int mask) override;
  void IterateOutArcs(TIterateObj& visitor, int from, int mask) override;
  // Every arc that passes the mask, in condition-node order; Iterate2 and
  // Iterate3 take the weight addresses of the other networks' centres at the
  // same node, this set's flags decide.
  void Iterate(TIterateObj& visitor, int mask) override;
  void Iterate2(TIterateObj2& visitor, TBasicNetwork& net2, int mask) override;
  void Iterate3(TIterateObj3& visitor, TBasicNetwork& net2, TBasicNetwork& net3, int mask) override;
  const char* GetConnectionsNType() const override;  // "ToConditionConnections"
  // The flag byte of node to (from is not used); to must be a node (checked).
  TArcFlags GetFlags(int from, int to) const override;
  void SetFlags(int from, int to, TArcFlags val) override;
  // A new set for owner with every flag FMaskAll; the centres travel with the
  // condition layer's own clone.
  std::unique_ptr<TBasicConnections> Clone(TBasicNetwork* owner) const override;
  // Not supported: each throws TException (category "Bad Parameter", where
  // "TToConditionConnections::<operation>") and changes nothing.
  void RemoveFromNode(int node) override;
  void RemoveToNode(int node) override;
  void InsertFromNode(int node, double min, double max, bool attached) override;
  void InsertToNode(int node, double min, double max, bool attached) override;
  bool CanEditArc(TArcEdit edit) const override;  // every edit
  bool CanEditNodes() const override;             // none

  int GetNumNodes() const noexcept { return static_cast<int>(flags.size()); }

 private:
  TConditionLayer& Layer() const;
  int NodeOrCheck(int to) const;

  std::vector<TArcFlags> flags;  // one per condition node
};

}  // namespace mirk
