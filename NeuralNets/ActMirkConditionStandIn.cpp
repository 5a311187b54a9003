// Stand-in for the "Mirk-condition" function until the condition layer
// defines it in Mirk/TConditionLayer.cpp: delete this file then.
#include "NeuralNets/ActFunctions.h"

#include "Common/Exceptions.h"
#include "KQmessage/KQML.h"

namespace mirk {

void ActMirkCondition(TBasicNeuron&, double) {
  throw TException("Activation function Mirk-condition cannot be evaluated", "Invalid Parameter",
                   "TBasicNeuron::Activate", nullptr);
}

}  // namespace mirk
