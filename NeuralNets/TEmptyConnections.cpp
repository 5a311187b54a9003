#include "NeuralNets/TEmptyConnections.h"

#include "Common/Check.h"

namespace mirk {

bool TEmptyConnections::IsConnected() const { return false; }

int TEmptyConnections::GetNumWeights(int) { return 0; }

int TEmptyConnections::GetWeights(std::span<double>, int) { return 0; }

int TEmptyConnections::SetWeights(std::span<const double>, int) { return 0; }

void TEmptyConnections::Randomize(double, double) {}

double* TEmptyConnections::GetWeight(int, int) {
  MIRK_CHECK(false);
  return nullptr;
}

void TEmptyConnections::Aggregate(std::span<double>) {}

bool TEmptyConnections::IsValid(int, int) const { return false; }

bool TEmptyConnections::IsTrainable(int, int) const { return false; }

void TEmptyConnections::IterateInArcs(TIterateObj&, int, int) {}

void TEmptyConnections::IterateOutArcs(TIterateObj&, int, int) {}

void TEmptyConnections::Iterate(TIterateObj&, int) {}

void TEmptyConnections::Iterate2(TIterateObj2&, TBasicNetwork&, int) {}

void TEmptyConnections::Iterate3(TIterateObj3&, TBasicNetwork&, TBasicNetwork&, int) {}

const char* TEmptyConnections::GetConnectionsNType() const { return "Empty"; }

std::unique_ptr<TBasicConnections> TEmptyConnections::Clone(TBasicNetwork* owner) const {
  return std::make_unique<TEmptyConnections>(owner, fromLayer, toLayer);
}

void TEmptyConnections::RemoveFromNode(int) {}

void TEmptyConnections::RemoveToNode(int) {}

void TEmptyConnections::InsertFromNode(int, double, double, bool) {}

void TEmptyConnections::InsertToNode(int, double, double, bool) {}

}  // namespace mirk
