#include "replay/replay_window_system.h"

#include <cstdio>

#include "results/cabrillo_form.h"

namespace velmora::replay {

namespace {

std::string* FormField(CabrilloForm& form, const std::string& name) {
  std::pair<const char*, std::string*> fields[] = {
      {"Name", &form.Name},
      {"Operators", &form.Operators},
      {"Address", &form.Address},
      {"AddressCity", &form.AddressCity},
      {"AddressPostalCode", &form.AddressPostalCode},
      {"AddressCountry", &form.AddressCountry},
      {"Email", &form.Email},
      {"Club", &form.Club},
      {"SoapBox", &form.SoapBox},
      {"CategoryPower", &form.CategoryPower},
      {"CategoryOperator", &form.CategoryOperator},
      {"CategoryBand", &form.CategoryBand},
      {"CategoryTransmitter", &form.CategoryTransmitter},
      {"CategoryOverlay", &form.CategoryOverlay},
  };
  for (auto& [field, member] : fields)
    if (name == field) return member;
  return nullptr;
}

}  // namespace

void ReplayWindowSystem::ShowMessage(const std::string& text, const std::string&,
                                     MessageIcon) {
  messages_.push_back(text);
  std::fprintf(stderr, "velmora-replay: %s\n", text.c_str());
}

bool ReplayWindowSystem::RunCabrilloForm(CabrilloForm& form) {
  for (const auto& [name, value] : header_)
    if (std::string* member = FormField(form, name)) *member = value;
  return true;
}

}  // namespace velmora::replay
