#include "NeuralNets/ActFunctions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "NeuralNets/TGainLayer.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

TEST(FnRegistry, DefaultsComeInOrderAndTheArrayDoublesWhenFull) {
  TFnRegistry registry;
  registry.RegisterDefaults();
  const char* names[] = {"error",   "null",        "bias",         "linear",    "saturated-linear", "sigmoid",
                         "tanh",    "linear-gain", "sigmoid-gain", "tanh-gain", "cog",              "Mirk-condition"};
  ASSERT_EQ(registry.GetCount(), 12);
  EXPECT_EQ(registry.GetCapacity(), 16);
  for (int i = 0; i < 12; ++i) EXPECT_STREQ(registry.GetEntryName(i), names[i]);
  EXPECT_EQ(registry.GetEntryFunction(5), ActSigmoid);

  for (const char* name : {"f1", "f2", "f3", "f4"}) registry.Register(ActLinear, name);
  EXPECT_EQ(registry.GetCapacity(), 16);
  registry.Register(ActTanh, "f5");
  EXPECT_EQ(registry.GetCount(), 17);
  EXPECT_EQ(registry.GetCapacity(), 32);
  EXPECT_EQ(registry.GetFunction("f5"), ActTanh);
}

TEST(FnRegistry, LooksNamesUpWithoutRegardToCase) {
  TFnRegistry registry;
  registry.RegisterDefaults();
  EXPECT_EQ(registry.GetFunction("SIGMOID"), ActSigmoid);
  EXPECT_EQ(registry.GetFunction("Sigmoid"), ActSigmoid);
  EXPECT_EQ(registry.GetFunction("mirk-CONDITION"), ActMirkCondition);
  EXPECT_EQ(registry.FindFunction("Tanh-Gain"), ActTanhGain);
  EXPECT_EQ(registry.FindFunction("softmax"), nullptr);
  EXPECT_EQ(registry.FindFunction(""), nullptr);
}

TEST(FnRegistry, NamesFunctions) {
  TFnRegistry registry;
  registry.RegisterDefaults();
  EXPECT_STREQ(registry.GetName(ActTanhGain), "tanh-gain");
  EXPECT_STREQ(registry.GetName(ActMirkCondition), "Mirk-condition");
  const ActFunction unregistered = [](TBasicNeuron&, double) {};
  EXPECT_EQ(registry.FindName(unregistered), nullptr);
  EXPECT_EQ(registry.FindName(nullptr), nullptr);
}

TEST(FnRegistry, SlotAssignsAFunctionToANewOrExistingName) {
  TFnRegistry registry;
  registry.RegisterDefaults();
  ActFunction* slot = registry.GetSlot("custom");
  EXPECT_EQ(*slot, nullptr);
  EXPECT_EQ(registry.GetCount(), 13);
  *slot = ActTanh;
  for (int i = 0; i < 10; ++i) registry.GetSlot("more" + std::to_string(i));  // grows the array
  EXPECT_EQ(*slot, ActTanh);
  EXPECT_EQ(registry.GetFunction("CUSTOM"), ActTanh);

  ActFunction* linear = registry.GetSlot("LINEAR");
  EXPECT_EQ(*linear, ActLinear);
  EXPECT_EQ(registry.GetCount(), 23);
}

struct FunctionCase {
  ActFunction fn;
  double gain;
  double x;
  double expected;
};

TEST(ActFunctions, ComputeTheirOutputs) {
  const FunctionCase cases[] = {
      {ActBias, 1.0, -7.5, 1.0},
      {ActBias, 1.0, 1e300, 1.0},
      {ActLinear, 1.0, -2.25, -2.25},
      {ActSaturatedLinear, 1.0, -0.5, 0.0},
      {ActSaturatedLinear, 1.0, 0.0, 0.0},
      {ActSaturatedLinear, 1.0, 0.25, 0.25},
      {ActSaturatedLinear, 1.0, 1.0, 1.0},
      {ActSaturatedLinear, 1.0, 7.0, 1.0},
      {ActSigmoid, 1.0, 0.0, 0.5},
      {ActSigmoid, 1.0, -600.0, 1e-300},
      {ActSigmoid, 1.0, -500.0, 1.0 / (1.0 + std::exp(500.0))},
      {ActSigmoid, 1.0, 2.0, 1.0 / (1.0 + std::exp(-2.0))},
      {ActTanh, 1.0, 0.5, std::tanh(0.5)},
      {ActLinearGain, 1.0, 3.5, 3.5},
      {ActLinearGain, 2.5, 2.0, 5.0},
      {ActSigmoidGain, 2.0, 1.0, 1.0 / (1.0 + std::exp(-2.0))},
      {ActSigmoidGain, 2.0, -250.0, 1.0 / (1.0 + std::exp(500.0))},
      // No guard: a computed value where "sigmoid" of 2x gives 1e-300.
      {ActSigmoidGain, 2.0, -300.0, std::exp(-600.0)},
      // The exponential overflows even in extended precision.
      {ActSigmoidGain, 1.0, -20000.0, 0.0},
      {ActTanhGain, 3.0, 0.25, std::tanh(0.75)},
  };
  for (const FunctionCase& c : cases) {
    TGainNeuron neuron;
    double out = -1.0;
    neuron.output = &out;
    neuron.gain = c.gain;
    c.fn(neuron, c.x);
    EXPECT_DOUBLE_EQ(out, c.expected) << "x = " << c.x << ", gain = " << c.gain;
  }
}

// Exact values of the functions that work in extended precision and round
// once; plain double arithmetic gives each of these one unit in the last
// place off.
TEST(ActFunctions, ExtendedPrecisionValuesArePinned) {
  const FunctionCase cases[] = {
      {ActSigmoid, 1.0, -0x1.3f0a3d70a3d71p+3, 0x1.886c171c0f1d7p-15},
      {ActSigmoid, 1.0, -0x1.3bd70a3d70a3dp+3, 0x1.b1b106223baccp-15},
      {ActTanh, 1.0, -0x1.63d70a3d70a3ep+1, -0x1.fc12ef4409204p-1},
      {ActTanh, 1.0, -0x1.fd70a3d70a3d8p+0, -0x1.ed3785715b3a7p-1},
      {ActSigmoidGain, 0.7, -0x1.3fae147ae147bp+3, 0x1.e101640845bfdp-11},
      {ActTanhGain, 0.7, -0x1.07ae147ae147bp+2, -0x1.fccf173572d0dp-1},
      {ActLinearGain, 0x1.199999999999ap+1, -0x1.8020c49ba5e35p+2, -0x1.a68a71de69ad4p+3},
  };
  for (const FunctionCase& c : cases) {
    TGainNeuron neuron;
    double out = -1.0;
    neuron.output = &out;
    neuron.gain = c.gain;
    c.fn(neuron, c.x);
    EXPECT_EQ(out, c.expected) << std::hexfloat << "x = " << c.x << ", gain = " << c.gain;
  }
}

TEST(ActFunctions, GainFunctionsOnAPlainNeuronUseGainOne) {
  TBasicNeuron neuron;
  double out = 0.0;
  neuron.output = &out;
  ActLinearGain(neuron, 4.0);
  EXPECT_EQ(out, 4.0);
}

TEST(ActFunctions, FunctionsWithoutOutputThrowInsteadOfEvaluating) {
  TBasicNeuron neuron;
  double out = 0.0;
  neuron.output = &out;
  EXPECT_TEXCEPTION(ActError(neuron, 1.0), "Activation function not set", "Invalid Parameter",
                    "TBasicNeuron::Activate");
  EXPECT_TEXCEPTION(ActNull(neuron, 1.0), "Activation function null cannot be evaluated", "Invalid Parameter",
                    "TBasicNeuron::Activate");
  EXPECT_TEXCEPTION(ActCog(neuron, 1.0), "Activation function cog cannot be evaluated", "Invalid Parameter",
                    "TBasicNeuron::Activate");
  EXPECT_EQ(out, 0.0);
}

}  // namespace
}  // namespace mirk
