#include <gtest/gtest.h>
#include <plist/plist.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "host/foundation/user_defaults.h"
#include "host/host.h"
#include "support/files.h"

using namespace host;
using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// Reads the file back with libplist; the caller frees the result.
plist_t readPlist(const fs::path& file) {
  const std::string bytes = readBytes(file);
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  return root;
}

class UserDefaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = makeTempRoot("lumora-defaults");
    boot({root, {}});
    file = devicePath("/var/mobile/Library/Preferences/test.suite.plist");
  }
  void TearDown() override {
    host::reset();
    fs::remove_all(root);
  }

  Ref<> open(const char* suite = "test.suite") {
    return rt::send(rt::send(rt::objc_getClass("NSUserDefaults"), sel::alloc),
                    sel::initWithSuiteName, NSStr(suite));
  }
  static NSUserDefaults& cxx(const Ref<>& store) { return dynamic_cast<NSUserDefaults&>(*store); }

  fs::path root, file;
};

Ref<> registered(std::initializer_list<std::pair<const char*, Ref<>>> pairs) {
  auto d = NSDictionary::make(true);
  for (auto& [key, value] : pairs) d->setObject(value.get(), NSStr(key).get());
  return d;
}

}  // namespace

TEST_F(UserDefaultsTest, StoredValueShadowsDefaultUntilRemoved) {
  Ref<> store = open();
  rt::send(store, sel::registerDefaults,
           registered({{"style", NSStr("modern")}, {"size", NSNumber::numberWithInteger(32)}}));
  EXPECT_TRUE(isString(rt::send(store, sel::valueForKey, LUMORA_STR("style")).get(), "modern"));

  rt::send(store, sel::setValue_forKey, LUMORA_STR("classic"), LUMORA_STR("style"));
  EXPECT_TRUE(isString(rt::send(store, sel::objectForKey, LUMORA_STR("style")).get(), "classic"));
  EXPECT_TRUE(isString(rt::send(store, sel::valueForKey, LUMORA_STR("style")).get(), "classic"));

  rt::send(store, sel::removeObjectForKey, LUMORA_STR("style"));
  EXPECT_TRUE(isString(rt::send(store, sel::objectForKey, LUMORA_STR("style")).get(), "modern"));
  EXPECT_FALSE(cxx(store).isStored("style"));
  EXPECT_EQ(rt::send(store, sel::integerForKey, LUMORA_STR("size")), 32);

  // Registered defaults are never written.
  plist_t written = readPlist(file);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(plist_dict_get_size(written), 0u);
  plist_free(written);

  // A key in neither layer reads as nothing.
  EXPECT_EQ(rt::send(store, sel::objectForKey, LUMORA_STR("absent")), nullptr);
  EXPECT_FALSE(rt::send(store, sel::boolForKey, LUMORA_STR("absent")));
  EXPECT_EQ(rt::send(store, sel::floatForKey, LUMORA_STR("absent")), 0.0f);
}

TEST_F(UserDefaultsTest, TypedReadsOfEachKind) {
  Ref<> store = open();
  rt::send(store, sel::registerDefaults,
           registered({{"yes", NSNumber::numberWithBool(true)},
                       {"real", NSNumber::numberWithDouble(2.75)},
                       {"text", NSStr("2.5")},
                       {"word", NSStr("YES")}}));
  EXPECT_TRUE(rt::send(store, sel::boolForKey, LUMORA_STR("yes")));
  EXPECT_EQ(rt::send(store, sel::integerForKey, LUMORA_STR("yes")), 1);
  EXPECT_EQ(rt::send(store, sel::integerForKey, LUMORA_STR("real")), 2);
  EXPECT_FLOAT_EQ(rt::send(store, sel::floatForKey, LUMORA_STR("real")), 2.75f);
  EXPECT_FLOAT_EQ(rt::send(store, sel::floatForKey, LUMORA_STR("text")), 2.5f);
  EXPECT_EQ(rt::send(store, sel::integerForKey, LUMORA_STR("text")), 2);
  EXPECT_TRUE(rt::send(store, sel::boolForKey, LUMORA_STR("word")));
  EXPECT_FALSE(rt::send(store, sel::boolForKey, LUMORA_STR("missing")));
}

class UserDefaultsFileTest : public UserDefaultsTest,
                             public ::testing::WithParamInterface<Format> {};

TEST_P(UserDefaultsFileTest, ReadsEveryKindAndKeepsBooleansApartFromIntegers) {
  plist_t dict = plist_new_dict();
  plist_dict_set_item(dict, "flag", plist_new_bool(1));
  plist_dict_set_item(dict, "one", plist_new_uint(1));
  plist_dict_set_item(dict, "negative", plist_new_uint(static_cast<uint64_t>(-5)));
  plist_dict_set_item(dict, "real", plist_new_real(1.5));
  plist_dict_set_item(dict, "huge", plist_new_real(-1e300));
  plist_dict_set_item(dict, "text", plist_new_string("dominant"));
  plist_t list = plist_new_array();
  plist_array_append_item(list, plist_new_string("a"));
  plist_dict_set_item(dict, "list", list);
  writePlist(file, dict, GetParam());

  Ref<> store = open();
  Ref<> flag = rt::send(store, sel::objectForKey, LUMORA_STR("flag"));
  Ref<> one = rt::send(store, sel::objectForKey, LUMORA_STR("one"));
  EXPECT_TRUE(isBooleanNumber(flag.get()));
  EXPECT_FALSE(isBooleanNumber(one.get()));
  EXPECT_EQ(rt::send(one, sel::integerValue), 1);
  EXPECT_EQ(rt::send(store, sel::integerForKey, LUMORA_STR("negative")), -5);
  EXPECT_DOUBLE_EQ(
      rt::send(rt::send(store, sel::objectForKey, LUMORA_STR("real")), sel::doubleValue), 1.5);
  EXPECT_EQ(rt::send(store, sel::integerForKey, LUMORA_STR("huge")), INT64_MIN);
  EXPECT_TRUE(isString(rt::send(store, sel::objectForKey, LUMORA_STR("text")).get(), "dominant"));
  EXPECT_EQ(rt::send(rt::send(store, sel::objectForKey, LUMORA_STR("list")), sel::count), 1u);

  // A rewrite keeps each kind, the negative integer included.
  rt::send(store, sel::setValue_forKey, NSNumber::numberWithBool(false), LUMORA_STR("other"));
  plist_t written = readPlist(file);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(plist_get_node_type(plist_dict_get_item(written, "flag")), PLIST_BOOLEAN);
  EXPECT_EQ(plist_get_node_type(plist_dict_get_item(written, "other")), PLIST_BOOLEAN);
  EXPECT_EQ(plist_get_node_type(plist_dict_get_item(written, "one")), PLIST_UINT);
  uint64_t negative = 0;
  plist_get_uint_val(plist_dict_get_item(written, "negative"), &negative);
  EXPECT_EQ(static_cast<int64_t>(negative), -5);
  plist_free(written);
}

TEST_P(UserDefaultsFileTest, RewriteKeepsFormatAndValuesOfUnknownKinds) {
  plist_t dict = plist_new_dict();
  plist_dict_set_item(dict, "when", plist_new_date(1000, 0));
  plist_dict_set_item(dict, "style", plist_new_string("classic"));
  writePlist(file, dict, GetParam());
  const bool wasBinary = readBytes(file).rfind("bplist", 0) == 0;

  Ref<> store = open();
  EXPECT_TRUE(cxx(store).isStored("when"));
  EXPECT_EQ(rt::send(store, sel::objectForKey, LUMORA_STR("when")), nullptr);
  rt::send(store, sel::setValue_forKey, LUMORA_STR("modern"), LUMORA_STR("style"));

  EXPECT_EQ(readBytes(file).rfind("bplist", 0) == 0, wasBinary);
  plist_t written = readPlist(file);
  ASSERT_NE(written, nullptr);
  int32_t seconds = 0, micros = 0;
  plist_get_date_val(plist_dict_get_item(written, "when"), &seconds, &micros);
  EXPECT_EQ(seconds, 1000);
  EXPECT_EQ(plist_string_val_compare(plist_dict_get_item(written, "style"), "modern"), 0);
  plist_free(written);
}

INSTANTIATE_TEST_SUITE_P(Formats, UserDefaultsFileTest,
                         ::testing::Values(Format::Xml, Format::Binary), [](const auto& info) {
                           return info.param == Format::Xml ? "Xml" : "Binary";
                         });

TEST_F(UserDefaultsTest, NewFileIsBinaryWrittenAtomicallyInCreatedFolders) {
  Ref<> store = open();
  EXPECT_FALSE(fs::exists(file.parent_path()));
  rt::send(store, sel::setValue_forKey, NSNumber::numberWithInteger(3), LUMORA_STR("n"));
  rt::send(store, sel::setValue_forKey, NSNumber::numberWithInteger(4), LUMORA_STR("n"));
  EXPECT_EQ(readBytes(file).rfind("bplist00", 0), 0u);
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(file.parent_path()))
    names.insert(entry.path().filename().string());
  // No temporary file is left; the lock file stays for the next writer.
  EXPECT_EQ(names, (std::set<std::string>{"test.suite.plist", ".test.suite.plist.lock"}));
  EXPECT_EQ(cxx(store).filePath(), file);
}

TEST_F(UserDefaultsTest, UnparseableFileReadsAsDefaultsAndIsNeverOverwritten) {
  const std::string garbage = "<?xml version=\"1.0\"?><plist><dict><key>a</key>";
  writeBytes(file, garbage);
  Ref<> store = open();
  rt::send(store, sel::registerDefaults, registered({{"a", NSStr("default")}}));
  EXPECT_FALSE(cxx(store).readable());
  EXPECT_NE(cxx(store).problem().find(file.string()), std::string::npos);
  EXPECT_TRUE(isString(rt::send(store, sel::objectForKey, LUMORA_STR("a")).get(), "default"));

  rt::send(store, sel::setValue_forKey, LUMORA_STR("x"), LUMORA_STR("a"));
  rt::send(store, sel::removeObjectForKey, LUMORA_STR("a"));
  WriteResult result = cxx(store).write("a", LUMORA_STR("x"));
  EXPECT_FALSE(result);
  EXPECT_NE(result.error.find(file.string()), std::string::npos);
  EXPECT_EQ(readBytes(file), garbage);
  EXPECT_TRUE(isString(rt::send(store, sel::objectForKey, LUMORA_STR("a")).get(), "default"));
  EXPECT_FALSE(rt::send(store, sel::synchronize));
}

TEST_F(UserDefaultsTest, PropertyListThatIsNotADictionaryIsUnreadable) {
  writePlist(file, plist_new_array(), Format::Xml);
  const std::string before = readBytes(file);
  Ref<> store = open();
  EXPECT_FALSE(cxx(store).readable());
  EXPECT_FALSE(cxx(store).write("k", LUMORA_STR("v")));
  EXPECT_EQ(readBytes(file), before);
}

TEST_F(UserDefaultsTest, FailedWriteChangesNothingAndSaysWhy) {
  // A plain file where the folder should be: the folder cannot be made.
  writeBytes(root / "var/mobile/Library/Preferences", "not a folder");
  Ref<> store = open();
  WriteResult result = cxx(store).write("k", LUMORA_STR("v"));
  EXPECT_FALSE(result);
  EXPECT_NE(result.error.find("Preferences"), std::string::npos);
  EXPECT_EQ(rt::send(store, sel::objectForKey, LUMORA_STR("k")), nullptr);
}

TEST_F(UserDefaultsTest, ExternalChangesArePickedUpOnRequestOnly) {
  plist_t dict = plist_new_dict();
  plist_dict_set_item(dict, "style", plist_new_string("classic"));
  writePlist(file, dict, Format::Xml);
  Ref<> store = open();

  dict = plist_new_dict();
  plist_dict_set_item(dict, "style", plist_new_string("modern"));
  plist_dict_set_item(dict, "added", plist_new_bool(1));
  writePlist(file, dict, Format::Xml);
  // Reads come from memory until the change is picked up.
  EXPECT_TRUE(isString(rt::send(store, sel::objectForKey, LUMORA_STR("style")).get(), "classic"));
  pickUpExternalDefaultsChanges();
  EXPECT_TRUE(isString(rt::send(store, sel::objectForKey, LUMORA_STR("style")).get(), "modern"));
  EXPECT_TRUE(rt::send(store, sel::boolForKey, LUMORA_STR("added")));

  // A file turned unparseable reads as empty; a deleted one too, and is writable again.
  writeBytes(file, "garbage");
  pickUpExternalDefaultsChanges();
  EXPECT_FALSE(cxx(store).readable());
  EXPECT_EQ(rt::send(store, sel::objectForKey, LUMORA_STR("style")), nullptr);
  fs::remove(file);
  pickUpExternalDefaultsChanges();
  EXPECT_TRUE(cxx(store).readable());
  EXPECT_TRUE(cxx(store).write("style", LUMORA_STR("dark")));
}

TEST_F(UserDefaultsTest, WriteAfterAnotherWriterKeepsItsChanges) {
  Ref<> store = open();
  rt::send(store, sel::setValue_forKey, LUMORA_STR("one"), LUMORA_STR("mine"));
  plist_t dict = plist_new_dict();
  plist_dict_set_item(dict, "mine", plist_new_string("one"));
  plist_dict_set_item(dict, "theirs", plist_new_string("panel"));
  writePlist(file, dict, Format::Binary);

  rt::send(store, sel::setValue_forKey, LUMORA_STR("two"), LUMORA_STR("mine"));
  plist_t written = readPlist(file);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(plist_string_val_compare(plist_dict_get_item(written, "theirs"), "panel"), 0);
  EXPECT_EQ(plist_string_val_compare(plist_dict_get_item(written, "mine"), "two"), 0);
  plist_free(written);
}

TEST_F(UserDefaultsTest, InstancesOfASuiteShareItsFileAndBadSuiteNamesGiveNoStore) {
  Ref<> a = open();
  Ref<> b = open();
  rt::send(a, sel::setValue_forKey, LUMORA_STR("v"), LUMORA_STR("k"));
  EXPECT_TRUE(isString(rt::send(b, sel::objectForKey, LUMORA_STR("k")).get(), "v"));

  EXPECT_EQ(open("../escape"), nullptr);
  EXPECT_EQ(open(""), nullptr);
  EXPECT_EQ(rt::send(rt::send(rt::objc_getClass("NSUserDefaults"), sel::alloc),
                     sel::initWithSuiteName, nullptr),
            nullptr);
}
