#include "NeuralNets/TBasicConnections.h"

#include "Common/Check.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TIterateObj.h"

namespace mirk {

TBasicConnections::TBasicConnections(TBasicNetwork* network, int fromLayer, int toLayer)
    : network(network), fromLayer(fromLayer), toLayer(toLayer) {}

TBasicConnections::~TBasicConnections() = default;

bool TBasicConnections::IsConnected() const { return true; }

int TBasicConnections::GetNumWeights(int mask) {
  TIterateObjGetNumWeights counter;
  Iterate(counter, mask);
  return counter.count;
}

int TBasicConnections::GetWeights(std::span<double> out, int mask) {
  MIRK_CHECK(out.size() >= static_cast<size_t>(GetNumWeights(mask)));
  TIterateObjGetWeights visitor(out.data());
  Iterate(visitor, mask);
  return visitor.count;
}

int TBasicConnections::SetWeights(std::span<const double> in, int mask) {
  MIRK_CHECK(in.size() >= static_cast<size_t>(GetNumWeights(mask)));
  TIterateObjSetWeights visitor(in.data());
  Iterate(visitor, mask);
  return visitor.count;
}

void TBasicConnections::Randomize(double min, double max) {
  TIterateObjRandomize visitor(min, max);
  Iterate(visitor, FMaskAll);
}

void TBasicConnections::Aggregate(std::span<double> netInputs) {
  const int toSize = GetToSize();
  MIRK_CHECK(netInputs.size() >= static_cast<size_t>(toSize));
  TIterateObjAggregate visitor;
  for (int to = 0; to < toSize; ++to) {
    visitor.sum = 0.0;
    IterateInArcs(visitor, to, FMaskExists);
    netInputs[static_cast<size_t>(to)] += visitor.sum;
  }
}

bool TBasicConnections::IsTrainable(int from, int to) const { return IsValid(from, to); }

void TBasicConnections::RemoveWeight(int, int) { MIRK_CHECK(false); }

void TBasicConnections::AddWeight(int, int) { MIRK_CHECK(false); }

void TBasicConnections::UnfreezeWeight(int, int) { MIRK_CHECK(false); }

void TBasicConnections::FreezeWeight(int, int) { MIRK_CHECK(false); }

TArcFlags TBasicConnections::GetFlags(int, int) const { return FMaskAll; }

void TBasicConnections::SetFlags(int, int, TArcFlags val) {
  MIRK_CHECK((val==FMaskAll) || (val==FMaskExists));
}

void TBasicConnections::InsertFromNode(int, double, double, bool) { MIRK_CHECK(false); }

void TBasicConnections::InsertToNode(int, double, double, bool) { MIRK_CHECK(false); }

bool TBasicConnections::CanEditArc(TArcEdit) const { return false; }

bool TBasicConnections::CanEditNodes() const { return true; }

std::vector<TArcFlags> TBasicConnections::GetAllFlags() {
  std::vector<TArcFlags> flags(static_cast<size_t>(GetNumWeights(FMaskExists)));
  TIterateObjGetFlags visitor(flags.data());
  Iterate(visitor, FMaskExists);
  MIRK_CHECK(static_cast<size_t>(visitor.count) == flags.size());
  return flags;
}

void TBasicConnections::SetAllFlags(std::span<const TArcFlags> values) {
  MIRK_CHECK(values.size() >= static_cast<size_t>(GetNumWeights(FMaskExists)));
  TIterateObjSetFlags visitor(values.data());
  Iterate(visitor, FMaskExists);
}

void TBasicConnections::AllUntrainable() {
  TIterateObjAllUntrainable visitor;
  Iterate(visitor, FMaskExists);
}

int TBasicConnections::GetFromSize() const { return network->GetLayer(fromLayer)->GetNumNeurons(); }

int TBasicConnections::GetToSize() const { return network->GetLayer(toLayer)->GetNumNeurons(); }

}  // namespace mirk
