// A small writer of indented JSON text for the --json forms of the
// subcommands. Numbers are written in their shortest exact form; a value
// that is not finite becomes null, which JSON has in its place.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mirk::tool {

class JsonWriter {
 public:
  explicit JsonWriter(std::string& out) : out_(out) {}

  // A compact container keeps its values on one line.
  void BeginObject(bool compact = false);
  void EndObject();
  void BeginArray(bool compact = false);
  void EndArray();
  // Inside an object: the key of the next value.
  void Key(std::string_view key);

  void String(std::string_view value);
  void Number(double value);
  void Integer(long value);
  void Bool(bool value);
  void Null();

  // Key and value in one call.
  void Member(std::string_view key, std::string_view value) {
    Key(key);
    String(value);
  }
  void Member(std::string_view key, long value) {
    Key(key);
    Integer(value);
  }

  // Ends the document with a line break.
  void Finish();

 private:
  struct Level {
    bool compact;
    bool empty = true;
  };
  void BeforeValue();
  void Begin(char open, bool compact);
  void End(char close);
  void Indent();

  std::string& out_;
  std::vector<Level> levels_;
  bool afterKey_ = false;
};

// text as a JSON string literal, quotes included.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace mirk::tool
