#include "NeuralNets/TSimpleLayer.h"

#include <gtest/gtest.h>

#include <vector>

#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TGainLayer.h"
#include "NeuralNets/TSimpleInputLayer.h"
#include "support/TestUtil.h"
#include "tests/NeuralNets/TestNetworks.h"

namespace mirk {
namespace {

using test::MakeNetwork;

TEST(SimpleLayer, NewLayerSharesTheErrorFunctionAndKeepsItAsCommon) {
  TBasicNetwork net(3);
  TSimpleLayer layer(&net, 2, 3);
  EXPECT_EQ(layer.GetNumNeurons(), 3);
  EXPECT_EQ(layer.GetOutputs().size(), 3u);
  for (double v : layer.GetOutputs()) EXPECT_EQ(v, 0.0);
  EXPECT_STREQ(layer.GetLayerNType(), "Simple");
  EXPECT_EQ(layer.GetLayerCode(), 1);
  for (int i = 0; i < 3; ++i) {
    const TBasicNeuron& n = *layer.GetNeuron(i);
    EXPECT_EQ(n.layer, &layer);
    EXPECT_EQ(n.output, &layer.GetOutputs()[i]);
    EXPECT_EQ(n.index, i);
    EXPECT_EQ(n.layerNum, 2);
  }

  EXPECT_EQ(layer.GetActivationFunction(), ActError);
  // Kept as the common function: a neuron's own function no longer counts.
  layer.GetNeuron(1)->actFunction = ActTanh;
  EXPECT_EQ(layer.GetActivationFunction(), ActError);
}

TEST(SimpleLayer, NeuronOwnFunctionClearsTheCommonOne) {
  TBasicNetwork net(3);
  TSimpleLayer layer(&net, 2, 3);
  layer.SetActivationFunction(ActLinear);
  EXPECT_EQ(layer.GetActivationFunction(), ActLinear);

  layer.GetNeuron(1)->SetActivationFunction(ActBias);
  EXPECT_EQ(layer.GetActivationFunction(), nullptr);
  const std::vector<double> net_inputs = {-2.0, -3.0, 0.5};
  layer.Activate(net_inputs);
  EXPECT_EQ(layer.GetOutputs()[0], -2.0);
  EXPECT_EQ(layer.GetOutputs()[1], 1.0);
  EXPECT_EQ(layer.GetOutputs()[2], 0.5);

  // Equal again: the shared function becomes the common one.
  layer.GetNeuron(1)->SetActivationFunction(ActLinear);
  EXPECT_EQ(layer.GetActivationFunction(), ActLinear);
}

TEST(SimpleLayer, EmptyLayerReportsNull) {
  TBasicNetwork net(2);
  TSimpleLayer layer(&net, 0, 0);
  EXPECT_EQ(layer.GetActivationFunction(), ActNull);
}

TEST(SimpleLayer, InsertAndRemoveKeepNeuronsInPlace) {
  TBasicNetwork net(3);
  TSimpleLayer layer(&net, 2, 3);
  layer.GetNeuron(0)->SetActivationFunction(ActLinear);
  layer.GetNeuron(1)->SetActivationFunction(ActTanh);
  layer.GetNeuron(2)->SetActivationFunction(ActBias);

  TBasicNeuron* inserted = layer.InsertNeuron(1);
  EXPECT_EQ(inserted->actFunction, ActError);  // no common function
  const ActFunction afterInsert[] = {ActLinear, ActError, ActTanh, ActBias};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(layer.GetNeuron(i)->actFunction, afterInsert[i]);
    EXPECT_EQ(layer.GetNeuron(i)->index, i);
    EXPECT_EQ(layer.GetNeuron(i)->layer, &layer);
  }

  layer.RemoveNeuron(0);
  const ActFunction afterRemove[] = {ActError, ActTanh, ActBias};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(layer.GetNeuron(i)->actFunction, afterRemove[i]);
}

TEST(SimpleLayer, InsertedNeuronTakesTheCommonFunction) {
  TBasicNetwork net(3);
  TSimpleLayer layer(&net, 2, 2);
  layer.SetActivationFunction(ActSigmoid);
  EXPECT_EQ(layer.InsertNeuron(2)->actFunction, ActSigmoid);
}

TEST(SimpleLayer, CloneHasZeroOutputsAndItsOwnNeurons) {
  TBasicNetwork source(3);
  TBasicNetwork owner(3);
  TSimpleLayer layer(&source, 2, 2);
  layer.GetNeuron(0)->SetActivationFunction(ActTanh);
  layer.GetNeuron(1)->SetActivationFunction(ActLinear);
  const int dims[] = {1, 2};
  layer.SetDimensions(dims);
  layer.GetOutputs()[0] = 5.0;

  const std::unique_ptr<TBasicLayer> copy = layer.Clone(&owner);
  EXPECT_STREQ(copy->GetLayerNType(), "Simple");
  EXPECT_EQ(copy->GetNetwork(), &owner);
  EXPECT_EQ(copy->GetLayerNum(), 2);
  EXPECT_EQ(copy->GetOutputs()[0], 0.0);
  EXPECT_EQ(copy->GetActivationFunction(), nullptr);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(copy->GetNeuron(i)->actFunction, layer.GetNeuron(i)->actFunction);
    EXPECT_EQ(copy->GetNeuron(i)->layer, copy.get());
    EXPECT_EQ(copy->GetNeuron(i)->output, &copy->GetOutputs()[i]);
  }
  std::vector<int> copied(2);
  ASSERT_EQ(copy->GetNumDimensions(), 2);
  copy->GetDimensions(copied);
  EXPECT_EQ(copied, (std::vector<int>{1, 2}));
}

TEST(SimpleLayer, DimensionsAreCopiedInAndOut) {
  TBasicNetwork net(2);
  TSimpleLayer layer(&net, 1, 4);
  EXPECT_EQ(layer.GetNumDimensions(), 0);
  std::vector<int> dims = {2, 2};
  layer.SetDimensions(dims);
  dims[0] = 9;
  std::vector<int> out(2);
  layer.GetDimensions(out);
  EXPECT_EQ(out, (std::vector<int>{2, 2}));
  layer.SetDimensions({});
  EXPECT_EQ(layer.GetNumDimensions(), 0);
}

TEST(SimpleInputLayer, OutputsAreTheInputsWhateverItsFunction) {
  auto net = MakeNetwork<TBasicNetwork>({0, 3, 1});
  TBasicLayer& input = *net->GetLayer(1);
  EXPECT_STREQ(input.GetLayerNType(), "Input");
  EXPECT_EQ(input.GetActivationFunction(), ActLinear);
  input.SetActivationFunction(ActSigmoid);
  const std::vector<double> inputs = {0.125, -4.0, 1e10};
  input.Propagate(inputs);
  EXPECT_EQ(std::vector<double>(input.GetOutputs().begin(), input.GetOutputs().end()), inputs);
}

TEST(SimpleInputLayer, ElsewhereItWarnsAndOutputsZeros) {
  TBasicNetwork net(3);
  TSimpleInputLayer layer(&net, 2, 2);
  layer.GetOutputs()[0] = 3.0;
  const std::vector<double> inputs = {1.0, 2.0};
  test::CaptureStream err(std::cerr);
  layer.Propagate(inputs);
  layer.Propagate(inputs);
  EXPECT_EQ(err.Text(),
            "!Warning: changed input layer (TSimpleInputLayer)\n"
            "!Warning: changed input layer (TSimpleInputLayer)\n");
  EXPECT_EQ(layer.GetOutputs()[0], 0.0);
  EXPECT_EQ(layer.GetOutputs()[1], 0.0);
}

// A plain layer at the input position starts from the inputs, still adds the
// sets of lower layers and applies its functions, and warns on every pass.
TEST(SimpleLayer, AtTheInputPositionItWarnsAndStillPropagates) {
  for (bool gain : {false, true}) {
    TBasicNetwork net(3);
    net.SetLayer(0, std::make_unique<TSimpleLayer>(&net, 0, 1));
    if (gain) {
      net.SetLayer(1, std::make_unique<TGainLayer>(&net, 1, 2, 1.0));
    } else {
      net.SetLayer(1, std::make_unique<TSimpleLayer>(&net, 1, 2));
    }
    net.SetLayer(2, std::make_unique<TSimpleLayer>(&net, 2, 1));
    net.GetLayer(0)->SetActivationFunction(ActBias);
    net.GetLayer(1)->SetActivationFunction(ActLinear);
    net.GetLayer(2)->SetActivationFunction(ActLinear);
    net.Connect(0, 1);
    *net.GetConnections(0, 1)->GetWeight(0, 0) = 0.5;
    *net.GetConnections(0, 1)->GetWeight(0, 1) = -1.0;

    const std::vector<double> inputs = {2.0, 3.0};
    std::vector<double> outputs(1);
    test::CaptureStream err(std::cerr);
    net.Recall(inputs, outputs);
    net.Recall(inputs, outputs);
    EXPECT_EQ(err.Text(),
              "!Warning: changed input layer (TSimpleLayer)\n"
              "!Warning: changed input layer (TSimpleLayer)\n");
    EXPECT_EQ(net.GetLayer(1)->GetOutputs()[0], 2.5);
    EXPECT_EQ(net.GetLayer(1)->GetOutputs()[1], 2.0);
  }
}

TEST(GainLayer, InsertedNeuronTakesTheFirstGain) {
  TBasicNetwork net(3);
  TGainLayer layer(&net, 2, 2, 1.0);
  static_cast<TGainNeuron*>(layer.GetNeuron(0))->gain = 2.0;
  static_cast<TGainNeuron*>(layer.GetNeuron(1))->gain = 3.0;
  layer.InsertNeuron(0);
  const double gains[] = {2.0, 2.0, 3.0};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(static_cast<TGainNeuron*>(layer.GetNeuron(i))->gain, gains[i]);

  TGainLayer empty(&net, 2, 0, 5.0);
  EXPECT_EQ(static_cast<TGainNeuron*>(empty.InsertNeuron(0))->gain, 1.0);
}

TEST(GainLayer, NeuronsCarryOneParameterNamedGain) {
  TBasicNetwork net(3);
  TGainLayer layer(&net, 2, 2, 0.5);
  EXPECT_STREQ(layer.GetLayerNType(), "Gain");
  TBasicNeuron& neuron = *layer.GetNeuron(1);
  EXPECT_EQ(neuron.GetNumParameters(), 1);
  EXPECT_STREQ(neuron.GetParameterName(0), "Gain");
  double value = 0.0;
  neuron.GetParameters({&value, 1});
  EXPECT_EQ(value, 0.5);
  const double next = 4.0;
  neuron.SetParameters({&next, 1});
  EXPECT_EQ(static_cast<TGainNeuron&>(neuron).gain, 4.0);
  layer.SetGain(1.5);
  EXPECT_EQ(static_cast<TGainNeuron&>(neuron).gain, 1.5);
  EXPECT_EQ(TBasicNeuron().GetNumParameters(), 0);
}

TEST(GainLayer, GainFunctionsReadEachNeuronsGain) {
  TBasicNetwork net(3);
  TGainLayer layer(&net, 2, 2, 1.0);
  layer.SetActivationFunction(ActLinearGain);
  static_cast<TGainNeuron*>(layer.GetNeuron(1))->gain = -2.0;
  const std::vector<double> inputs = {3.0, 3.0};
  layer.Activate(inputs);
  EXPECT_EQ(layer.GetOutputs()[0], 3.0);
  EXPECT_EQ(layer.GetOutputs()[1], -6.0);
}

TEST(GainLayer, CloneCopiesGainsAndFunctions) {
  TBasicNetwork net(3);
  TGainLayer layer(&net, 2, 2, 1.0);
  static_cast<TGainNeuron*>(layer.GetNeuron(1))->gain = 3.0;
  layer.SetActivationFunction(ActTanhGain);
  const auto copy = layer.Clone(&net);
  EXPECT_STREQ(copy->GetLayerNType(), "Gain");
  EXPECT_EQ(copy->GetActivationFunction(), ActTanhGain);
  EXPECT_EQ(static_cast<TGainNeuron*>(copy->GetNeuron(0))->gain, 1.0);
  EXPECT_EQ(static_cast<TGainNeuron*>(copy->GetNeuron(1))->gain, 3.0);
  EXPECT_EQ(copy->GetNeuron(1)->output, &copy->GetOutputs()[1]);
}

}  // namespace
}  // namespace mirk
