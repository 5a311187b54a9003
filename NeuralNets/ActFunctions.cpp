#include "NeuralNets/ActFunctions.h"

#include <cmath>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "Common/Raise.h"
#include "NeuralNets/TBasicNeuron.h"
#include "NeuralNets/TGainLayer.h"

namespace mirk {
namespace {

[[noreturn]] void CannotEvaluate(const char* message) {
  Refuse(message, kInvalidParameter, "TBasicNeuron::Activate");
}

double GainOf(const TBasicNeuron& neuron) {
  const auto* gainNeuron = dynamic_cast<const TGainNeuron*>(&neuron);
  return gainNeuron != nullptr ? gainNeuron->gain : 1.0;
}

}  // namespace

void ActError(TBasicNeuron&, double) { CannotEvaluate("Activation function not set"); }

void ActNull(TBasicNeuron&, double) { CannotEvaluate("Activation function null cannot be evaluated"); }

void ActBias(TBasicNeuron& neuron, double) { *neuron.output = 1.0; }

void ActLinear(TBasicNeuron& neuron, double x) { *neuron.output = x; }

void ActSaturatedLinear(TBasicNeuron& neuron, double x) {
  if (x <= 0.0) {
    *neuron.output = 0.0;
  } else if (x < 1.0) {
    *neuron.output = x;
  } else {
    *neuron.output = 1.0;
  }
}

void ActSigmoid(TBasicNeuron& neuron, double x) {
  // Below -500 the exponential would overflow.
  if (x < -500.0) {
    *neuron.output = 1e-300;
    return;
  }
  *neuron.output = static_cast<double>(1.0L / (1.0L + std::exp(-static_cast<long double>(x))));
}

void ActTanh(TBasicNeuron& neuron, double x) {
  *neuron.output = static_cast<double>(std::tanh(static_cast<long double>(x)));
}

void ActLinearGain(TBasicNeuron& neuron, double x) {
  *neuron.output = static_cast<double>(static_cast<long double>(GainOf(neuron)) * x);
}

void ActSigmoidGain(TBasicNeuron& neuron, double x) {
  const long double gx = static_cast<long double>(GainOf(neuron)) * x;
  *neuron.output = static_cast<double>(1.0L / (1.0L + std::exp(-gx)));
}

void ActTanhGain(TBasicNeuron& neuron, double x) {
  *neuron.output = static_cast<double>(std::tanh(static_cast<long double>(GainOf(neuron)) * x));
}

void ActCog(TBasicNeuron&, double) { CannotEvaluate("Activation function cog cannot be evaluated"); }

TFnRegistry::TFnRegistry() : capacity(16) { items.reserve(16); }

TFnRegistry::~TFnRegistry() = default;

void TFnRegistry::RegisterDefaults() {
  Register(ActError, "error");
  Register(ActNull, "null");
  Register(ActBias, "bias");
  Register(ActLinear, "linear");
  Register(ActSaturatedLinear, "saturated-linear");
  Register(ActSigmoid, "sigmoid");
  Register(ActTanh, "tanh");
  Register(ActLinearGain, "linear-gain");
  Register(ActSigmoidGain, "sigmoid-gain");
  Register(ActTanhGain, "tanh-gain");
  Register(ActCog, "cog");
  Register(ActMirkCondition, "Mirk-condition");
}

const TFnRegistry::Entry* TFnRegistry::Find(std::string_view name) const {
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    if (strcasecmp(name, (*it)->name) == 0) return it->get();
  }
  return nullptr;
}

TFnRegistry::Entry& TFnRegistry::Append(std::string_view name, ActFunction fn) {
  if (GetCount() == capacity) {
    capacity *= 2;
    items.reserve(static_cast<size_t>(capacity));
  }
  items.push_back(std::make_unique<Entry>(Entry{std::string(name), fn}));
  return *items.back();
}

void TFnRegistry::Register(ActFunction fn, std::string_view name) {
  MIRK_CHECK(Find(name) == nullptr);
  Append(name, fn);
}

ActFunction TFnRegistry::GetFunction(std::string_view name) const {
  const Entry* entry = Find(name);
  MIRK_CHECK(entry != nullptr);
  return entry->fn;
}

ActFunction TFnRegistry::FindFunction(std::string_view name) const {
  const Entry* entry = Find(name);
  return entry != nullptr ? entry->fn : nullptr;
}

const char* TFnRegistry::GetName(ActFunction fn) const {
  const char* name = FindName(fn);
  MIRK_CHECK(name != nullptr);
  return name;
}

const char* TFnRegistry::FindName(ActFunction fn) const {
  if (fn == nullptr) return nullptr;
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    if ((*it)->fn == fn) return (*it)->name.c_str();
  }
  return nullptr;
}

ActFunction* TFnRegistry::GetSlot(std::string_view name) {
  if (const Entry* entry = Find(name)) return &const_cast<Entry*>(entry)->fn;
  return &Append(name, nullptr).fn;
}

const char* TFnRegistry::GetEntryName(int i) const {
  MIRK_CHECK(i >= 0 && i < GetCount());
  return items[static_cast<size_t>(i)]->name.c_str();
}

ActFunction TFnRegistry::GetEntryFunction(int i) const {
  MIRK_CHECK(i >= 0 && i < GetCount());
  return items[static_cast<size_t>(i)]->fn;
}

}  // namespace mirk
