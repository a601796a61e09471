// The controller's added methods: header and stack hiding, icons, the dominant colour
// through the shared cache, and the sender's picture.
#include "host/quartz/image_codec.h"
#include "host/springboard/app_groups.h"
#include "notification_fixture.h"
#include "notifications/system_selectors.h"

using rt::Ref;

namespace {

class IconsTest : public testing_support::NotificationFixture {
 protected:
  static std::vector<uint8_t> pngOf(uint32_t argb) {
    std::vector<uint32_t> pixels(30 * 30, argb);
    return host::encodePNG(*host::CGImage::fromPixels(30, 30, pixels.data()));
  }
};

}  // namespace

TEST_F(IconsTest, HidingAStackKeepsTheFirstCardAndFollowsTheGrouping) {
  boot();
  Ref<> first = host::showOnLockscreen(request().get(), "s", false);
  Ref<> second = host::showOnLockscreen(request().get(), "s", false);
  Ref<> banner = this->banner();
  layout();
  Ref<> firstCell = rt::send(first, sel::associatedView);
  Ref<> secondCell = rt::send(second, sel::associatedView);
  rt::send(second, sel::lumoraHideGroupedNotifications, true);
  EXPECT_FALSE(rt::send(firstCell, sel::isHidden));
  EXPECT_TRUE(rt::send(secondCell, sel::isHidden));
  rt::send(first, sel::lumoraHideGroupedNotifications, false);
  EXPECT_FALSE(rt::send(secondCell, sel::isHidden));
  rt::send(banner, sel::lumoraHideGroupedNotifications, true);  // a banner: nothing
  EXPECT_FALSE(rt::send(secondCell, sel::isHidden));
  // An expanded stack shows every card, whatever is asked.
  host::NCNotificationListView::cls.cast(rt::send(firstCell, sel::superview).get())
      ->setGrouped(false);
  rt::send(second, sel::lumoraHideGroupedNotifications, true);
  EXPECT_FALSE(rt::send(secondCell, sel::isHidden));
}

TEST_F(IconsTest, IconsComeFromTheIconModelElseTheCardsFirstIcon) {
  boot();
  banner();
  Ref<> masked =
      rt::send(controller, sel::getIconForBundleId_withMask, host::NSStr("com.example.mail"), true);
  Ref<> square = rt::send(controller, sel::getIconForBundleId_withMask,
                          host::NSStr("com.example.mail"), false);
  ASSERT_NE(masked, nullptr);
  EXPECT_NE(masked, square);
  Ref<> cardIcon = rt::send(rt::send(card, sel::icons), sel::firstObject);
  EXPECT_EQ(masked, cardIcon);  // the host's cache hands out the same image
  EXPECT_EQ(rt::send(controller, sel::getIconForBundleId_withMask, nullptr, false), cardIcon);
  EXPECT_EQ(rt::send(controller, sel::getIconForBundleId_withMask, host::NSStr("com.example.none"),
                     false),
            cardIcon);
  // An app without an icon picture, on a card without icons: nil.
  host::installApp({"com.example.bare", "Bare", "User", {}, false, false, false, nullptr});
  Ref<> bare = banner(request("com.example.bare"));
  EXPECT_EQ(rt::send(bare, sel::getIconForBundleId_withMask, host::NSStr("com.example.bare"), true),
            nullptr);
  EXPECT_EQ(rt::send(bare, sel::getDominantColor), nullptr);
}

TEST_F(IconsTest, TheDominantColourIsComputedOncePerIconAndAStackSharesItsFirst) {
  boot();
  host::installApp(
      {"com.example.green", "Green", "User", {}, false, false, false, picture(0xff22aa44)});
  Ref<> one = banner();
  Ref<> two = banner();
  Ref<> colour = rt::send(one, sel::getDominantColor);
  ASSERT_NE(colour, nullptr);
  EXPECT_EQ(rt::send(two, sel::getDominantColor), colour);  // the cached object itself
  EXPECT_EQ(rt::send(lumora::colorCache, sel::count), 1u);
  // On the lockscreen the stack's first notification decides for all of them.
  Ref<> front = host::showOnLockscreen(request("com.example.green").get(), "s", false);
  Ref<> behind = host::showOnLockscreen(request().get(), "s", false);
  layout();
  EXPECT_EQ(rt::send(behind, sel::getDominantColor), rt::send(front, sel::getDominantColor));
  EXPECT_NE(rt::send(behind, sel::getDominantColor), colour);
  EXPECT_EQ(rt::send(lumora::colorCache, sel::count), 2u);
  // The two system sections get none.
  installDoNotDisturb();
  EXPECT_EQ(rt::send(banner(request(lumora::kDoNotDisturbSection)), sel::getDominantColor),
            nullptr);
}

TEST_F(IconsTest, AMessagesSenderPictureComesFromTheirContact) {
  boot();
  host::addContact("ada", pngOf(0xffcc2233));
  host::addContact("bob", {});
  auto messages = [&](const char* person) { return banner(messageRequest(person)); };
  Ref<> picture = rt::send(messages("ada"), sel::getContactPicture);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(rt::send(picture, sel::scale), 3);
  EXPECT_EQ(rt::send(picture, sel::size), (rt::CGSize{10, 10}));
  EXPECT_EQ(rt::send(messages("bob"), sel::getContactPicture), nullptr);    // no picture
  EXPECT_EQ(rt::send(messages("carol"), sel::getContactPicture), nullptr);  // no contact
  EXPECT_EQ(rt::send(messages(nullptr), sel::getContactPicture), nullptr);  // no sender
  EXPECT_EQ(rt::send(banner(), sel::getContactPicture), nullptr);           // another app
}

TEST_F(IconsTest, FolderFinderMatchesTheGroupWithoutRegardToCase) {
  boot();
  ASSERT_EQ(host::createAppGroup("group.com.example.notes", "AAAA", {}), "");
  ASSERT_EQ(host::createAppGroup("Group.Net.WhatsApp.WhatsApp.Shared", "BBBB", {}), "");
  // A container without a metadata identifier is passed over.
  std::filesystem::create_directories(root / "var/mobile/Containers/Shared/AppGroup/CCCC");
  auto find = [](const char* identifier) {
    return host::formatObject(
        rt::send(cls::FolderFinder, sel::findSharedFolder, host::NSStr(identifier)).get());
  };
  EXPECT_EQ(find("group.net.whatsapp.WhatsApp.shared"),
            "/var/mobile/Containers/Shared/AppGroup/BBBB");
  EXPECT_EQ(find("group.com.example.notes"), "/var/mobile/Containers/Shared/AppGroup/AAAA");
  EXPECT_EQ(find("group.com.example.none"), "(null)");
  EXPECT_EQ(
      host::formatObject(rt::send(cls::FolderFinder, sel::findFolder_folder,
                                  host::NSStr("group.com.example.notes"), host::NSStr("/missing/"))
                             .get()),
      "(null)");
}

TEST_F(IconsTest, AWhatsAppPictureIsTheLastProfileFileOfTheThreadsPerson) {
  boot();
  const std::string profile = "Media/Profile/";
  ASSERT_EQ(host::createAppGroup("group.net.whatsapp.WhatsApp.shared", "W",
                                 {{profile + "4917-111.thumb", pngOf(0xff0000ff)},
                                  {profile + "4917-222.thumb", pngOf(0xff00ff00)},
                                  {profile + "49170-333.thumb", pngOf(0xffff0000)},
                                  {profile + "4918-7-444.thumb", pngOf(0xff123456)},
                                  {profile + "4919-1-2-3.thumb", pngOf(0xff654321)}}),
            "");
  auto pictureFor = [&](const char* thread) {
    host::NotificationFields fields;
    fields.section = "net.whatsapp.WhatsApp";
    fields.thread = thread ? thread : "";
    fields.title = "Chat";
    return rt::send(banner(host::NCNotificationRequest::make(fields)), sel::getContactPicture);
  };
  auto colourOf = [](Ref<> image) {
    const host::UIImage* picture = host::UIImage::cls.cast(image.get());
    return picture ? picture->pixels()->row(0)[0] : 0u;
  };
  // Two files of 4917: the one listed last; never 49170's.
  EXPECT_EQ(colourOf(pictureFor("4917@s.whatsapp.net")), 0xff00ff00u);
  EXPECT_EQ(colourOf(pictureFor("4918-7@g.us")), 0xff123456u);  // three parts
  EXPECT_EQ(pictureFor("4919@s.whatsapp.net"), nullptr);        // four parts never match
  EXPECT_EQ(colourOf(pictureFor("4917")), 0xff00ff00u);         // no "@": the whole id
  EXPECT_EQ(pictureFor(nullptr), nullptr);
}
