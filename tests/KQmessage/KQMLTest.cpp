#include "KQmessage/KQML.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/KQErrorText.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

TEST(KQstructure, ParsesAndPrintsTheTextForm) {
  const char* texts[] = {
      "(error :type invalid-message :expected rows)",
      "(a :b (c :d e) :f g)",
      "(x :k a:b)",  // a colon inside a token does not end it
      "leaf",
  };
  for (const char* text : texts) {
    auto s = TKQstructure::Parse(text);
    test::CaptureStream out(std::cout);
    s->Print();
    EXPECT_EQ(out.Text(), text);
  }
}

TEST(KQstructure, StructureWithoutFieldsPrintsAsBareName) {
  auto s = TKQstructure::Parse("  (params)\n");
  EXPECT_EQ(s->GetName(), "params");
  EXPECT_EQ(s->GetCount(), 0);
  EXPECT_EQ(s->ToText(), "params");
}

TEST(KQstructure, ParseTreatsUnprintableBytesAsSeparators) {
  auto s = TKQstructure::Parse("(e\t:type\x01\xC3\xA9x)");
  EXPECT_EQ(s->ToText(), "(e :type x)");
}

TEST(KQstructure, MalformedTextIsRefused) {
  const char* texts[] = {"", "(", "()", "(a :)", "(a b)", "(a :b c) d", "(a :b", ")", ":",
                         "(a :b (c)", "(a :(b) c)"};
  for (const char* text : texts) {
    test::CaptureStream err(std::cerr);
    EXPECT_NE(test::KQErrorText([&] { TKQstructure::Parse(text); }), "<no error>") << text;
  }
  test::CaptureStream err(std::cerr);
  test::KQErrorText([] { TKQstructure::Parse("(a :)"); });
  EXPECT_EQ(err.Text(), "special character unexpected\n");
}

TEST(KQstructure, DeepNestingIsRefusedNotOverflowed) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "(a :b ";
  EXPECT_NE(test::KQErrorText([&] { TKQstructure::Parse(text); }), "<no error>");
}

TEST(KQstructure, SetKeepsFirstSpellingAndPosition) {
  TKQstructure s("params");
  s.SetString("Threshold", "1");
  s.SetInteger("other", -7);
  s.SetNumber("THRESHOLD", 0.5);
  ASSERT_EQ(s.GetCount(), 2);
  EXPECT_EQ(s.ToText(), "(params :Threshold 0.500000 :other -7)");
  s.SetBoolean("flag", true);
  EXPECT_EQ(s.Lookup("FLAG")->GetName(), "true");
  EXPECT_EQ(s.Lookup("absent"), nullptr);
}

TEST(KQstructure, NumbersOfAnyMagnitudeFormatCompletely) {
  TKQstructure s("p");
  s.SetNumber("big", 1e300);
  EXPECT_EQ(s.Get("big")->GetName().size(), 301u + 7u);
  s.SetInteger("min", -9223372036854775807L - 1);
  EXPECT_EQ(s.Get("min")->GetName(), "-9223372036854775808");
}

TEST(KQstructure, RemoveMovesLastFieldIntoTheGap) {
  auto s = TKQstructure::Parse("(p :a 1 :b 2 :c 3)");
  s->Remove("A");
  EXPECT_EQ(s->ToText(), "(p :c 3 :b 2)");
  s->Remove("nothing");
  s->Remove("b");
  EXPECT_EQ(s->ToText(), "(p :c 3)");
}

TEST(KQstructure, CapacityGrowsByDoublingAndCopyTakesTheCount) {
  TKQstructure s;
  EXPECT_EQ(s.GetName(), "unknown");
  EXPECT_EQ(s.GetCapacity(), 16);
  for (int i = 0; i < 17; ++i) s.SetInteger("k" + std::to_string(i), i);
  EXPECT_EQ(s.GetCapacity(), 32);
  TKQstructure copy(s);
  EXPECT_EQ(copy.GetCapacity(), 17);
  EXPECT_NE(copy.Lookup("k3"), s.Lookup("k3"));
  TKQstructure empty(TKQstructure("x"));
  TKQstructure emptyCopy(empty);
  emptyCopy.SetString("a", "b");
  EXPECT_EQ(emptyCopy.GetCapacity(), 16);
}

TEST(KQstructure, RequireAndExpectDescribeWhatIsMissing) {
  auto s = TKQstructure::Parse("(p :mode fast)");
  EXPECT_EQ(s->Require("MODE")->GetName(), "fast");
  EXPECT_EQ(test::KQErrorText([&] { s->Require("rows"); }), "(error :type invalid-message :expected rows)");
  EXPECT_EQ(test::KQErrorText([&] { s->Expect("rows", ""); }), "(error :type invalid-message :expected rows)");
  EXPECT_EQ(test::KQErrorText([&] { s->Expect("mode", "slow"); }),
            "(error :type invalid-message :tag mode :expected-value slow)");
  s->Expect("mode", "FAST");
  s->Expect("mode", "");
}

TEST(KQstructure, LeafConversions) {
  EXPECT_TRUE(KQParseBoolean("true"));
  EXPECT_FALSE(KQParseBoolean("FaLsE"));
  EXPECT_EQ(test::KQErrorText([] { KQParseBoolean("yes"); }), "(error :type type-error :expected boolean)");
  EXPECT_EQ(KQParseLong("12abc"), 12);
  EXPECT_EQ(KQParseLong("  -3"), -3);
  EXPECT_EQ(test::KQErrorText([] { KQParseLong("x1"); }), "(error :type invalid-message :integer-expected x1)");
  EXPECT_DOUBLE_EQ(KQParseDouble("2.5e1x"), 25.0);
  EXPECT_EQ(test::KQErrorText([] { KQParseDouble("."); }), "(error :type invalid-message :number-expected .)");
  EXPECT_EQ(KQToLong("+8"), 8);
  EXPECT_DOUBLE_EQ(KQToDouble("-0.25"), -0.25);
}

TEST(KQstructure, NewErrorAndJoinArguments) {
  EXPECT_EQ(KQNewError("type-error")->ToText(), "(error :type type-error)");
  const char* words[] = {"prog", "a", "b"};
  EXPECT_EQ(KQJoinArguments(3, words), "a b ");
  EXPECT_EQ(KQJoinArguments(1, words), "");
  EXPECT_EQ(KQJoinArguments(0, words), "");
}

}  // namespace
}  // namespace mirk
