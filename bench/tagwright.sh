#!/usr/bin/env bash
# bench/tagwright.sh [RUNS]: times the whole Tagwright command, process start
# to exit, on a large generated Mirk network (64 inputs x 7 membership
# functions, 1024 rules, 8 outputs x 7; about half a million weights in the
# writer's layout, about 12 MB), next to `cat` of the same file as the floor.
# Prints the median wall time of RUNS runs (default 5) and the peak resident
# memory reported by /usr/bin/time -v. Builds through scripts/run (Release).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib.sh"
mirk_require time mawk

runs=${1:-5}
work="$root/build/run/bench"
mkdir -p "$work"
network="$work/large.mirk"
labels="$work/large.labels"

# The network file, written as the network file writer lays it out: dense
# rule matrices (about one arc in ten pruned), weight lists for the
# membership centres. Weights come from a fixed pseudo-random sequence.
mawk -v inputs=64 -v inMF=7 -v rules=1024 -v outputs=8 -v outMF=7 '
function rnd() { seed = (seed * 16807) % 2147483647; return seed / 2147483647 }
function header(n, first, other,   j, line) {
  line = "/* To->"
  for (j = 0; j < n; j++) line = line sprintf("%" (j == 0 ? first : other) "d", j)
  print line "  From */"
}
function matrix(from, to, pruned,   i, j, line) {
  print "[Matrix Weights TrainableInfo ]"
  header(to, 15, 23)
  for (i = 0; i < from; i++) {
    line = ""
    for (j = 0; j < to; j++) {
      if (rnd() < pruned) line = line sprintf("%20s - ", "-")
      else line = line sprintf("%20.15g T ", 8 * rnd() - 4)
    }
    print line " /* " i " */"
  }
  print "[~Matrix]"
}
function layer(i, type, n, fn) {
  print ""; print "[Layer = " i "]"; print "[LayerType = " type "]"
  print "[NumberOfNeurons = " n "]"
  if (fn != "") print "[All ActivationFunction=" fn " ]"
}
function counts(block, key, n, mf,   i) {
  print "[" block "]"
  for (i = 0; i < n; i++) print "[" key "=" i " MF=" mf " ]"
  print "[~" block "]"
}
function connections(from, to, type) {
  print ""; print "[ConnectionLayer]"; print "[LayerFrom = " from "]"; print "[LayerTo = " to "]"
  print "[ConnectionType = " type "]"; print "[Attributes Pruneable Freezable ]"
}
function centres(n, mf, fromInput,   v, j, node) {
  print "[WeightList]"
  for (v = 0; v < n; v++)
    for (j = 0; j < mf; j++) {
      node = v * mf + j
      printf "[From=%d To=%d Weight=%.15f Trainable ]\n", fromInput ? v : node, fromInput ? node : v,
             (j + 0.2 * (rnd() - 0.5)) / (mf - 1)
    }
  print "[~WeightList]"
}
BEGIN {
  seed = 12345
  conditions = inputs * inMF; actions = outputs * outMF
  print "[FormatVersion = 1.0]"; print ""
  print "[NeuralNetwork]"; print "[NetworkType = Mirk]"; print ""
  print "[NetworkInformation]"; print "[NumberOfLayers = 6]"; print "[InputLayer = 1]"
  print "[OutputLayer = 5]"; print "[NumberOfInputs = " inputs "]"
  print "[NumberOfOutputs = " outputs "]"; print "[~NetworkInformation]"
  layer(0, "Simple", 0, ""); print "[~Layer]"
  layer(1, "Input", inputs, "linear"); print "[~Layer]"
  layer(2, "FuzzyCondition", conditions, "Mirk-condition"); counts("InputMF", "Input", inputs, inMF)
  print "[~Layer]"
  layer(3, "Simple", rules, "sigmoid"); print "[~Layer]"
  layer(4, "Simple", actions, "sigmoid"); print "[~Layer]"
  layer(5, "Defuzzify", outputs, "cog"); counts("OutputMF", "Output", outputs, outMF)
  print "[~Layer]"
  connections(1, 2, "ToConditionConnections"); centres(inputs, inMF, 1); print "[~ConnectionLayer]"
  connections(2, 3, "Pruneable"); matrix(conditions, rules, 0.1); print "[~ConnectionLayer]"
  connections(3, 4, "Pruneable"); matrix(rules, actions, 0.1); print "[~ConnectionLayer]"
  connections(4, 5, "ToOutputConnections"); centres(outputs, outMF, 0); print "[~ConnectionLayer]"
  print ""; print "[~NeuralNetwork]"
}' >"$network"

# Builds Tagwright and checks that the file loads.
"$root/scripts/run" "$network" "$labels" >/dev/null
tagwright="$root/build/run/Tagwright"

# measure NAME COMMAND...: median wall time of the runs (ms, from the clock)
# and the largest peak resident set (from /usr/bin/time -v).
measure() {
  local name=$1; shift
  local times=() peak=0 i start end rss
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
    [ "$rss" -gt "$peak" ] && peak=$rss
  done
  local median
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
  printf '%-10s %10.1f ms %10d KB\n' "$name" "$(echo "$median" | mawk '{ print $1 / 1000 }')" "$peak"
}

echo "$(du -h "$network" | cut -f1) network file, $runs runs (median wall time, peak RSS)"
cat "$network" >/dev/null  # warm the page cache
measure cat cat "$network"
measure Tagwright "$tagwright" "$network" "$labels"
