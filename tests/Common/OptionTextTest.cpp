#include "Common/OptionText.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace mirk {
namespace {

TEST(OptionText, TrimmingTouchesOnlyBlanks) {
  struct Case {
    const char* text;
    const char* left;
    const char* right;
    const char* both;
    const char* first;
  } cases[] = {
      {"  ab ", "ab ", "  ab", "ab", "ab"},
      {"   ", "", "", "", ""},
      {"", "", "", "", ""},
      {"\tx y\t", "\tx y\t", "\tx y\t", "\tx y\t", "\tx"},
      {" one two  three ", "one two  three ", " one two  three", "one two  three", "one"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrimLeft(c.text), c.left) << '"' << c.text << '"';
    EXPECT_EQ(TrimRight(c.text), c.right) << '"' << c.text << '"';
    EXPECT_EQ(Trim(c.text), c.both) << '"' << c.text << '"';
    EXPECT_EQ(FirstWord(c.text), c.first) << '"' << c.text << '"';
  }
  EXPECT_EQ(ReverseText("abc d"), "d cba");
  EXPECT_EQ(PadBlanks("x"), " x ");
  EXPECT_EQ(PadBlanks(""), "  ");
}

TEST(OptionText, BooleanWordsInAnyCase) {
  struct Case {
    const char* text;
    int status;
    bool value;
  } cases[] = {
      {"on", 0, true},     {"ON", 0, true},           {"True", 0, true},  {" true ", 0, true},
      {"off", 0, false},   {"FALSE", 0, false},       {"Off", 0, false},  {"yes", OPT_NOT_BOOLEAN, false},
      {"", OPT_NOT_BOOLEAN, false}, {"o n", OPT_NOT_BOOLEAN, false}, {"\ton", OPT_NOT_BOOLEAN, false},
  };
  for (const auto& c : cases) {
    for (bool start : {false, true}) {
      bool value = start;
      EXPECT_EQ(ParseOnOff(c.text, value), c.status) << c.text;
      EXPECT_EQ(value, c.status == 0 ? c.value : start) << c.text;  // untouched on failure
    }
  }
}

TEST(OptionText, KeysMatchWholeBlankDelimitedWordsCaseSensitively) {
  const char* options = "rate 0.5 verbose on depth 12 Rate 9 x\ty 3";
  struct Case {
    const char* key;
    int status;
    const char* word;
  } cases[] = {
      {"rate", 0, "0.5"},        {" rate  ", 0, "0.5"},   {"Rate", 0, "9"},  {"verbose", 0, "on"},
      {"rat", OPT_NOT_FOUND, ""}, {"ate", OPT_NOT_FOUND, ""}, {"RATE", OPT_NOT_FOUND, ""},
      {"x", OPT_NOT_FOUND, ""},  {"x\ty", 0, "3"},         {"3", 0, ""},
      {"0.5", 0, "verbose"},  // values are words too: the first hit counts
  };
  for (const auto& c : cases) {
    std::string word = "untouched";
    EXPECT_EQ(GetOptionWord(options, c.key, word), c.status) << c.key;
    EXPECT_EQ(word, c.status == 0 ? c.word : "untouched") << c.key;
  }
  std::string word;
  ASSERT_EQ(GetOptionWord("a b a c", "a", word), 0);
  EXPECT_EQ(word, "b");
  ASSERT_EQ(GetOptionWord("key      spaced   out", "key", word), 0);
  EXPECT_EQ(word, "spaced");
}

TEST(OptionText, TypedWords) {
  const std::string options = "rate 0.5 verbose on quiet FALSE mode yes n -12 m 7x w none big " +
                              std::to_string(std::numeric_limits<long>::max()) +
                              " small -9223372036854775808 huge 9223372036854775808 e 1e999";
  double d = -1;
  EXPECT_EQ(GetOptionDouble(options, "rate", d), 0);
  EXPECT_EQ(d, 0.5);
  EXPECT_EQ(GetOptionDouble(options, "w", d), 0);
  EXPECT_EQ(d, 0.0);
  EXPECT_EQ(GetOptionDouble(options, "e", d), 0);
  EXPECT_EQ(d, std::numeric_limits<double>::infinity());
  EXPECT_EQ(GetOptionDouble(options, "absent", d), OPT_NOT_FOUND);

  bool b = false;
  EXPECT_EQ(GetOptionBool(options, "verbose", b), 0);
  EXPECT_TRUE(b);
  EXPECT_EQ(GetOptionBool(options, "quiet", b), 0);
  EXPECT_FALSE(b);
  b = true;
  EXPECT_EQ(GetOptionBool(options, "mode", b), OPT_NOT_BOOLEAN);
  EXPECT_EQ(GetOptionBool(options, "absent", b), OPT_NOT_FOUND);
  EXPECT_TRUE(b);

  struct Case {
    const char* key;
    int status;
    long value;
  } longs[] = {
      {"n", 0, -12},
      {"m", 0, 7},
      {"w", 0, 0},
      {"big", 0, std::numeric_limits<long>::max()},
      {"small", 0, std::numeric_limits<long>::min()},
      {"huge", OPT_BAD_FORMAT, 99},
      {"absent", OPT_NOT_FOUND, 99},
  };
  for (const auto& c : longs) {
    long value = 99;
    EXPECT_EQ(GetOptionLong(options, c.key, value), c.status) << c.key;
    EXPECT_EQ(value, c.value) << c.key;
  }
}

TEST(OptionText, WordsOfAnyLength) {
  const std::string longWord(5000, 'w');
  std::string word;
  ASSERT_EQ(GetOptionWord("k " + longWord + " next", "k", word), 0);
  EXPECT_EQ(word, longWord);
  std::vector<std::string> items;
  ASSERT_EQ(GetOptionList("k {" + longWord + ",x}", "k", items), 0);
  EXPECT_EQ(items, (std::vector<std::string>{longWord, "x"}));
}

TEST(OptionText, ParenthesisedValue) {
  struct Case {
    const char* options;
    int status;
    const char* value;
  } cases[] = {
      {"init (0.1)", 0, "0.1"},
      {"init x y (a b) (c)", 0, "a b"},
      {"init ()", 0, ""},
      {"init ((x)", 0, "(x"},
      {"init 0.1", OPT_BAD_FORMAT, nullptr},
      {"init (0.1", OPT_BAD_FORMAT, nullptr},
      {"init )(", OPT_BAD_FORMAT, nullptr},
      {"(x) init", OPT_BAD_FORMAT, nullptr},  // only what follows the key counts
      {"init(0.1)", OPT_NOT_FOUND, nullptr},
  };
  for (const auto& c : cases) {
    std::string value = "untouched";
    EXPECT_EQ(GetParenValue(c.options, "init", value), c.status) << c.options;
    EXPECT_EQ(value, c.value != nullptr ? c.value : "untouched") << c.options;
  }
}

TEST(OptionText, BraceListsSplitAtCommasWithoutTrimming) {
  struct Case {
    const char* options;
    int status;
    std::vector<std::string> items;
  } cases[] = {
      {"sizes {3, 3, 5}", 0, {"3", " 3", " 5"}},
      {"sizes {a,,b} rest", 0, {"a", "", "b"}},
      {"sizes then {x} {y}", 0, {"x"}},
      {"sizes {}", 0, {}},
      {"sizes { }", 0, {" "}},
      {"sizes {,}", 0, {"", ""}},
      {"sizes {3, 3", OPT_BAD_FORMAT, {"untouched"}},
      {"sizes 3, 3", OPT_BAD_FORMAT, {"untouched"}},
      {"{1} sizes", OPT_BAD_FORMAT, {"untouched"}},
      {"size {1}", OPT_NOT_FOUND, {"untouched"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> items{"untouched"};
    EXPECT_EQ(GetOptionList(c.options, "sizes", items), c.status) << c.options;
    EXPECT_EQ(items, c.items) << c.options;
  }
}

TEST(OptionText, TypedLists) {
  std::vector<long> longs{42};
  EXPECT_EQ(GetOptionLongList("sizes {3, 3, 5}", "sizes", longs), 0);
  EXPECT_EQ(longs, (std::vector<long>{3, 3, 5}));
  EXPECT_EQ(GetOptionLongList("sizes {-1,x, 7y}", "sizes", longs), 0);
  EXPECT_EQ(longs, (std::vector<long>{-1, 0, 7}));
  EXPECT_EQ(GetOptionLongList("sizes {1, 99999999999999999999}", "sizes", longs), OPT_BAD_FORMAT);
  EXPECT_EQ(longs, (std::vector<long>{-1, 0, 7}));

  std::vector<double> doubles;
  EXPECT_EQ(GetOptionDoubleList("w {0.5, -2e-3,none}", "w", doubles), 0);
  EXPECT_EQ(doubles, (std::vector<double>{0.5, -2e-3, 0.0}));

  std::vector<bool> flags{true};
  EXPECT_EQ(GetOptionBoolList("f {on, OFF ,True}", "f", flags), 0);
  EXPECT_EQ(flags, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(GetOptionBoolList("f {on, maybe, junk}", "f", flags), OPT_NOT_BOOLEAN);
  EXPECT_EQ(GetOptionBoolList("g {on}", "f", flags), OPT_NOT_FOUND);
  EXPECT_EQ(flags, (std::vector<bool>{true, false, true}));
}

TEST(OptionText, FormattedListsReadBack) {
  EXPECT_EQ(FormatLongList(std::vector<long>{1, -2}), "{1, -2}");
  EXPECT_EQ(FormatLongList({}), "{}");
  EXPECT_EQ(FormatDoubleList(std::vector<double>{0.5}), "{0.5}");
  EXPECT_EQ(FormatDoubleList(std::vector<double>{1.0 / 3.0, 1e20, -0.0}), "{0.333333333333, 1e+20, -0}");

  const std::vector<long> longs{std::numeric_limits<long>::min(), 0, 17};
  std::vector<long> longsBack;
  ASSERT_EQ(GetOptionLongList("v " + FormatLongList(longs), "v", longsBack), 0);
  EXPECT_EQ(longsBack, longs);
  ASSERT_EQ(GetOptionLongList("v " + FormatLongList({}), "v", longsBack), 0);
  EXPECT_TRUE(longsBack.empty());

  const std::vector<double> doubles{0.25, -3.5, 1e-9};
  std::vector<double> doublesBack;
  ASSERT_EQ(GetOptionDoubleList("v " + FormatDoubleList(doubles), "v", doublesBack), 0);
  EXPECT_EQ(doublesBack, doubles);
}

}  // namespace
}  // namespace mirk
