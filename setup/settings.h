#pragma once

#include <string>
#include <string_view>

#include "platform/settings_store.h"

namespace velmora {

// Typed access to the keys of the settings file. Nothing is cached: every
// value is read when it is needed and written when it changes; a failed
// write is not reported.
class Settings {
 public:
  explicit Settings(SettingsStore& store) : store_(store) {}

  std::string ReadText(std::string_view key) { return store_.Read(key); }
  // The leading decimal part of the text (white space, sign, digits); 0 when
  // there is none.
  int ReadNumber(std::string_view key);
  void WriteText(std::string_view key, std::string_view value) {
    store_.Write(key, value);
  }
  void WriteNumber(std::string_view key, int value);
  void WriteFlag(std::string_view key, bool on) { store_.Write(key, on ? "1" : "0"); }

 private:
  SettingsStore& store_;
};

int LeadingNumber(std::string_view text);

}  // namespace velmora
