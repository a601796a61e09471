#include <gtest/gtest.h>
#include <plist/plist.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "host/foundation/file_io.h"
#include "host/foundation/property_list.h"
#include "host/foundation/user_defaults.h"
#include "host/host.h"
#include "support/files.h"

using namespace host;
using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// Reads the file back with libplist.
plist::Node readPlist(const fs::path& file) {
  const std::string bytes = readBytes(file);
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  return plist::Node(root);
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
  static bool reads(const Ref<>& store, const char* key, const std::string& text) {
    return isString(rt::send(store, sel::objectForKey, NSStr(key)).get(), text);
  }

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
  EXPECT_TRUE(reads(store, "style", "classic"));

  rt::send(store, sel::removeObjectForKey, LUMORA_STR("style"));
  EXPECT_TRUE(reads(store, "style", "modern"));
  EXPECT_FALSE(cxx(store).isStored("style"));
  EXPECT_EQ(rt::send(store, sel::integerForKey, LUMORA_STR("size")), 32);

  // Registered defaults are never written.
  const plist::Node written = readPlist(file);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(plist_dict_get_size(written.get()), 0u);

  EXPECT_EQ(rt::send(store, sel::objectForKey, LUMORA_STR("absent")), nullptr);  // in neither
}

class UserDefaultsFileTest : public UserDefaultsTest,
                             public ::testing::WithParamInterface<Format> {};

TEST_P(UserDefaultsFileTest, ReadsEveryKindAndKeepsBooleansApartFromIntegers) {
  plist_t dict = plist_new_dict();
  plist_dict_set_item(dict, "flag", plist_new_bool(1));
  plist_dict_set_item(dict, "one", plist_new_uint(1));
  plist_dict_set_item(dict, "negative", plist_new_uint(static_cast<uint64_t>(-5)));
  plist_dict_set_item(dict, "real", plist_new_real(1.5));
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
  EXPECT_TRUE(reads(store, "text", "dominant"));
  EXPECT_EQ(rt::send(rt::send(store, sel::objectForKey, LUMORA_STR("list")), sel::count), 1u);

  // A rewrite keeps each kind, the negative integer included.
  rt::send(store, sel::setValue_forKey, NSNumber::numberWithBool(false), LUMORA_STR("other"));
  const plist::Node written = readPlist(file);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(plist_get_node_type(plist_dict_get_item(written.get(), "flag")), PLIST_BOOLEAN);
  EXPECT_EQ(plist_get_node_type(plist_dict_get_item(written.get(), "other")), PLIST_BOOLEAN);
  EXPECT_EQ(plist_get_node_type(plist_dict_get_item(written.get(), "one")), PLIST_UINT);
  uint64_t negative = 0;
  plist_get_uint_val(plist_dict_get_item(written.get(), "negative"), &negative);
  EXPECT_EQ(static_cast<int64_t>(negative), -5);
}

INSTANTIATE_TEST_SUITE_P(Formats, UserDefaultsFileTest,
                         ::testing::Values(Format::Xml, Format::Binary), [](const auto& info) {
                           return info.param == Format::Xml ? "Xml" : "Binary";
                         });

TEST_F(UserDefaultsTest, NewFileIsBinaryWrittenAtomicallyInCreatedFolders) {
  Ref<> store = open();
  EXPECT_FALSE(fs::exists(file.parent_path()));
  rt::send(store, sel::setValue_forKey, NSNumber::numberWithInteger(3), LUMORA_STR("n"));
  writeBytes(file.parent_path() / ".test.suite.plist.Xy12Zw", "half a file a killed write left");
  rt::send(store, sel::setValue_forKey, NSNumber::numberWithInteger(4), LUMORA_STR("n"));
  EXPECT_EQ(readBytes(file).rfind("bplist00", 0), 0u);
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(file.parent_path()))
    names.insert(entry.path().filename().string());
  // No temporary file is left, nor one a killed write left; the lock file stays.
  EXPECT_EQ(names, (std::set<std::string>{"test.suite.plist", ".test.suite.plist.lock"}));
  EXPECT_EQ(cxx(store).filePath(), file);
}

TEST_F(UserDefaultsTest, UnreadableFileReadsAsDefaultsAndIsNeverOverwritten) {
  for (const std::string& bad :
       {std::string("<?xml version=\"1.0\"?><plist><dict><key>a</key>"),
        std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>")}) {
    writeBytes(file, bad);
    pickUpExternalDefaultsChanges();
    Ref<> store = open();
    rt::send(store, sel::registerDefaults, registered({{"a", NSStr("default")}}));
    EXPECT_FALSE(cxx(store).readable());
    EXPECT_NE(cxx(store).problem().find(file.string()), std::string::npos);
    EXPECT_TRUE(reads(store, "a", "default"));
    rt::send(store, sel::setValue_forKey, LUMORA_STR("x"), LUMORA_STR("a"));
    rt::send(store, sel::removeObjectForKey, LUMORA_STR("a"));
    WriteResult result = cxx(store).write("a", LUMORA_STR("x"));
    EXPECT_FALSE(result);
    EXPECT_NE(result.error.find(file.string()), std::string::npos);
    EXPECT_EQ(readBytes(file), bad);
    EXPECT_TRUE(reads(store, "a", "default"));
    EXPECT_FALSE(rt::send(store, sel::synchronize));
  }
}

TEST_F(UserDefaultsTest, FailedWriteChangesNothingAndSaysWhy) {
  // A plain file where the folder should be; /proc, which takes no new folders even from
  // root, as a read-only disk would.
  writeBytes(root / "var/mobile/Library/Preferences", "not a folder");
  for (const fs::path& device : {root, fs::path("/proc")}) {
    host::reset();
    boot({device, {}});
    Ref<> store = open();
    WriteResult result = cxx(store).write("k", LUMORA_STR("v"));
    EXPECT_FALSE(result);
    EXPECT_NE(result.error.find((device / "var").string()), std::string::npos) << result.error;
    EXPECT_EQ(rt::send(store, sel::objectForKey, LUMORA_STR("k")), nullptr);
  }
}

TEST_F(UserDefaultsTest, ExternalChangesArePickedUpOnRequestOnly) {
  writePlist(file, plistDict({{"style", plist_new_string("classic")}}), Format::Xml);
  Ref<> store = open();

  writePlist(file, plistDict({{"style", plist_new_string("modern")}, {"added", plist_new_bool(1)}}),
             Format::Xml);
  // Reads come from memory until the change is picked up.
  EXPECT_TRUE(reads(store, "style", "classic"));
  pickUpExternalDefaultsChanges();
  EXPECT_TRUE(reads(store, "style", "modern"));
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
  writePlist(file,
             plistDict({{"mine", plist_new_string("one")}, {"theirs", plist_new_string("panel")}}),
             Format::Binary);

  rt::send(store, sel::setValue_forKey, LUMORA_STR("two"), LUMORA_STR("mine"));
  const plist::Node written = readPlist(file);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(plist_string_val_compare(plist_dict_get_item(written.get(), "theirs"), "panel"), 0);
  EXPECT_EQ(plist_string_val_compare(plist_dict_get_item(written.get(), "mine"), "two"), 0);
}

TEST_F(UserDefaultsTest, InstancesOfASuiteShareItsFileAndBadSuiteNamesGiveNoStore) {
  Ref<> a = open();
  Ref<> b = open();
  rt::send(a, sel::setValue_forKey, LUMORA_STR("v"), LUMORA_STR("k"));
  EXPECT_TRUE(reads(b, "k", "v"));

  EXPECT_EQ(open("../escape"), nullptr);
  EXPECT_EQ(open(""), nullptr);
  EXPECT_EQ(rt::send(rt::send(rt::objc_getClass("NSUserDefaults"), sel::alloc),
                     sel::initWithSuiteName, nullptr),
            nullptr);
}

// ---- Files the store did not write, and values it cannot write back (the property
// lists' tests name what cannot be written; the tool's, that nothing is)

TEST_P(UserDefaultsFileTest, TextXmlCannotCarryIsWrittenInBinaryAndSurvives) {
  writePlist(file, plistDict({{"style", plist_new_string("classic")}}), GetParam());
  Ref<> store = open();
  const std::string bell = "ring\x07", cr = "line\r\nend";
  ASSERT_TRUE(cxx(store).write("bell", NSStr(bell).get()));
  ASSERT_TRUE(cxx(store).write("cr", NSStr(cr).get()));
  EXPECT_EQ(readBytes(file).rfind("bplist00", 0), 0u);

  host::reset();
  boot({root, {}});
  Ref<> again = open();
  EXPECT_TRUE(reads(again, "bell", bell));
  EXPECT_TRUE(reads(again, "cr", cr));
  EXPECT_TRUE(reads(again, "style", "classic"));
}

TEST_F(UserDefaultsTest, WriteThatWouldExceedTheSizeLimitIsRefused) {
  Ref<> store = open();
  ASSERT_TRUE(cxx(store).write("small", LUMORA_STR("v")));
  WriteResult big =
      cxx(store).write("big", NSData::make(std::vector<uint8_t>(kMaxPreferenceFileBytes, 1)).get());
  EXPECT_FALSE(big);
  EXPECT_NE(big.error.find("more than the 4 MiB allowed"), std::string::npos) << big.error;
  EXPECT_EQ(cxx(store).storedKeys(), std::vector<std::string>{"small"});
}

TEST_F(UserDefaultsTest, HandWrittenFileOfEveryKindIsRewrittenUnchangedAndStaysXml) {
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
      "<key>real</key><real>0.1</real><key>when</key><date>2021-03-04T05:06:07Z</date>"
      "<key>blob</key><data>AAEC/w==</data><key>list</key><array><integer>-3</integer>"
      "<string>caf\xc3\xa9</string><array><true/></array></array>"
      "<key>nested</key><dict><key>inner</key><dict><key>x</key><real>1e300</real></dict>"
      "</dict></dict></plist>";
  writeBytes(file, xml);
  const plist::Node original = readPlist(file);
  ASSERT_NE(original, nullptr);
  Ref<> store = open();
  ASSERT_TRUE(cxx(store).write("added", LUMORA_STR("yes")));
  EXPECT_EQ(readBytes(file).rfind("<?xml", 0), 0u);
  const plist::Node written = readPlist(file);
  ASSERT_NE(written, nullptr);
  plist_dict_remove_item(written.get(), "added");
  EXPECT_TRUE(plist::sameValue(original.get(), written.get()));
}

TEST_F(UserDefaultsTest, LinkOutOfTheRootIsReadAndItsTargetKept) {
  const fs::path outside = makeTempRoot("lumora-outside") / "settings.plist";
  writePlist(outside, plistDict({{"style", plist_new_string("classic")}}), Format::Xml);
  const std::string target = readBytes(outside);
  fs::create_directories(file.parent_path());
  fs::create_symlink(outside, file);

  Ref<> store = open();
  EXPECT_TRUE(reads(store, "style", "classic"));
  ASSERT_TRUE(cxx(store).write("added", LUMORA_STR("yes")));
  // The new file takes the link's place; the file outside the root is not written.
  EXPECT_FALSE(fs::is_symlink(file));
  EXPECT_EQ(readBytes(outside), target);
  EXPECT_TRUE(reads(store, "style", "classic"));
  fs::remove_all(outside.parent_path());
}

// ---- Writers in turn

TEST_F(UserDefaultsTest, WriterWaitsForTheLockAndGivesUpWithoutChangingAnything) {
  Ref<> store = open();
  ASSERT_TRUE(cxx(store).write("a", LUMORA_STR("1")));
  const std::string before = readBytes(file);
  setDefaultsWritePatience(std::chrono::milliseconds(100));
  {
    WriteLock other(file, std::chrono::seconds(1));
    ASSERT_TRUE(other.held());
    WriteResult result = cxx(store).write("a", LUMORA_STR("2"));
    EXPECT_FALSE(result);
    EXPECT_NE(result.error.find("nothing was changed"), std::string::npos) << result.error;
  }
  setDefaultsWritePatience(std::chrono::seconds(10));
  EXPECT_EQ(readBytes(file), before);
  EXPECT_TRUE(cxx(store).write("a", LUMORA_STR("2")));
}
