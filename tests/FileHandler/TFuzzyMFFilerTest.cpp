#include "FileHandler/TFuzzyMFFiler.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestUtil.h"

namespace mirk {
namespace {

constexpr const char* kFileData = "Bad File Data";
constexpr const char* kLoadWhere = "TFuzzyMFFiler::LoadMFList";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Fixture(const std::string& name) {
  return ReadFile(std::string(MIRK_TEST_DATA_DIR) + "/mflists/" + name);
}

// The list of tests/data/mflists/two-sets.mflist: every shape, named.
TMFSetList TwoSets() {
  TMFSetList list(2, "Inputs");
  auto speed = std::make_unique<TBasicMFSet>("Triangular", "Speed", 3, 0.0, 1.0);
  speed->SetMF(0, std::make_unique<TLShoulderTriangularMF>("Low", 0.0, 0.5));
  speed->SetMF(1, std::make_unique<TTriangularMF>("Mid", 0.0, 0.5, 1.0));
  speed->SetMF(2, std::make_unique<TRShoulderTriangularMF>("High", 0.5, 1.0));
  list.SetMFSet(0, std::move(speed));
  auto load = std::make_unique<TBasicMFSet>("Mixed", "Load", 2, -2.5, 250.0);
  load->SetMF(0, std::make_unique<TSingletonMF>("Exact", 0.1));
  load->SetMF(1, std::make_unique<TRectangularMF>("Band", -1.25, 100.0));
  list.SetMFSet(1, std::move(load));
  return list;
}

std::string Save(const TMFSetList& list) {
  std::ostringstream out;
  TFuzzyMFFiler().SaveMFList(out, list);
  return out.str();
}

std::unique_ptr<TMFSetList> Load(const std::string& text, const TFuzzyMFFiler::Limits& limits = {}) {
  std::istringstream in(text);
  std::unique_ptr<TMFSetList> list;
  TFuzzyMFFiler(limits).LoadMFList(in, list);
  return list;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// One set of one MF: the smallest list, to change one statement at a time.
const std::string kOneMF =
    "[MFList]\n[MFListInfo]\n[VariablesRepresented = 1]\n[ListName = L]\n[~MFListInfo]\n"
    "[MFSet]\n[MFSetInfo]\n[Name=S Index=0 Type=T ]\n[LowerBound=0.0 UpperBound=1.0 ]\n"
    "[NumberOfMF = 1]\n[~MFSetInfo]\n"
    "[MF]\n[Name=A Index=0 Type=Triangular ]\n[LeftBound=0 Centre=0.5 RightBound=1 ]\n[~MF]\n"
    "[~MFSet]\n[~MFList]\n";

// ---- Writing ----------------------------------------------------------------

TEST(SaveMFList, WritesTheReferenceTextByteForByte) {
  EXPECT_EQ(Save(TwoSets()), Fixture("two-sets.mflist"));
}

TEST(SaveMFList, TheDocumentedExampleIsWhatTheWriterWrites) {
  const std::string doc = ReadFile(std::string(MIRK_TEST_DATA_DIR) + "/../../doc/MFListFile.md");
  const std::string example = Fixture("two-sets.mflist");
  EXPECT_NE(doc.find("```\n" + example + "```\n"), std::string::npos);
}

TEST(SaveMFList, MissingNamesTypesAndMFsAreLeftOut) {
  TMFSetList list(1, nullptr);
  auto set = std::make_unique<TBasicMFSet>(nullptr, "", 2, 0.0, 1.0);
  set->SetMF(1, std::make_unique<TSingletonMF>(nullptr, 0.5));
  list.SetMFSet(0, std::move(set));
  const std::string text = Save(list);
  EXPECT_EQ(text,
            "[MFList]\n\n[MFListInfo]\n[VariablesRepresented = 1]\n[~MFListInfo]\n\n"
            "[MFSet]\n\n[MFSetInfo]\n[Index=0 ]\n[LowerBound=0.0000000 UpperBound=1.0000000 ]\n"
            "[NumberOfMF = 2]\n[~MFSetInfo]\n\n"
            "[MF]\n[Index=0 ]\n[~MF]\n\n"
            "[MF]\n[Index=1 Type=Singleton ]\n[Centre = 0.5000000]\n[~MF]\n\n"
            "[~MFSet]\n\n[~MFList]\n\n");
  // The list name is the one part the reader insists on.
  EXPECT_FILE_ERROR(Load(text), "[ListName = <string>] expected");
  const std::string named = Replace(text, "[~MFListInfo]", "[ListName = Named]\n[~MFListInfo]");
  const std::unique_ptr<TMFSetList> back = Load(named);
  TMFSetList expected(1, "Named");
  expected.SetMFSet(0, std::make_unique<TBasicMFSet>(nullptr, nullptr, 2, 0.0, 1.0));
  expected.GetMFSet(0)->SetMF(1, std::make_unique<TSingletonMF>(nullptr, 0.5));
  EXPECT_EQ(*back, expected);
  EXPECT_EQ(Save(*back), named);
}

TEST(SaveMFList, NumbersGetMoreDecimalsOnlyWhenSevenDoNotReadBack) {
  const struct {
    double value;
    std::string text;
  } cases[] = {
      {0.1, "0.1000000"},
      {-0.5, "-0.5000000"},
      {0.0, "0.0000000"},
      {12345678.25, "12345678.2500000"},
      {1e20, "100000000000000000000.0000000"},
      {0.50000001, "0.50000001"},
      {1e-9, "0.000000001"},
      {-1e-9, "-0.000000001"},
      {0.1 + 0.2, "0.30000000000000004"},
      {0x1p-1074, "0." + std::string(323, '0') + "5"},
  };
  for (const auto& c : cases) {
    TMFSetList list(1, "L");
    auto set = std::make_unique<TBasicMFSet>("T", "S", 1, -1e300, 1e300);
    set->SetMF(0, std::make_unique<TSingletonMF>("A", c.value));
    list.SetMFSet(0, std::move(set));
    const std::string text = Save(list);
    EXPECT_NE(text.find("[Centre = " + c.text + "]\n"), std::string::npos) << c.text;
    const auto back = Load(text);
    EXPECT_EQ(static_cast<const TSingletonMF*>(back->GetMFSet(0)->GetMF(0))->Centre, c.value) << c.text;
  }
}

// Bounds that seven decimals cannot tell apart used to make the writer's own
// file fail "UpperBound must be > LowerBound".
TEST(SaveMFList, BoundsCloserThanSevenDecimalsReadBack) {
  TMFSetList list(1, "L");
  auto set = std::make_unique<TBasicMFSet>("T", "S", 1, 0.5, 0.50000001);
  set->SetMF(0, std::make_unique<TSingletonMF>("A", 0.5));
  list.SetMFSet(0, std::move(set));
  const std::string text = Save(list);
  EXPECT_NE(text.find("[LowerBound=0.5000000 UpperBound=0.50000001 ]\n"), std::string::npos);
  EXPECT_EQ(*Load(text), list);
}

TEST(SaveMFList, RefusesWhatCouldNotBeReadBackBeforeWritingAnything) {
  const struct {
    const char* what;
    void (*spoil)(TMFSetList&);
    const char* message;
  } cases[] = {
      {"empty set slot", [](TMFSetList& l) { l.SetMFSet(1, nullptr); }, "MF set slot empty"},
      {"list name with a blank", [](TMFSetList& l) { l = TMFSetList(0, "Two words"); },
       "Name is not a single token"},
      {"set name with a bracket", [](TMFSetList& l) {
         l.SetMFSet(1, std::make_unique<TBasicMFSet>("T", "a]b", 1, 0, 1));
       }, "Name is not a single token"},
      {"set type with =", [](TMFSetList& l) {
         l.SetMFSet(1, std::make_unique<TBasicMFSet>("T=U", "S", 1, 0, 1));
       }, "Name is not a single token"},
      {"MF name with a comma", [](TMFSetList& l) {
         l.GetMFSet(0)->SetMF(2, std::make_unique<TSingletonMF>("a,b", 0));
       }, "Name is not a single token"},
      {"MF name with a tab", [](TMFSetList& l) {
         l.GetMFSet(0)->SetMF(2, std::make_unique<TSingletonMF>("a\tb", 0));
       }, "Name is not a single token"},
      {"MF name with a comment start", [](TMFSetList& l) {
         l.GetMFSet(0)->SetMF(2, std::make_unique<TSingletonMF>("a/*", 0));
       }, "Name is not a single token"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TMFSetList list = TwoSets();
    c.spoil(list);
    std::ostringstream out;
    EXPECT_TEXCEPTION(TFuzzyMFFiler().SaveMFList(out, list), c.message, "Bad Parameter",
                      "TFuzzyMFFiler::SaveMFList");
    EXPECT_EQ(out.str(), "");
  }
}

TEST(SaveMFList, AFailingStreamIsAnError) {
  std::ofstream full("/dev/full");
  ASSERT_TRUE(full.is_open());
  EXPECT_FILE_ERROR(TFuzzyMFFiler().SaveMFList(full, TwoSets()), "Error on File Write");
  std::ostringstream closed;
  closed.setstate(std::ios::badbit);
  EXPECT_FILE_ERROR(TFuzzyMFFiler().SaveMFList(closed, TwoSets()), "Error on File Write");
}

// ---- Reading ----------------------------------------------------------------

TEST(LoadMFList, ReadsTheReferenceTextBack) {
  const std::unique_ptr<TMFSetList> list = Load(Fixture("two-sets.mflist"));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(*list, TwoSets());
  const auto& mid = dynamic_cast<const TTriangularMF&>(*list->GetMFSet(0)->GetMF(1));
  EXPECT_EQ(mid.LeftBound, 0.0);
  EXPECT_EQ(mid.Centre, 0.5);
  EXPECT_EQ(mid.RightBound, 1.0);
  EXPECT_STREQ(list->GetMFSet(1)->GetType(), "Mixed");
}

TEST(LoadMFList, AnyLetterCaseSpacingCommentsAndVersionHeader) {
  const std::string text =
      "[FormatVersion = 1.0] /* written by hand */\n"
      "[mflist][MFLISTINFO][variablesrepresented=1],[listname = l][~mflistinfo]\n"
      "[mfset] [mfsetinfo] [ NAME = s , index = 7 type = t ] [lowerbound=0 upperbound=1]"
      "[numberofmf=1][~MFSETINFO]\n"
      "[mf][name=a index=0 type=rightshoulderedTRIANGULAR][leftbound=0.25 centre=0.75][~mf]"
      "[~mfset][~mflist]";
  const auto list = Load(text);
  const TBasicMF* mf = list->GetMFSet(0)->GetMF(0);
  ASSERT_NE(mf, nullptr);
  EXPECT_STREQ(mf->GetType(), "RightShoulderedTriangular");
  EXPECT_EQ(mf->GetMembership(0.5), 0.5);
  EXPECT_STREQ(list->GetListName(), "l");
}

TEST(LoadMFList, MFsArePlacedByTheirIndexSetsInFileOrder) {
  std::string text = Fixture("two-sets.mflist");
  // Sets keep file order whatever their Index says.
  text = Replace(text, "Name=Speed Index=0", "Name=Speed Index=5");
  text = Replace(text, "Name=Load Index=1", "Name=Load Index=-3");
  // MF blocks of the first set in the order 2, 0, 1.
  const std::string low = "[MF]\n[Name=Low Index=0 Type=LeftShoulderedTriangular ]\n"
                          "[Centre=0.0000000 RightBound=0.5000000 ]\n[~MF]\n\n";
  const std::string mid = "[MF]\n[Name=Mid Index=1 Type=Triangular ]\n"
                          "[LeftBound=0.0000000 Centre=0.5000000 RightBound=1.0000000 ]\n[~MF]\n\n";
  text = Replace(text, low + mid, "");
  text = Replace(text, "[~MFSet]", low + mid + "[~MFSet]");
  EXPECT_EQ(*Load(text), TwoSets());
}

TEST(LoadMFList, RepeatedIndexLeavesTheLaterMFAndAnEmptySlot) {
  const std::string text = Replace(Fixture("two-sets.mflist"), "Name=Mid Index=1", "Name=Mid Index=0");
  const auto list = Load(text);
  EXPECT_STREQ(list->GetMFSet(0)->GetMF(0)->GetName(), "Mid");
  EXPECT_EQ(list->GetMFSet(0)->GetMF(1), nullptr);
  // The empty slot is written so that it reads back empty.
  EXPECT_EQ(*Load(Save(*list)), *list);
}

TEST(LoadMFList, UnknownTypeLeavesItsSlotEmptyAndMustEndAtOnce) {
  const std::string unknown = Replace(
      kOneMF, "[Name=A Index=0 Type=Triangular ]\n[LeftBound=0 Centre=0.5 RightBound=1 ]\n",
      "[Name=A Index=0 Type=Trapezoid ]\n");
  const auto list = Load(unknown);
  EXPECT_EQ(list->GetMFSet(0)->GetMF(0), nullptr);
  EXPECT_FILE_ERROR(Load(Replace(kOneMF, "Type=Triangular", "Type=Trapezoid")), "End Tag expected");
}

TEST(LoadMFList, ValueErrors) {
  const struct {
    std::string from;
    std::string to;
    const char* message;
    const char* category;
    const char* where;
  } cases[] = {
      {"LowerBound=0.0 UpperBound=1.0", "LowerBound=1.0 UpperBound=1.0",
       "UpperBound must be > LowerBound", kFileData, "TFuzzyMFFIler::LoadMFlist"},
      {"LowerBound=0.0 UpperBound=1.0", "LowerBound=1.0 UpperBound=0.5",
       "UpperBound must be > LowerBound", kFileData, "TFuzzyMFFIler::LoadMFlist"},
      {"LowerBound=0.0 UpperBound=1.0", "LowerBound=nan UpperBound=1.0",
       "UpperBound must be > LowerBound", kFileData, "TFuzzyMFFIler::LoadMFlist"},
      {"[NumberOfMF = 1]", "[NumberOfMF = 0]", "NumberOfMF must be > 0", kFileData, kLoadWhere},
      // The count is checked before the bounds.
      {"LowerBound=0.0 UpperBound=1.0 ]\n[NumberOfMF = 1]", "LowerBound=2 UpperBound=1 ]\n[NumberOfMF = -4]",
       "NumberOfMF must be > 0", kFileData, kLoadWhere},
      {"[VariablesRepresented = 1]", "[VariablesRepresented = -1]", "VariablesRepresented must be >= 0",
       kFileData, kLoadWhere},
      {"Name=A Index=0", "Name=A Index=1", "Bad MF Number", "Invalid Parameter", "TBasicMFSet::SetMF"},
      {"Name=A Index=0", "Name=A Index=-1", "Bad MF Number", "Invalid Parameter", "TBasicMFSet::SetMF"},
      {"Name=A Index=0", "Name=A Index=4294967296", "Bad MF Number", "Invalid Parameter",
       "TBasicMFSet::SetMF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.to);
    EXPECT_TEXCEPTION(Load(Replace(kOneMF, c.from, c.to)), c.message, c.category, c.where);
  }
  // Accepted: the smallest step above the lower bound that seven decimals show.
  EXPECT_NO_THROW(Load(Replace(kOneMF, "LowerBound=0.0 UpperBound=1.0", "LowerBound=1.0 UpperBound=1.0000001")));
}

TEST(LoadMFList, NumberOfMFZeroIsReportedAfterTheSetInfoEnds) {
  // A broken end tag comes first: the count is judged only after it.
  const std::string text = Replace(Replace(kOneMF, "[NumberOfMF = 1]", "[NumberOfMF = 0]"),
                                   "[~MFSetInfo]", "[~MFSetInf]");
  EXPECT_FILE_ERROR(Load(text), "Unexpected End Tag");
}

TEST(LoadMFList, StructureErrors) {
  const struct {
    std::string from;
    std::string to;
    const char* message;
  } cases[] = {
      {"[MFSet]\n", "", "[MFSet] expected"},
      {"[NumberOfMF = 1]\n", "", "[NumberOfMF = <integer>] expected"},
      {"[NumberOfMF = 1]", "[NumberOfMF = one]", "integer-expected"},
      {"[ListName = L]\n", "", "[ListName = <string>] expected"},
      {"[~MF]\n", "[Centre = 1]\n[~MF]\n", "End Tag expected"},
      {"[Name=S Index=0 Type=T ]", "[Name=S Type=T Index=0 ]", "[Index = <integer>] expected"},
      {"[Name=S Index=0 Type=T ]", "[Name=S Index=0 Kind=T ]", "[Type = <string>] expectedKind"},
      {"[Name=S Index=0 Type=T ]", "[Name=S Index=0 Type=T Extra=1 ]", "Too complicated statement"},
      {"[Name=S Index=0 Type=T ]", "[Name=S]\n[Index=0 Type=T ]", "[Index = <integer>] expected"},
      {"[LowerBound=0.0 UpperBound=1.0 ]", "[LowerBound=0.0]\n[UpperBound=1.0]", "[UpperBound = <number>] expected"},
      {"[LowerBound=0.0 UpperBound=1.0 ]", "[UpperBound=1.0 LowerBound=0.0 ]", "[LowerBound = <number>] expected"},
      {"RightBound=1 ]", "RightBound=1 [~MF]", "Too complicated statement"},
      {"Centre=0.5 RightBound", "Centre=x RightBound", "number-expected"},
      {"[NumberOfMF = 1]", "[NumberOfMF = 1 More = 2]", "Too complicated statement"},
      {"[MFSet]", "[MFSet Extra]", "Too complicated statement"},
      {"[~MFList]\n", "", "Unexpected end of file"},
      {"[~MFSet]\n", "[MF]\n[Index=1 ]\n[~MF]\n[~MFSet]\n", "End Tag expected"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.to);
    EXPECT_FILE_ERROR(Load(Replace(kOneMF, c.from, c.to)), c.message);
  }
}

TEST(LoadMFList, TheCallerKeepsTheSetsReadBeforeAFailure) {
  const std::string text = Replace(Fixture("two-sets.mflist"), "Type=Rectangular ]\n[LeftBound=-1.2500000",
                                   "Type=Rectangular ]\n[LeftBound=oops");
  std::istringstream in(text);
  std::unique_ptr<TMFSetList> list;
  EXPECT_FILE_ERROR(TFuzzyMFFiler().LoadMFList(in, list), "number-expected");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetVariablesRepresented(), 2);
  EXPECT_EQ(*list->GetMFSet(0), *TwoSets().GetMFSet(0));
  EXPECT_EQ(list->GetMFSet(1), nullptr);
}

// A count is a promise about the rest of the file: neither a huge one nor
// one beyond the configured limit may allocate before the sets are there.
TEST(LoadMFList, CountsBeyondTheFileOrTheLimitAreRefusedBeforeAllocating) {
  const struct {
    std::string from;
    std::string to;
    TFuzzyMFFiler::Limits limits;
    const char* message;
  } cases[] = {
      {"[VariablesRepresented = 1]", "[VariablesRepresented = 2147483647]", {},
       "VariablesRepresented exceeds the reader's limit of 1048576 sets"},
      {"[VariablesRepresented = 1]", "[VariablesRepresented = 9223372036854775807]", {},
       "VariablesRepresented exceeds the reader's limit of 1048576 sets"},
      {"[VariablesRepresented = 1]", "[VariablesRepresented = 100000]", {},
       "VariablesRepresented exceeds what the rest of the file can hold"},
      {"[VariablesRepresented = 1]", "[VariablesRepresented = 3]", {},
       "VariablesRepresented exceeds what the rest of the file can hold"},
      {"[NumberOfMF = 1]", "[NumberOfMF = 1000000]", {},
       "NumberOfMF exceeds what the rest of the file can hold"},
      {"[NumberOfMF = 1]", "[NumberOfMF = 4294967296]", {},
       "NumberOfMF exceeds the reader's limit of 1048576 MFs"},
      {"[NumberOfMF = 1]", "[NumberOfMF = 2]", {1L << 20, 1}, "NumberOfMF exceeds the reader's limit of 1 MFs"},
      {"[VariablesRepresented = 1]", "[VariablesRepresented = 1]", {0, 1},
       "VariablesRepresented exceeds the reader's limit of 0 sets"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.to);
    EXPECT_TEXCEPTION(Load(Replace(kOneMF, c.from, c.to), c.limits), c.message, kFileData, kLoadWhere);
  }
}

TEST(LoadMFList, ANonSeekableStreamIsBoundByTheLimitAlone) {
  // A streambuf that cannot seek, like a pipe's.
  class Pipe : public std::stringbuf {
   public:
    using std::stringbuf::stringbuf;

   protected:
    pos_type seekoff(off_type, std::ios_base::seekdir, std::ios_base::openmode) override {
      return pos_type(off_type(-1));
    }
  };
  Pipe pipe(Fixture("two-sets.mflist"));
  std::istream in(&pipe);
  std::unique_ptr<TMFSetList> list;
  TFuzzyMFFiler().LoadMFList(in, list);
  EXPECT_EQ(*list, TwoSets());

  Pipe huge(Replace(kOneMF, "[NumberOfMF = 1]", "[NumberOfMF = 1000000000]"));
  std::istream hugeIn(&huge);
  EXPECT_TEXCEPTION(TFuzzyMFFiler().LoadMFList(hugeIn, list), "NumberOfMF exceeds the reader's limit of 1048576 MFs",
                    kFileData, kLoadWhere);
}

TEST(LoadMFList, StopsRightAfterTheListBlock) {
  std::istringstream in(Fixture("two-sets.mflist") + "[Next]");
  std::unique_ptr<TMFSetList> list;
  TFuzzyMFFiler().LoadMFList(in, list);
  std::string rest;
  in >> rest;
  EXPECT_EQ(rest, "[Next]");
}

}  // namespace
}  // namespace mirk
