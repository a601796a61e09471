#include "tool/prefs_store.h"

#include <iostream>

namespace tool {

PrefsSession::PrefsSession(const std::filesystem::path& deviceRoot) : host_({deviceRoot, {}}) {
  store_ = rt::send(prefs::registerLumoraPrefs(), sel::sharedInstance);
  defaults_ = host::NSUserDefaults::cls.cast(store_.get());
  if (!defaults_) throw ToolError("the host model has no user defaults; cannot open the suite");
}

void PrefsSession::warnAboutFile() const {
  if (!defaults_->readable())
    std::cerr << "lumora: warning: " << defaults_->problem()
              << "; it is ignored, so every setting reads its default\n";
  if (std::string text = defaults_->unwritableText(); !text.empty())
    std::cerr << "lumora: warning: the preference file holds text that cannot be written back ("
              << text << "), so the system leaves the file as it is and does not migrate it; "
              << "`lumora prefs delete` that key or repair the file\n";
}

namespace {

std::optional<prefs::Value> settingOf(rt::id object) {
  return std::visit(
      host::Overloaded{
          [](bool b) -> std::optional<prefs::Value> { return b; },
          [](int64_t i) -> std::optional<prefs::Value> { return i; },
          [](const host::NSString* s) -> std::optional<prefs::Value> { return s->text(); },
          [](const auto&) -> std::optional<prefs::Value> { return std::nullopt; },
      },
      host::plistValueOf(object));
}

}  // namespace

std::optional<prefs::Value> storedSetting(const host::NSUserDefaults& store,
                                          const std::string& key) {
  if (!store.isStored(key)) return std::nullopt;
  return settingOf(store.storedValue(key).get());
}

std::optional<prefs::Value> effectiveSetting(const host::NSUserDefaults& store,
                                             const std::string& key) {
  if (store.isStored(key)) return storedSetting(store, key);
  return settingOf(store.registeredValue(key).get());
}

rt::Ref<> objectOf(const prefs::Value& value) {
  if (auto* b = std::get_if<bool>(&value)) return host::NSNumber::numberWithBool(*b);
  if (auto* i = std::get_if<int64_t>(&value)) return host::NSNumber::numberWithInteger(*i);
  return host::NSStr(std::get<std::string>(value));
}

SettingWrite writeSetting(host::NSUserDefaults& store, const std::string& key,
                          const prefs::Value& value, Force force) {
  SettingWrite outcome;
  outcome.message = prefs::check(key, value);
  if (!outcome.message.empty() && force == Force::No) {
    outcome.status = SettingWrite::Status::Refused;
    return outcome;
  }
  rt::Ref<> object = objectOf(value);
  if (host::WriteResult result = store.write(key, object.get()); !result)
    return {SettingWrite::Status::Failed, result.error};
  return outcome;
}

}  // namespace tool
