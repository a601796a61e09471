// Property lists and text as the preference store meets them in files it did not
// write: UTF-8 checks, nesting and size limits applied before libplist parses, what a
// tree holds that a rewrite could not carry, and deep comparison of trees.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host/foundation/property_list.h"
#include "host/foundation/utf8.h"
#include "host/foundation/values.h"
#include "support/files.h"

using namespace host;
using std::string_literals::operator""s;

namespace {

constexpr size_t npos = std::string_view::npos;

std::string xmlPlist(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body +
         "</plist>\n";
}

// XML arrays nested `depth` deep (the innermost empty) as the value of "k".
std::string nestedXml(size_t depth) {
  std::string body = "<dict><key>k</key>";
  for (size_t i = 0; i < depth; ++i) body += "<array>";
  for (size_t i = 0; i < depth; ++i) body += "</array>";
  return xmlPlist(body + "</dict>");
}

plist::Node dictWith(const char* key, plist_t value) {
  plist::Node dict(plist_new_dict());
  plist_dict_set_item(dict.get(), key, value);
  return dict;
}

}  // namespace

TEST(Utf8, FindsTheFirstByteThatIsNotWellFormed) {
  EXPECT_EQ(utf8::invalidOffset("plain, caf\xc3\xa9, \xe4\xb8\xad, \xf0\x9f\x98\x80"), npos);
  EXPECT_EQ(utf8::invalidOffset("caf\xe9"), 3u);           // a Latin-1 byte
  EXPECT_EQ(utf8::invalidOffset("ab\xc0\x80"), 2u);        // overlong NUL
  EXPECT_EQ(utf8::invalidOffset("\xe0\x80\xaf"), 0u);      // overlong "/"
  EXPECT_EQ(utf8::invalidOffset("x\xed\xa0\x80"), 1u);     // a surrogate
  EXPECT_EQ(utf8::invalidOffset("\xf4\x90\x80\x80"), 0u);  // above U+10FFFF
  EXPECT_EQ(utf8::invalidOffset("ok\xe4\xb8"), 2u);        // cut short
  EXPECT_EQ(utf8::invalidOffset("\x80"), 0u);              // a lone continuation byte

  EXPECT_EQ(utf8::storageProblem("caf\xe9"), "byte 4 (0xE9) is not valid UTF-8");
  EXPECT_EQ(utf8::storageProblem("a\0b\xff"s), "byte 2 is a NUL");
  EXPECT_EQ(utf8::storageProblem("fine\ttext\n"), "");

  EXPECT_EQ(utf8::printable("caf\xe9\n\x1b[31m\t\xc2\x9b\xc3\xa9"),
            "caf\\xE9\\n\\x1B[31m\\t\\xC2\\x9B\xc3\xa9");
}

TEST(PropertyLists, NestingAtTheLimitParsesAndDeeperIsRefusedInBothFormats) {
  // The dictionary is one level, so arrays may nest one level less than the limit.
  EXPECT_TRUE(plist::parse(nestedXml(plist::kMaxDepth - 1)).root);
  EXPECT_TRUE(plist::parse(testing_support::nestedBinaryArrays(plist::kMaxDepth - 1)).root);
  for (size_t depth : {plist::kMaxDepth, size_t{40000}}) {
    for (const std::string& bytes :
         {nestedXml(depth), testing_support::nestedBinaryArrays(depth)}) {
      plist::Parsed parsed = plist::parse(bytes);
      EXPECT_FALSE(parsed.root) << depth;
      EXPECT_NE(parsed.error.find("deeper than 100 levels"), npos) << parsed.error;
    }
  }
  // Comments and CDATA nest nothing, and text in them does not count.
  EXPECT_TRUE(plist::parse(xmlPlist("<dict><!-- <array><array> --><key>k</key><string><![CDATA[<"
                                    "array>]]></string><key>e</key><array/></dict>"))
                  .root);
}

TEST(PropertyLists, SharedValuesBeyondTheLimitAndMalformedBinaryAreRefused) {
  // 30 levels each holding the next twice: a billion values in a few hundred bytes.
  plist::Parsed shared = plist::parse(testing_support::nestedBinaryArrays(30, 2));
  EXPECT_FALSE(shared.root);
  EXPECT_NE(shared.error.find("more than 1048576 values"), npos) << shared.error;
  EXPECT_TRUE(plist::parse(testing_support::nestedBinaryArrays(10, 2)).root);

  std::string cycle = testing_support::nestedBinaryArrays(3);
  // The first array (object 2) holds object 3; make it hold itself.
  const size_t ref = cycle.find('\xa1') + 1;
  cycle[ref + 3] = 2;
  EXPECT_FALSE(plist::parse(cycle).root);

  std::string outside = testing_support::nestedBinaryArrays(3);
  outside[ref + 3] = 9;  // an object that does not exist
  EXPECT_FALSE(plist::parse(outside).root);
  // Keys that are no string, or hold a NUL: libplist would abort on reading them back.
  // { key: true } with one-byte offsets and references.
  auto withKey = [](const std::string& key) {
    std::string out = "bplist00\xd1\x01\x02" + key + "\x09";
    const size_t table = out.size();
    out += {8, 11, static_cast<char>(11 + key.size())};  // where each object starts
    out += std::string(6, '\0') + "\x01\x01";            // offsets and references are one byte
    for (uint64_t field : {uint64_t{3}, uint64_t{0}, uint64_t{table}})  // objects, top, table
      for (int shift = 56; shift >= 0; shift -= 8) out += static_cast<char>(field >> shift);
    return out;
  };
  EXPECT_TRUE(plist::parse(withKey("\x53"
                                   "a-b"))
                  .root);
  EXPECT_FALSE(plist::parse(withKey("\x53"
                                    "a\0b"s))
                   .root);
  EXPECT_FALSE(plist::parse(withKey("\x62"
                                    "\0a\0\0"s))
                   .root);
  EXPECT_FALSE(plist::parse(withKey("\x10\x05")).root);

  std::string cut = testing_support::nestedBinaryArrays(3);
  EXPECT_FALSE(plist::parse(cut.substr(0, cut.size() - 1)).root);
  EXPECT_EQ(plist::parse("").error, "is not a property list");
}

TEST(PropertyLists, InspectTextFindsWhatAFileCannotCarry) {
  // libplist reads these strings from files, but cannot write them back unchanged.
  const std::string nul =
      xmlPlist("<dict><key>ok</key><string>fine</string><key>k</key><string>ab"s + '\0' +
               "cd</string></dict>");
  plist::Parsed parsed = plist::parse(nul);
  ASSERT_TRUE(parsed.root);
  EXPECT_EQ(plist::inspectText(parsed.root.get()).unwritable,
            "the value of \"k\": byte 3 is a NUL");

  parsed =
      plist::parse(xmlPlist("<dict><key>list</key><array><string>x</string><string>caf\xe9"
                            "</string></array></dict>"));
  ASSERT_TRUE(parsed.root);
  EXPECT_EQ(plist::inspectText(parsed.root.get()).unwritable,
            "the value of \"list\" > 1: byte 4 (0xE9) is not valid UTF-8");
  parsed = plist::parse(xmlPlist("<dict><key>caf\xe9</key><true/></dict>"));
  ASSERT_TRUE(parsed.root);
  EXPECT_EQ(plist::inspectText(parsed.root.get()).unwritable,
            "the key \"caf\\xE9\": byte 4 (0xE9) is not valid UTF-8");

  // XML carries tabs, line feeds and any other character, but no other control
  // character, no carriage return (read back as a line feed), no U+FFFE or U+FFFF.
  for (const char* text : {"tab\tand\nline", "caf\xc3\xa9 \xf0\x9f\x98\x80", "\x7f"}) {
    plist::Node dict = dictWith(text, plist_new_string(text));
    EXPECT_TRUE(plist::inspectText(dict.get()).xmlSafe) << text;
    EXPECT_EQ(plist::inspectText(dict.get()).unwritable, "") << text;
  }
  for (const char* text : {"bell\x07", "cr\r", "\xef\xbf\xbe", "\xef\xbf\xbf"}) {
    EXPECT_FALSE(plist::inspectText(dictWith("k", plist_new_string(text)).get()).xmlSafe) << text;
    EXPECT_FALSE(plist::inspectText(dictWith(text, plist_new_bool(1)).get()).xmlSafe) << text;
  }
}

TEST(PropertyLists, SameValueComparesWholeTrees) {
  auto tree = [](double real, const char* text, const char* key) {
    plist::Node dict(plist_new_dict());
    plist_t list = plist_new_array();
    plist_array_append_item(list, plist_new_real(real));
    plist_array_append_item(list, plist_new_string(text));
    plist_dict_set_item(dict.get(), key, list);
    plist_dict_set_item(dict.get(), "when", plist_new_date(1000, 5));
    plist_dict_set_item(dict.get(), "bytes", plist_new_data("\0\1", 2));
    return dict;
  };
  EXPECT_TRUE(plist::sameValue(tree(1.5, "a", "k").get(), tree(1.5, "a", "k").get()));
  EXPECT_TRUE(plist::sameValue(tree(0.0, "a", "k").get(), tree(-0.0, "a", "k").get()));
  EXPECT_TRUE(plist::sameValue(tree(NAN, "a", "k").get(), tree(NAN, "a", "k").get()));
  EXPECT_FALSE(plist::sameValue(tree(1.5, "a", "k").get(), tree(2.5, "a", "k").get()));
  EXPECT_FALSE(plist::sameValue(tree(1.5, "a", "k").get(), tree(1.5, "a", "j").get()));
  plist::Node other = tree(1.5, "a", "k");
  plist_dict_set_item(other.get(), "when", plist_new_date(1000, 6));
  EXPECT_FALSE(plist::sameValue(tree(1.5, "a", "k").get(), other.get()));
  plist_t one = plist_new_uint(1), yes = plist_new_bool(1);
  EXPECT_FALSE(plist::sameValue(one, yes));  // a boolean is no integer
  plist_free(one);
  plist_free(yes);
}

TEST(PropertyLists, ValuesThatCannotBeStoredAreNamedWithWhereTheProblemIs) {
  EXPECT_EQ(plist::unstorable(NSStr("fine").get()), "");
  EXPECT_EQ(plist::unstorable(NSStr("caf\xe9").get()), "byte 4 (0xE9) is not valid UTF-8");
  auto inner = NSDictionary::make(true);
  inner->setObject(NSStr("a\0b"s).get(), NSStr("name").get());
  Ref<> list = NSArray::make({NSStr("x"), inner});
  EXPECT_EQ(plist::unstorable(list.get()), "at 1 > \"name\": byte 2 is a NUL");
  EXPECT_EQ(plist::fromObject(list.get()), nullptr);
  auto badKey = NSDictionary::make(true);
  badKey->setObject(NSStr("v").get(), NSStr("\xff").get());
  EXPECT_EQ(plist::unstorable(badKey.get()), "the key \"\\xFF\": byte 1 (0xFF) is not valid UTF-8");

  // An array that holds itself is refused, not followed forever.
  auto loop = NSArray::make({}, true);
  loop->addObject(loop.get());
  EXPECT_NE(plist::unstorable(loop.get()).find("deeper than 100 levels"), npos);
  EXPECT_EQ(plist::fromObject(loop.get()), nullptr);
  loop->removeAllObjects();
}
