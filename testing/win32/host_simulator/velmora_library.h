#pragma once

#include <string>
#include <vector>

#include "testing/scenario_runner.h"

struct HINSTANCE__;

namespace velmora::testing {

// The plug-in DLL loaded the way the host loads it, with its entry points
// resolved under both names: plain, and the decorated name of the host's C++
// declaration. Unloaded at the end of the scope.
class VelmoraLibrary {
 public:
  // The DLL beside this program.
  static std::string DefaultPath();

  explicit VelmoraLibrary(const std::string& path = DefaultPath());
  ~VelmoraLibrary();
  VelmoraLibrary(const VelmoraLibrary&) = delete;
  VelmoraLibrary& operator=(const VelmoraLibrary&) = delete;

  bool loaded() const { return module_ != nullptr; }
  unsigned long load_error() const { return load_error_; }
  const EntryPoints& plain() const { return plain_; }
  const EntryPoints& decorated() const { return decorated_; }
  // Names that did not resolve, and pairs whose two names differ in address.
  const std::vector<std::string>& problems() const { return problems_; }

 private:
  template <typename F>
  void Resolve(F& plain, F& decorated, const char* plain_name, const char* decorated_name);
  void* Address(const char* name);

  HINSTANCE__* module_ = nullptr;
  unsigned long load_error_ = 0;
  EntryPoints plain_;
  EntryPoints decorated_;
  std::vector<std::string> problems_;
};

}  // namespace velmora::testing
