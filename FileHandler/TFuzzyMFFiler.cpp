#include "FileHandler/TFuzzyMFFiler.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "Common/NumberText.h"
#include "FileHandler/ParseTools.h"

namespace mirk {

namespace {

constexpr int kPrecision = 7;

constexpr const char* kLoadWhere = "TFuzzyMFFiler::LoadMFList";
// The operation name of the bounds error is spelled this way in the
// system's messages.
constexpr const char* kBoundsWhere = "TFuzzyMFFIler::LoadMFlist";
constexpr const char* kSaveWhere = "TFuzzyMFFiler::SaveMFList";

// The shortest texts a set and an MF can take: a count that would need more
// bytes than the rest of the file holds cannot be honest.
constexpr std::string_view kShortestSet =
    "[MFSet][MFSetInfo][Index=0][LowerBound=0 UpperBound=1][NumberOfMF=1][~MFSetInfo]"
    "[MF][Index=0][~MF][~MFSet]";
constexpr std::string_view kShortestMF = "[MF][Index=0][~MF]";

// ---- The five shapes by type name -----------------------------------------------

enum class Shape { Singleton, Triangular, Rectangular, LeftShoulder, RightShoulder, Unknown };

Shape ShapeOf(std::string_view type) noexcept {
  if (strcasecmp(type, "Singleton") == 0) return Shape::Singleton;
  if (strcasecmp(type, "Triangular") == 0) return Shape::Triangular;
  if (strcasecmp(type, "Rectangular") == 0) return Shape::Rectangular;
  if (strcasecmp(type, "LeftShoulderedTriangular") == 0) return Shape::LeftShoulder;
  if (strcasecmp(type, "RightShoulderedTriangular") == 0) return Shape::RightShoulder;
  return Shape::Unknown;
}

// ---- Writing --------------------------------------------------------------------

bool SameDouble(double a, double b) noexcept {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) ||
         (std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b));
}

// Seven decimals when they read back to the same double; otherwise the
// shortest fixed text that does, never with fewer than seven decimals.
std::string NumberText(double value) {
  std::string text = FormatFixed(value, kPrecision);
  double back = 0.0;
  if (ParseDoublePrefix(text, back) && SameDouble(back, value)) return text;
  // Sign, up to 309 integer digits or 324 decimals, point.
  text.resize(330);
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                    std::chars_format::fixed);
  MIRK_CHECK(result.ec == std::errc());
  text.resize(static_cast<std::size_t>(result.ptr - text.data()));
  const std::size_t point = text.find('.');
  const std::size_t decimals = point == std::string::npos ? 0 : text.size() - point - 1;
  if (point == std::string::npos) text.push_back('.');
  if (decimals < static_cast<std::size_t>(kPrecision)) text.append(kPrecision - decimals, '0');
  return text;
}

[[noreturn]] void RefuseToSave(const char* message) {
  throw TException(message, "Bad Parameter", kSaveWhere);
}

// A text the file would hold: none, or one token.
void CheckToken(const char* text) {
  if (text != nullptr && !IsSingleToken(text)) RefuseToSave("Name is not a single token");
}

void CheckWritable(const TMFSetList& list) {
  CheckToken(list.GetListName());
  for (int k = 0; k < list.GetVariablesRepresented(); ++k) {
    const TBasicMFSet* set = list.GetMFSet(k);
    if (set == nullptr) RefuseToSave("MF set slot empty");
    CheckToken(set->GetName());
    CheckToken(set->GetType());
    for (int j = 0; j < set->GetNumberOfMF(); ++j) {
      if (const TBasicMF* mf = set->GetMF(j)) {
        CheckToken(mf->GetName());
        CheckToken(mf->GetType());
      }
    }
  }
}

class MFListWriter {
 public:
  explicit MFListWriter(std::ostream& out) : out_(out) {}

  void List(const TMFSetList& list) {
    WriteBlockStart(buffer_, out_, "MFList", true);
    WriteNewLine(buffer_, out_);
    WriteBlockStart(buffer_, out_, "MFListInfo", true);
    WriteIntegerEntry(buffer_, out_, "VariablesRepresented", list.GetVariablesRepresented(), true);
    if (const char* name = list.GetListName()) WriteStringEntry(buffer_, out_, "ListName", name, true);
    WriteBlockEnd(buffer_, out_, "MFListInfo");
    WriteNewLine(buffer_, out_);
    for (int k = 0; k < list.GetVariablesRepresented(); ++k) Set(*list.GetMFSet(k), k);
    WriteBlockEnd(buffer_, out_, "MFList");
    WriteNewLine(buffer_, out_);
  }

 private:
  void Set(const TBasicMFSet& set, int index) {
    WriteBlockStart(buffer_, out_, "MFSet", true);
    WriteNewLine(buffer_, out_);
    WriteBlockStart(buffer_, out_, "MFSetInfo", true);
    NameIndexType(set.GetName(), index, set.GetType());
    Numbers({{"LowerBound", set.GetLowerBound()}, {"UpperBound", set.GetUpperBound()}});
    WriteIntegerEntry(buffer_, out_, "NumberOfMF", set.GetNumberOfMF(), true);
    WriteBlockEnd(buffer_, out_, "MFSetInfo");
    WriteNewLine(buffer_, out_);
    for (int j = 0; j < set.GetNumberOfMF(); ++j) MF(set.GetMF(j), j);
    WriteBlockEnd(buffer_, out_, "MFSet");
    WriteNewLine(buffer_, out_);
  }

  void MF(const TBasicMF* mf, int index) {
    WriteBlockStart(buffer_, out_, "MF", true);
    if (mf == nullptr) {
      NameIndexType(nullptr, index, nullptr);
    } else {
      NameIndexType(mf->GetName(), index, mf->GetType());
      Parameters(*mf);
    }
    WriteBlockEnd(buffer_, out_, "MF");
    WriteNewLine(buffer_, out_);
  }

  // The shape's parameters, chosen by its type name. A shape from outside
  // the library gets none, as the reader expects of an unknown type.
  void Parameters(const TBasicMF& mf) {
    switch (ShapeOf(mf.GetType())) {
      case Shape::Singleton:
        if (const auto* s = dynamic_cast<const TSingletonMF*>(&mf)) {
          WriteStringEntry(buffer_, out_, "Centre", NumberText(s->Centre), true);
        }
        return;
      case Shape::Triangular:
        if (const auto* t = dynamic_cast<const TTriangularMF*>(&mf)) {
          Numbers({{"LeftBound", t->LeftBound}, {"Centre", t->Centre}, {"RightBound", t->RightBound}});
        }
        return;
      case Shape::Rectangular:
        if (const auto* r = dynamic_cast<const TRectangularMF*>(&mf)) {
          Numbers({{"LeftBound", r->LeftBound}, {"RightBound", r->RightBound}});
        }
        return;
      case Shape::LeftShoulder:
        if (const auto* l = dynamic_cast<const TLShoulderTriangularMF*>(&mf)) {
          Numbers({{"Centre", l->Centre}, {"RightBound", l->RightBound}});
        }
        return;
      case Shape::RightShoulder:
        if (const auto* r = dynamic_cast<const TRShoulderTriangularMF*>(&mf)) {
          Numbers({{"LeftBound", r->LeftBound}, {"Centre", r->Centre}});
        }
        return;
      case Shape::Unknown:
        return;
    }
  }

  void NameIndexType(const char* name, int index, const char* type) {
    WriteOpenBracket(buffer_, out_, true);
    if (name != nullptr) WriteStringEntry(buffer_, out_, "Name", name, false);
    WriteIntegerEntry(buffer_, out_, "Index", index, false);
    if (type != nullptr) WriteStringEntry(buffer_, out_, "Type", type, false);
    WriteCloseBracket(buffer_, out_, true, true);
  }

  struct Number {
    const char* key;
    double value;
  };

  // One compound statement of numbers.
  void Numbers(std::initializer_list<Number> numbers) {
    WriteOpenBracket(buffer_, out_, true);
    for (const Number& n : numbers) WriteStringEntry(buffer_, out_, n.key, NumberText(n.value), false);
    WriteCloseBracket(buffer_, out_, true, true);
  }

  std::ostream& out_;
  ScratchBuffer buffer_;
};

// ---- Reading --------------------------------------------------------------------

struct NameIndexTypeParts {
  std::optional<std::string> name;
  long index = 0;
  std::optional<std::string> type;
};

const char* OrNull(const std::optional<std::string>& text) noexcept {
  return text ? text->c_str() : nullptr;
}

class MFListReader {
 public:
  MFListReader(std::istream& in, const TFuzzyMFFiler::Limits& limits)
      : in_(in),
        maxSets_(std::clamp(limits.maxSets, 0L, static_cast<long>(INT_MAX))),
        maxMFPerSet_(std::clamp(limits.maxMFPerSet, 0L, static_cast<long>(INT_MAX))) {}

  void List(std::unique_ptr<TMFSetList>& list) {
    const std::string top = OpenBlock(kNoBlock, "MFList");
    const std::string info = OpenBlock(top, "MFListInfo");
    const long sets = GetIntegerEntry(buffer_, in_, Plain(info), "VariablesRepresented");
    const std::string name = GetStringEntry(buffer_, in_, Plain(info), "ListName");
    CloseBlock(info);
    if (sets < 0) RefuseData("VariablesRepresented must be >= 0");
    CheckCount(sets, maxSets_, kShortestSet.size(), "VariablesRepresented", " sets");

    list = std::make_unique<TMFSetList>(static_cast<int>(sets), name.c_str());
    for (int k = 0; k < sets; ++k) list->SetMFSet(k, Set(top));
    CloseBlock(top);
  }

 private:
  std::unique_ptr<TBasicMFSet> Set(std::string_view top) {
    const std::string block = OpenBlock(top, "MFSet");
    const std::string info = OpenBlock(block, "MFSetInfo");
    const NameIndexTypeParts head = ReadNameIndexType(info);
    const Statement lowerPart = Next(info);
    const double lower = GetNumberEntry(buffer_, in_, lowerPart, "LowerBound");
    const Statement upperPart = Following(lowerPart, info);
    const double upper = GetNumberEntry(buffer_, in_, upperPart, "UpperBound");
    RequireClosed(upperPart);
    const long count = GetIntegerEntry(buffer_, in_, Plain(info), "NumberOfMF");
    CloseBlock(info);

    if (count < 1) RefuseData("NumberOfMF must be > 0");
    if (!(upper > lower)) throw TException("UpperBound must be > LowerBound", "Bad File Data", kBoundsWhere);
    CheckCount(count, maxMFPerSet_, kShortestMF.size(), "NumberOfMF", " MFs");

    auto set = std::make_unique<TBasicMFSet>(OrNull(head.type), OrNull(head.name),
                                             static_cast<int>(count), lower, upper);
    for (long j = 0; j < count; ++j) MF(block, *set);
    CloseBlock(block);
    return set;
  }

  void MF(std::string_view setBlock, TBasicMFSet& set) {
    const std::string block = OpenBlock(setBlock, "MF");
    const NameIndexTypeParts head = ReadNameIndexType(block);
    std::unique_ptr<TBasicMF> mf = head.type ? BuildShape(block, *head.type, OrNull(head.name)) : nullptr;
    if (mf != nullptr) {
      // An index beyond int is outside the set all the same.
      const bool fits = head.index >= INT_MIN && head.index <= INT_MAX;
      set.SetMF(fits ? static_cast<int>(head.index) : -1, std::move(mf));
    }
    CloseBlock(block);
  }

  // Reads the parameters of a shape and builds it; nullptr (reading
  // nothing) for a type that is none of the five.
  std::unique_ptr<TBasicMF> BuildShape(std::string_view block, std::string_view type,
                                       const char* name) {
    switch (ShapeOf(type)) {
      case Shape::Singleton: {
        const double centre = GetNumberEntry(buffer_, in_, Plain(block), "Centre");
        return std::make_unique<TSingletonMF>(name, centre);
      }
      case Shape::Triangular: {
        const auto [left, centre, right] = Numbers<3>(block, {"LeftBound", "Centre", "RightBound"});
        return std::make_unique<TTriangularMF>(name, left, centre, right);
      }
      case Shape::Rectangular: {
        const auto [left, right] = Numbers<2>(block, {"LeftBound", "RightBound"});
        return std::make_unique<TRectangularMF>(name, left, right);
      }
      case Shape::LeftShoulder: {
        const auto [centre, right] = Numbers<2>(block, {"Centre", "RightBound"});
        return std::make_unique<TLShoulderTriangularMF>(name, centre, right);
      }
      case Shape::RightShoulder: {
        const auto [left, centre] = Numbers<2>(block, {"LeftBound", "Centre"});
        return std::make_unique<TRShoulderTriangularMF>(name, left, centre);
      }
      case Shape::Unknown:
        break;
    }
    return nullptr;
  }

  // One compound statement of N numbers with these keys, in this order.
  template <std::size_t N>
  std::array<double, N> Numbers(std::string_view block, const std::array<const char*, N>& keys) {
    std::array<double, N> values{};
    Statement part = Next(block);
    for (std::size_t i = 0; i < N; ++i) {
      if (i > 0) part = Following(part, block);
      values[i] = GetNumberEntry(buffer_, in_, part, keys[i]);
    }
    RequireClosed(part);
    return values;
  }

  // [Name=... Index=... Type=...]: the Name and Type parts may be left out.
  NameIndexTypeParts ReadNameIndexType(std::string_view block) {
    NameIndexTypeParts parts;
    Statement part = Next(block);
    if (part.kind == StAssign && strcasecmp(part.name, "Name") == 0) {
      parts.name = std::move(part.value);
      part = Following(part, block);
    }
    parts.index = GetIntegerEntry(buffer_, in_, part, "Index");
    if (part.more) {
      part = Next(block, true);
      parts.type = GetStringEntry(buffer_, in_, part, "Type");
      RequireClosed(part);
    }
    return parts;
  }

  Statement Next(std::string_view block, bool continued = false) {
    return ReadStatement(buffer_, in_, block, continued);
  }

  // The part after `previous` in its bracket, or nothing when the bracket
  // closed with it (the entry readers then name what they expected).
  Statement Following(const Statement& previous, std::string_view block) {
    return previous.more ? Next(block, true) : Statement{};
  }

  // A statement that stands alone in its bracket.
  Statement Plain(std::string_view block) {
    Statement statement = Next(block);
    RequireClosed(statement);
    return statement;
  }

  void RequireClosed(const Statement& statement) {
    if (statement.more) throw FileTools::Error("Too complicated statement", &in_);
  }

  std::string OpenBlock(std::string_view parent, std::string_view name) {
    const Statement statement = Next(parent);
    std::string opened = ExpectBlockStart(buffer_, in_, statement, name);
    RequireClosed(statement);
    return opened;
  }

  void CloseBlock(std::string_view block) { ExpectBlockEnd(buffer_, in_, Next(block)); }

  [[noreturn]] void RefuseData(const std::string& message) {
    throw TException(message.c_str(), "Bad File Data", kLoadWhere);
  }

  // A count of slots the file announces: within the limit, and no more than
  // the rest of the stream can describe.
  void CheckCount(long count, long limit, std::size_t shortest, std::string_view key,
                  std::string_view unit) {
    if (count > limit) {
      RefuseData(std::string(key) + " exceeds the reader's limit of " + std::to_string(limit) +
                 std::string(unit));
    }
    const long remaining = RemainingBytes();
    if (remaining >= 0 && count > remaining / static_cast<long>(shortest)) {
      RefuseData(std::string(key) + " exceeds what the rest of the file can hold");
    }
  }

  // Bytes between the position and the end of the stream; -1 when the
  // stream cannot tell (a pipe).
  long RemainingBytes() {
    std::streambuf* buf = in_.rdbuf();
    if (buf == nullptr) return -1;
    const std::streampos here = buf->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    if (here == std::streampos(-1)) return -1;
    const std::streampos end = buf->pubseekoff(0, std::ios_base::end, std::ios_base::in);
    buf->pubseekpos(here, std::ios_base::in);
    if (end == std::streampos(-1)) return -1;
    return static_cast<long>(end - here);
  }

  std::istream& in_;
  ScratchBuffer buffer_;
  long maxSets_;
  long maxMFPerSet_;
};

}  // namespace

void TFuzzyMFFiler::SaveMFList(std::ostream& out, const TMFSetList& list) const {
  CheckWritable(list);
  MFListWriter(out).List(list);
  out.flush();
  if (out.fail()) throw FileTools::Error("Error on File Write", nullptr);
}

void TFuzzyMFFiler::LoadMFList(std::istream& in, std::unique_ptr<TMFSetList>& list) const {
  MFListReader(in, limits_).List(list);
}

}  // namespace mirk
