// Default names for a Mirk network without names of its own: inputs InputA,
// InputB, ..., outputs OutputA, OutputB, ..., and the membership functions of
// each variable A, B, C, ... starting again at A for every variable.
#pragma once

#include <memory>
#include <string>

#include "Mirk/RuleExtraction/TMirkLabel.h"

namespace mirk {

class TMirk;

// The letter code of n in exactly five characters, right-aligned and padded
// with blanks: A is the digit 0, so 0 gives "    A", 25 "    Z", 26 "   BA"
// (there is no code AA) and 675 "   ZZ". Numbers wrap modulo 26^5, negative
// ones too (-1 gives "ZZZZZ").
std::string IndexToLetters(long n);

// The default label set of the network, sized from its structure. Every
// name is set; none contains a blank.
std::unique_ptr<TMirkLabel> GenerateLabels(const TMirk& network);

}  // namespace mirk
