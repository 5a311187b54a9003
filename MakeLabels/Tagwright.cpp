// Tagwright MirkFile LabelFile: loads a Mirk network file and writes the
// network's default labels as a label file. Prints nothing on success and
// exits 0; any failure is one message on the console and exit status 1.
// The label file is opened only once the labels exist, so a network file
// that fails to load leaves an existing label file untouched.
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <new>
#include <string>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "FileHandler/LabelFile.h"
#include "FileHandler/NetworkFile.h"
#include "FileHandler/ParseTools.h"
#include "KQmessage/KQML.h"
#include "Mirk/RuleExtraction/DefaultLabels.h"
#include "Mirk/TMirk.h"

namespace mirk {
namespace {

// A failure of the command's own steps, reported on standard error.
struct CommandError {
  std::string message;
};

std::unique_ptr<TMirk> LoadMirk(ScratchBuffer& buffer, const std::string& fileName) {
  std::unique_ptr<TBasicNetwork> network = LoadNetwork(buffer, fileName);
  MIRK_CHECK(network != nullptr);
  auto* mirk = dynamic_cast<TMirk*>(network.get());
  if (mirk == nullptr) {
    throw CommandError{std::string("Not a Mirk network: the file holds a network of type ") +
                       network->GetNetworkNType()};
  }
  network.release();
  return std::unique_ptr<TMirk>(mirk);
}

void SaveLabels(const std::string& fileName, const TMirkLabel& labels) {
  std::ofstream out(fileName);
  if (!out) throw CommandError{"Unable to open file " + fileName};
  WriteLabels(out, labels);
  out.close();
  // The writer leaves stream failures to us: a full disk shows here.
  if (!out) throw CommandError{"Unable to write file " + fileName};
}

const char* TextOf(const char* text) { return text != nullptr ? text : ""; }

}  // namespace
}  // namespace mirk

int main(int argc, char* argv[]) {
  using namespace mirk;
  if (argc != 3) {
    std::cerr << "Usage: Tagwright MirkFile LabelFile" << std::endl;
    return 1;
  }
  try {
    ScratchBuffer buffer;
    const std::unique_ptr<TMirk> network = LoadMirk(buffer, argv[1]);
    const std::unique_ptr<TMirkLabel> labels = GenerateLabels(*network);
    MIRK_CHECK(labels != nullptr);
    SaveLabels(argv[2], *labels);
    return 0;
  } catch (const FileTools::Error& e) {
    std::cout << e.GetMessage() << std::endl;
  } catch (const TException& e) {
    std::cerr << TextOf(e.GetMessage()) << std::endl
              << TextOf(e.GetCategory()) << std::endl
              << TextOf(e.GetWhere()) << std::endl;
  } catch (const CommandError& e) {
    std::cerr << e.message << std::endl;
  } catch (const std::bad_alloc&) {
    std::cerr << "Out of memory" << std::endl;
  } catch (const std::exception& e) {
    std::cerr << "Unexpected error: " << e.what() << std::endl;
  } catch (...) {
    std::cerr << "Unexpected error" << std::endl;
  }
  return 1;
}
