#include "host/springboard/media_player.h"

#include <algorithm>

#include "host/foundation/notification_center.h"
#include "host/springboard/presentation.h"
#include "host/uikit/bezier_path.h"
#include "host/uikit/colour.h"
#include "host/uikit/image_view.h"
#include "host/uikit/material_view.h"

namespace host {
namespace {

struct MediaState {
  Ref<> controller, coverSheet, platter;
  bool lockscreenHidden = false;  // the device was unlocked
};
MediaState& state() {
  static MediaState s;
  return s;
}

Ref<> makeLabel(UIView& parent, CGFloat size, bool bold, Ref<> colour) {
  Ref<> label = addNewSubview(parent, UILabel::cls);
  rt::send(label, sel::setFont, UIFont::make(size, bold));
  rt::send(label, sel::setTextColor, colour);
  return label;
}

// A rounded bar of one colour (the progress and volume tracks).
Ref<> makeBar(UIView& parent, Ref<> colour) {
  Ref<> bar = addNewSubview(parent, UIView::cls);
  rt::send(bar, sel::setBackgroundColor, colour);
  rt::send(rt::send(bar, sel::layer), sel::setCornerRadius, CGFloat{2});
  return bar;
}

// A 44 x 44 button drawn as filled polygons (points within the button) in `colour`, as
// the host's transport glyphs.
Ref<> makeGlyphButton(UIView& parent, const std::vector<std::vector<CGPoint>>& polygons,
                      id colour) {
  Ref<> button = addNewSubview(parent, UIView::cls);
  Ref<> path = rt::send(UIBezierPath::cls.get(), sel::new_);
  for (const auto& polygon : polygons) {
    rt::send(path, sel::moveToPoint, polygon.front());
    for (size_t i = 1; i < polygon.size(); ++i) rt::send(path, sel::addLineToPoint, polygon[i]);
  }
  Ref<> shape = rt::send(CAShapeLayer::cls.get(), sel::layer);
  rt::send(shape, sel::setPath, rt::send(path, sel::CGPath));
  rt::send(shape, sel::setFillColor, colour);
  rt::send(shape, sel::setFrame, CGRect{{0, 0}, {44, 44}});
  rt::send(rt::send(button, sel::layer), sel::addSublayer, shape);
  return button;
}

CGFloat fittingWidth(id label) {
  return rt::send(label, sel::sizeThatFits, CGSize{}).width;
}

Ref<> defaultCenter() {
  return rt::send(cls::NSNotificationCenter, sel::defaultCenter);
}

Ref<> infoValue(id info, const char* key) {
  return rt::send(info, sel::objectForKey, NSStr(key));
}

// Puts the player on the cover sheet while a track plays and the lockscreen shows, and
// takes it off otherwise; the lockscreen window then lays the list out around it.
void updatePlayer() {
  MediaState& s = state();
  const bool wanted = now_playing::currentInfo() && !s.lockscreenHidden;
  Ref<> platter = wanted ? mediaPlatter() : s.platter;
  UIView* p = UIView::cls.cast(platter.get());
  if (!p) return;
  const bool shown = p->superviewPointer() != nullptr;
  if (wanted && !shown) {
    Ref<> coverView = rt::send(coverSheetController(), sel::view);
    if (!coverView) return;
    Ref<> window = showLockscreenWindow();
    if (!rt::send(coverView, sel::superview))
      rt::send(window, sel::insertSubview_atIndex, coverView, int64_t{0});
    // Laid out in its place before it shows, so that what runs as it moves to the window
    // sees its final geometry.
    rt::send(platter, sel::setFrame,
             CSCoverSheetView::playerFrame(rt::send(window, sel::bounds).size.width));
    rt::send(platter, sel::layoutIfNeeded);
    rt::send(coverView, sel::addSubview, platter);
  } else if (!wanted && shown) {
    rt::send(platter, sel::removeFromSuperview);
  }
  rt::send(lockscreenWindow(), sel::setNeedsLayout);
}

}  // namespace

// ---- The controls

Ref<> CSMediaControlsView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  // Text and glyphs in the label colours and tracks in the fill colours, all dynamic as
  // the platform's, so they turn light in the dark style. The empty track's fill is
  // strong enough to stand out 3:1 from the platter in either style (model's choice).
  Ref<> black = UIColor::makeDynamic({0, 0, 0, 1}, {1, 1, 1, 1});
  Ref<> grey = UIColor::makeDynamic({0.45, 0.45, 0.47, 1}, {0.6, 0.6, 0.63, 1});
  Ref<> track = UIColor::makeDynamic({0, 0, 0, 0.45}, {1, 1, 1, 0.45});
  Ref<> elapsed = UIColor::makeDynamic({0.3, 0.3, 0.32, 1}, {0.85, 0.85, 0.87, 1});
  artworkView_ = addNewSubview(*this, UIImageView::cls);
  rt::send(artworkView_, sel::setContentMode, UIViewContentModeScaleAspectFill);
  rt::send(artworkView_, sel::setBackgroundColor, UIColor::make(0.85, 0.85, 0.87, 1));
  rt::send(artworkView_, sel::setClipsToBounds, true);
  rt::send(rt::send(artworkView_, sel::layer), sel::setCornerRadius, CGFloat{8});
  titleLabel_ = makeLabel(*this, 15, true, black);
  artistLabel_ = makeLabel(*this, 15, false, grey);
  progressTrack_ = makeBar(*this, track);
  progressFill_ = makeBar(*this, elapsed);
  elapsedLabel_ = makeLabel(*this, 11, false, grey);
  remainingLabel_ = makeLabel(*this, 11, false, grey);
  rt::send(elapsedLabel_, sel::setText, NSStr("1:12"));
  rt::send(remainingLabel_, sel::setText, NSStr("-2:05"));
  previousButton_ = makeGlyphButton(
      *this, {{{22, 16}, {22, 28}, {12, 22}}, {{32, 16}, {32, 28}, {22, 22}}}, black.get());
  playButton_ = makeGlyphButton(
      *this, {{{15, 13}, {20, 13}, {20, 31}, {15, 31}}, {{25, 13}, {30, 13}, {30, 31}, {25, 31}}},
      black.get());
  nextButton_ = makeGlyphButton(
      *this, {{{12, 16}, {22, 22}, {12, 28}}, {{22, 16}, {32, 22}, {22, 28}}}, black.get());
  volumeTrack_ = makeBar(*this, track);
  // The transport buttons and the scrubber (its track, fill and times) keep their
  // left-to-right order in a right-to-left layout, as playback controls do on the host;
  // the artwork, the texts and the volume mirror.
  for (const Ref<>& view : {progressTrack_, progressFill_, elapsedLabel_, remainingLabel_,
                            previousButton_, playButton_, nextButton_})
    rt::send(view, sel::setSemanticContentAttribute, int64_t{UISemanticContentAttributePlayback});
  return ref();
}

void CSMediaControlsView::showTrack(id title, id artist, id artwork) {
  rt::send(titleLabel_, sel::setText, title);
  rt::send(artistLabel_, sel::setText, artist);
  rt::send(artworkView_, sel::setImage, artwork);
}

void CSMediaControlsView::layoutSubviews() {
  const CGFloat w = bounds().size.width, inner = std::max<CGFloat>(w - 2 * kInset, 0);
  const CGFloat textX = kInset + kArtworkSide + 12;
  const CGFloat textWidth = std::max<CGFloat>(w - textX - kInset, 0);
  auto place = [w](id view, CGRect frame) { setMirroredFrame(view, frame, w); };
  place(artworkView_.get(), {{kInset, kInset}, {kArtworkSide, kArtworkSide}});
  const CGFloat titleHeight = rt::send(titleLabel_, sel::sizeThatFits, CGSize{textWidth, 0}).height;
  const CGFloat artistHeight =
      rt::send(artistLabel_, sel::sizeThatFits, CGSize{textWidth, 0}).height;
  const CGFloat textTop = kInset + (kArtworkSide - titleHeight - artistHeight) / 2;
  place(titleLabel_.get(), {{textX, textTop}, {textWidth, titleHeight}});
  place(artistLabel_.get(), {{textX, textTop + titleHeight}, {textWidth, artistHeight}});
  place(progressTrack_.get(), {{kInset, 92}, {inner, 4}});
  place(progressFill_.get(), {{kInset, 92}, {inner * 0.36, 4}});
  const CGFloat elapsed = fittingWidth(elapsedLabel_.get());
  const CGFloat remaining = fittingWidth(remainingLabel_.get());
  place(elapsedLabel_.get(), {{kInset, 100}, {elapsed, 14}});
  place(remainingLabel_.get(), {{w - kInset - remaining, 100}, {remaining, 14}});
  const CGFloat centre = w / 2;
  place(previousButton_.get(), {{centre - 80 - 22, 126}, {44, 44}});
  place(playButton_.get(), {{centre - 22, 126}, {44, 44}});
  place(nextButton_.get(), {{centre + 80 - 22, 126}, {44, 44}});
  place(volumeTrack_.get(), {{kInset, 180}, {inner, 4}});
}

void CSMediaControlsContainerView::layoutSubviews() {
  for (const Ref<UIView>& child : subviewList()) rt::send(child, sel::setFrame, bounds());
}

// ---- The platter

Ref<> CSMediaPlatterView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  backgroundMaterialView_ = addNewSubview(*this, MTMaterialView::cls, "_backgroundMaterialView");
  contentView_ = addNewSubview(*this, CSMediaControlsContainerView::cls);
  mediaControlsView_ = rt::send(CSMediaControlsView::cls.get(), sel::new_);
  rt::send(contentView_, sel::addSubview, mediaControlsView_);
  caLayer().setCornerRadius(kCornerRadius);
  caLayer().setContinuousCorners(true);
  // The same frosted material as the notification cards.
  if (auto* material = UIView::cls.cast(backgroundMaterialView_.get())) {
    material->caLayer().setCornerRadius(kCornerRadius);
    material->caLayer().setContinuousCorners(true);
    material->setClipsToBounds(true);
  }
  return ref();
}

void CSMediaPlatterView::layoutSubviews() {
  rt::send(backgroundMaterialView_, sel::setFrame, bounds());
  rt::send(contentView_, sel::setFrame, bounds());
}

CGRect CSCoverSheetView::playerFrame(CGFloat width) {
  return {{kPlayerInset, kPlayerTop},
          {std::max<CGFloat>(width - 2 * kPlayerInset, 0), CSMediaPlatterView::kHeight}};
}

void CSCoverSheetView::layoutSubviews() {
  for (const Ref<UIView>& child : subviewList())
    rt::send(child, sel::setFrame, playerFrame(bounds().size.width));
}

void CSCoverSheetViewController::loadView() {
  setView(rt::send(CSCoverSheetView::cls.get(), sel::new_).get());
}

void SBMediaController::mediaRemoteNowPlayingInfoDidChange(id) {
  if (Ref<> info = now_playing::currentInfo()) {
    Ref<> artwork = rt::send(cls::UIImage, sel::imageWithData,
                             infoValue(info.get(), kMRMediaRemoteNowPlayingInfoArtworkData));
    if (auto* controls = CSMediaControlsView::cls.cast(mediaControlsView().get()))
      controls->showTrack(infoValue(info.get(), kMRMediaRemoteNowPlayingInfoTitle).get(),
                          infoValue(info.get(), kMRMediaRemoteNowPlayingInfoArtist).get(),
                          artwork.get());
  }
  updatePlayer();
}

// ---- The host's side

Ref<> mediaController() {
  MediaState& s = state();
  if (!s.controller) {
    s.controller = rt::send(SBMediaController::cls.get(), sel::new_);
    rt::send(defaultCenter(), sel::addObserver_selector_name_object, s.controller,
             sel::_mediaRemoteNowPlayingInfoDidChange.get(),
             NSStr(kMRMediaRemoteNowPlayingInfoDidChangeNotification), nullptr);
  }
  return s.controller;
}

void setNowPlaying(const std::optional<now_playing::Track>& track) {
  mediaController();
  if (track)
    now_playing::play(*track);
  else
    now_playing::stop();
}

void showCoverSheet() {
  state().lockscreenHidden = false;
  Ref<> coverView = rt::send(coverSheetController(), sel::view);
  if (coverView && !rt::send(coverView, sel::superview))
    rt::send(showLockscreenWindow(), sel::insertSubview_atIndex, coverView, int64_t{0});
  updatePlayer();
}

void hideCoverSheet() {
  state().lockscreenHidden = true;
  updatePlayer();
}

Ref<> coverSheetController() {
  MediaState& s = state();
  if (!s.coverSheet) s.coverSheet = rt::send(CSCoverSheetViewController::cls.get(), sel::new_);
  if (s.coverSheet) rt::send(s.coverSheet, sel::view);
  return s.coverSheet;
}

Ref<> mediaPlatter() {
  MediaState& s = state();
  if (!s.platter) s.platter = rt::send(CSMediaPlatterView::cls.get(), sel::new_);
  return s.platter;
}

Ref<> mediaControlsView() {
  auto* platter = CSMediaPlatterView::cls.cast(mediaPlatter().get());
  return platter ? platter->mediaControlsView() : nullptr;
}

CGFloat mediaPlayerSpace() {
  const UIView* platter = UIView::cls.cast(state().platter.get());
  return platter && platter->superviewPointer()
             ? CSMediaPlatterView::kHeight + CSCoverSheetView::kPlayerSpacing
             : 0;
}

// ---- Classes

void CSMediaControlsView::bind(ClassBuilder<CSMediaControlsView>& b) {
  b.method<&CSMediaControlsView::initWithFrame>(sel::initWithFrame)
      .method<&CSMediaControlsView::layoutSubviews>(sel::layoutSubviews)
      .ivar<&CSMediaControlsView::artworkView_>("_artworkView")
      .ivar<&CSMediaControlsView::titleLabel_>("_titleLabel")
      .ivar<&CSMediaControlsView::artistLabel_>("_artistLabel");
}

void CSMediaControlsContainerView::bind(ClassBuilder<CSMediaControlsContainerView>& b) {
  b.method<&CSMediaControlsContainerView::layoutSubviews>(sel::layoutSubviews);
}

void CSMediaPlatterView::bind(ClassBuilder<CSMediaPlatterView>& b) {
  b.method<&CSMediaPlatterView::initWithFrame>(sel::initWithFrame)
      .method<&CSMediaPlatterView::backgroundMaterialView>(sel::backgroundMaterialView)
      .method<&CSMediaPlatterView::layoutSubviews>(sel::layoutSubviews)
      .ivar<&CSMediaPlatterView::backgroundMaterialView_>("_backgroundMaterialView")
      .ivar<&CSMediaPlatterView::contentView_>("_contentView")
      .ivar<&CSMediaPlatterView::mediaControlsView_>("_mediaControlsView");
}

void CSCoverSheetView::bind(ClassBuilder<CSCoverSheetView>& b) {
  b.method<&CSCoverSheetView::layoutSubviews>(sel::layoutSubviews);
}

void CSCoverSheetViewController::bind(ClassBuilder<CSCoverSheetViewController>& b) {
  b.method<&CSCoverSheetViewController::loadView>(sel::loadView);
}

void SBMediaController::bind(ClassBuilder<SBMediaController>& b) {
  b.method<&SBMediaController::mediaRemoteNowPlayingInfoDidChange>(
      sel::_mediaRemoteNowPlayingInfoDidChange);
}

void defineMediaPlayer(ClassList& list) {
  list.define<CSMediaControlsView>(UIView::cls);
  list.define<CSMediaControlsContainerView>(UIView::cls);
  list.define<CSMediaPlatterView>(PLPlatterView::cls);
  list.define<CSCoverSheetView>(UIView::cls);
  list.define<SBMediaController>(NSObject::cls);
  list.define<CSCoverSheetViewController>(UIViewController::cls);
}

void resetMediaPlayer() {
  state() = {};
  now_playing::reset();
}

}  // namespace host
