#pragma once

#include "platform/win32/windows_api.h"

#include <oaidl.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::testing {

// Stands in for the host logger's automation object: registered in the
// running object table under a CLSID, it answers by dispatch id
//   16  method (BSTR macro): records the macro
//    8  method (I4 field): returns the entry text (VT_BSTR)
//    2  property get: returns the frequency in hertz (VT_R8)
// Calls from other threads arrive through COM on the registering thread,
// which must pump messages. The object lives as long as its owner; COM's
// references do not delete it.
class FakeHostApplication final : public IDispatch {
 public:
  FakeHostApplication() = default;
  ~FakeHostApplication() { Revoke(); }
  FakeHostApplication(const FakeHostApplication&) = delete;
  FakeHostApplication& operator=(const FakeHostApplication&) = delete;

  // Registers the object under the CLSID written as "{...}"; false when the
  // text is no CLSID or the table refuses it.
  bool Register(const wchar_t* clsid_text);
  const CLSID& clsid() const { return clsid_; }
  void Revoke();

  void SetEntryText(const std::wstring& text);
  void SetFrequency(double hz);
  std::vector<std::wstring> macros() const;
  std::vector<long> entry_fields() const;  // the arguments of method 8
  std::size_t entry_requests() const;      // calls of method 8
  // Forgets the calls recorded so far (macros, entry fields, locales), so
  // that a long run does not grow them without end.
  void ClearRecords();
  // Every call is answered with `error` from now on; S_OK answers again.
  void FailWith(HRESULT error);
  int calls() const;                  // every Invoke, answered or failed
  std::vector<LCID> locales() const;  // the locale of every Invoke

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                          DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                   UINT* bad_argument) override;

 private:
  std::atomic<ULONG> references_{1};
  DWORD cookie_ = 0;
  CLSID clsid_{};
  mutable std::mutex mutex_;
  std::wstring entry_text_;           // guarded by mutex_
  double frequency_ = 0.0;            // guarded by mutex_
  std::vector<std::wstring> macros_;  // guarded by mutex_
  std::vector<long> entry_fields_;    // guarded by mutex_
  HRESULT error_ = S_OK;              // guarded by mutex_
  std::vector<LCID> locales_;         // guarded by mutex_
};

}  // namespace velmora::testing
