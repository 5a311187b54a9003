// Recall of many input rows through a network at once: rows go through the
// layers in blocks, and each dense set serves every row of a block while its
// weights are in cache, instead of streaming them once per row.
#pragma once

#include <span>
#include <vector>

namespace mirk {

class TBasicConnections;
class TBasicLayer;
class TBasicNetwork;

// Every output is bit for bit what the network's single-vector Recall gives
// for the same row: each row's sums keep their order and rounding. Plain and
// gain layers aggregate pruneable and fully connected sets block-wise; other
// sets, and layers with a pass of their own (the Mirk condition and output
// layers, a layer in an unusual place), run row by row with the rows' values
// of the layers below loaded into the network, so they behave exactly as in
// a single-vector pass.
//
// The pass is planned for the network as it is when this object is built;
// the network must keep its structure (layers, sets, sizes) while the object
// is used. Weights and functions may change between blocks.
class TBlockRecall {
 public:
  static constexpr int kDefaultRows = 16;

  // blockRows at least 1 (checked). Every layer must be installed: a missing
  // one throws TException ("Incomplete network", category "Bad Parameter",
  // where "TBlockRecall::TBlockRecall").
  explicit TBlockRecall(TBasicNetwork& net, int blockRows = kDefaultRows);
  TBlockRecall(const TBlockRecall&) = delete;
  TBlockRecall& operator=(const TBlockRecall&) = delete;
  ~TBlockRecall();

  int GetBlockRows() const noexcept { return blockRows; }
  int GetNumInputs() const noexcept;   // node count of the input layer
  int GetNumOutputs() const noexcept;  // node count of the output layer

  // Where the caller puts the GetNumInputs() inputs of row r of the block.
  std::span<double> Inputs(int r);
  // Recalls rows 0 to numRows - 1 of the block (numRows at most
  // GetBlockRows(), checked). Afterwards every layer holds the values of row
  // numRows - 1, as after a single-vector Recall of that row. Throws what
  // the single-vector pass throws.
  void Run(int numRows);
  // The GetNumOutputs() outputs of row r after Run.
  std::span<const double> Outputs(int r) const;
  // The outputs of every node of layer for row r after Run, as the layer
  // held them after a single-vector pass of that row.
  std::span<const double> Values(int layer, int r) const;

 private:
  enum class LayerKind { Input, Standard, Own };
  enum class SetKind { Dense, Pruned, Generic };
  struct Source {
    int layer;
    SetKind kind;
    TBasicConnections* set;
  };
  struct Layer {
    TBasicLayer* layer;
    LayerKind kind;
    size_t width;                // node count
    std::vector<double> values;  // blockRows x width, row after row
    std::vector<Source> sources;  // the sets from lower layers that add anything
  };

  static std::span<double> Row(Layer& layer, int r);
  void RunStandard(Layer& layer, int numRows);
  void RunOwn(int index, int numRows);
  // Copies row r of layers 0 to count - 1 into the layers' own outputs.
  void LoadRow(int count, int r);

  TBasicNetwork& net;
  int blockRows;
  int inLayer;
  int outLayer;
  std::vector<Layer> layers;
  std::vector<double> inputs;  // blockRows x the input layer's width
};

}  // namespace mirk
