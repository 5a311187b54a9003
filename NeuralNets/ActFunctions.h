// Activation functions and the per-network registry that names them. Network
// files store functions by name; layers keep them as plain function addresses,
// so names are looked up only when files are read or written.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mirk {

class TBasicNeuron;

// Computes the neuron's output from its net input x and stores it in the
// neuron's output cell.
using ActFunction = void (*)(TBasicNeuron& neuron, double x);

// The built-in functions, in the order RegisterDefaults registers them.
// "error", "null" and "cog" cannot be evaluated: they throw TException
// (category "Invalid Parameter", where "TBasicNeuron::Activate").
void ActError(TBasicNeuron& neuron, double x);   // "error": a neuron whose function was never set
void ActNull(TBasicNeuron& neuron, double x);    // "null": the common function of an empty layer
void ActBias(TBasicNeuron& neuron, double x);    // "bias": 1.0
void ActLinear(TBasicNeuron& neuron, double x);  // "linear": x
void ActSaturatedLinear(TBasicNeuron& neuron, double x);  // "saturated-linear": x clamped to [0, 1]
void ActSigmoid(TBasicNeuron& neuron, double x);  // "sigmoid": 1e-300 below -500
void ActTanh(TBasicNeuron& neuron, double x);     // "tanh"
// The gain functions read the gain of a TGainNeuron (1.0 for other neurons).
void ActLinearGain(TBasicNeuron& neuron, double x);   // "linear-gain"
void ActSigmoidGain(TBasicNeuron& neuron, double x);  // "sigmoid-gain": no guard
void ActTanhGain(TBasicNeuron& neuron, double x);     // "tanh-gain"
void ActCog(TBasicNeuron& neuron, double x);  // "cog": defuzzifying layers compute their own outputs
// "Mirk-condition": the membership degree of a condition neuron. Defined with
// the condition layer (Mirk/TConditionLayer.cpp).
void ActMirkCondition(TBasicNeuron& neuron, double x);

// Names to functions. Names compare without regard to case (mirk::strcasecmp);
// searches run from the newest entry to the oldest.
class TFnRegistry {
 public:
  TFnRegistry();  // capacity 16, no entries
  TFnRegistry(const TFnRegistry&) = delete;
  TFnRegistry& operator=(const TFnRegistry&) = delete;
  virtual ~TFnRegistry();

  // Registers the twelve built-in functions.
  virtual void RegisterDefaults();

  // A name may be registered once (checked).
  void Register(ActFunction fn, std::string_view name);
  // The function registered under name; an unknown name is an error of the
  // caller (checked). Text from a file goes through FindFunction instead.
  ActFunction GetFunction(std::string_view name) const;
  // The function registered under name, or nullptr when there is none.
  ActFunction FindFunction(std::string_view name) const;
  // The registry's own copy of fn's name; fn must be registered (checked).
  const char* GetName(ActFunction fn) const;
  // fn's name, or nullptr when fn is not registered.
  const char* FindName(ActFunction fn) const;
  // The function field of the entry for name, appending an entry without a
  // function (nullptr) when name is new. Lives as long as the registry.
  ActFunction* GetSlot(std::string_view name);

  int GetCount() const noexcept { return static_cast<int>(items.size()); }
  int GetCapacity() const noexcept { return capacity; }
  // Entry i in registration order.
  const char* GetEntryName(int i) const;
  ActFunction GetEntryFunction(int i) const;

 private:
  struct Entry {
    std::string name;
    ActFunction fn;
  };

  const Entry* Find(std::string_view name) const;
  Entry& Append(std::string_view name, ActFunction fn);

  int capacity;
  std::vector<std::unique_ptr<Entry>> items;  // entries stay put for GetSlot
};

}  // namespace mirk
