#include "testing/win32/host_simulator/velmora_library.h"

#include "platform/win32/windows_api.h"

namespace velmora::testing {

std::string VelmoraLibrary::DefaultPath() {
  char buffer[MAX_PATH];
  DWORD n = ::GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string path(buffer, n);
  return path.substr(0, path.find_last_of("\\/") + 1) + "velmora.dll";
}

VelmoraLibrary::VelmoraLibrary(const std::string& path) {
  module_ = ::LoadLibraryA(path.c_str());
  if (module_ == nullptr) {
    load_error_ = ::GetLastError();
    return;
  }
  Resolve(plain_.add_data, decorated_.add_data, "AddData0",
          "?AddData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z");
  Resolve(plain_.remove_data, decorated_.remove_data, "RemoveData0",
          "?RemoveData0@@YAHPBD0PAVCOleDateTime@@111II000000000000000HHHNN00000@Z");
  Resolve(plain_.reset_stats, decorated_.reset_stats, "ResetStats0",
          "?ResetStats0@@YAHPBDH0PAVCOleDateTime@@10000000000HHHNN000@Z");
  Resolve(plain_.check_call, decorated_.check_call, "CheckCall0",
          "?CheckCallFunc0@@YAHPBDII00000000000HHHNN0000000PAD1@Z");
  Resolve(plain_.is_valid_exchange, decorated_.is_valid_exchange, "IsValidExchg0",
          "?StatsIsValidExchg0@@YAHPBD000HHH@Z");
  Resolve(plain_.get_exchange_count, decorated_.get_exchange_count, "GetExchgCount0",
          "?StatsGetExchgCount0@@YAHPBD00@Z");
  Resolve(plain_.get_number_of_sets, decorated_.get_number_of_sets, "GetNumberOfSets",
          "?GetNumberOfSets@@YAHXZ");
  Resolve(plain_.get_set_name, decorated_.get_set_name, "GetSetName",
          "?GetSetName@@YAPBDH@Z");
  Resolve(plain_.get_result, decorated_.get_result, "GetResult0",
          "?GetResult0@@YAPBDPAH@Z");
  Resolve(plain_.setup_set, decorated_.setup_set, "SetupSet0", "?SetupSet0@@YAXXZ");
  Resolve(plain_.set_version, decorated_.set_version, "setVersion",
          "?setVersion@@YAKPBD@Z");
  // One function answers both questions.
  if (Address("GetNumberOfSets") != Address("GetExchgCount0"))
    problems_.push_back("GetNumberOfSets and GetExchgCount0 differ in address");
}

VelmoraLibrary::~VelmoraLibrary() {
  if (module_ != nullptr) ::FreeLibrary(module_);
}

void* VelmoraLibrary::Address(const char* name) {
  FARPROC proc = ::GetProcAddress(module_, name);
  return reinterpret_cast<void*>(reinterpret_cast<void (*)()>(proc));
}

template <typename F>
void VelmoraLibrary::Resolve(F& plain, F& decorated, const char* plain_name,
                             const char* decorated_name) {
  void* a = Address(plain_name);
  void* b = Address(decorated_name);
  if (a == nullptr) problems_.push_back(std::string("missing ") + plain_name);
  if (b == nullptr) problems_.push_back(std::string("missing ") + decorated_name);
  if (a != b) problems_.push_back(std::string(plain_name) + " and its decorated name differ");
  plain = reinterpret_cast<F>(a);
  decorated = reinterpret_cast<F>(b);
}

}  // namespace velmora::testing
