#include "testing/win32/host_simulator/fake_host_application.h"

#include <oleauto.h>

namespace velmora::testing {

namespace {

constexpr DISPID kMacroMethod = 16;
constexpr DISPID kEntryTextMethod = 8;
constexpr DISPID kFrequencyProperty = 2;

// The single argument of a call, converted to `type`.
HRESULT Argument(DISPPARAMS* params, VARTYPE type, VARIANT& value, UINT* bad_argument) {
  if (params == nullptr || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
  HRESULT hr = ::VariantChangeType(&value, &params->rgvarg[0], 0, type);
  if (FAILED(hr) && bad_argument != nullptr) *bad_argument = 0;
  return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}

}  // namespace

bool FakeHostApplication::Register(const wchar_t* clsid_text) {
  if (::CLSIDFromString(const_cast<LPOLESTR>(clsid_text), &clsid_) != S_OK) return false;
  return SUCCEEDED(::RegisterActiveObject(static_cast<IUnknown*>(this), clsid_,
                                          ACTIVEOBJECT_STRONG, &cookie_));
}

void FakeHostApplication::Revoke() {
  if (cookie_ != 0) ::RevokeActiveObject(cookie_, nullptr);
  cookie_ = 0;
}

void FakeHostApplication::SetEntryText(const std::wstring& text) {
  std::lock_guard lock(mutex_);
  entry_text_ = text;
}

void FakeHostApplication::SetFrequency(double hz) {
  std::lock_guard lock(mutex_);
  frequency_ = hz;
}

std::vector<std::wstring> FakeHostApplication::macros() const {
  std::lock_guard lock(mutex_);
  return macros_;
}

std::vector<long> FakeHostApplication::entry_fields() const {
  std::lock_guard lock(mutex_);
  return entry_fields_;
}

std::size_t FakeHostApplication::entry_requests() const {
  std::lock_guard lock(mutex_);
  return entry_fields_.size();
}

void FakeHostApplication::ClearRecords() {
  std::lock_guard lock(mutex_);
  macros_.clear();
  entry_fields_.clear();
  locales_.clear();
}

void FakeHostApplication::FailWith(HRESULT error) {
  std::lock_guard lock(mutex_);
  error_ = error;
}

int FakeHostApplication::calls() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(locales_.size());
}

std::vector<LCID> FakeHostApplication::locales() const {
  std::lock_guard lock(mutex_);
  return locales_;
}

HRESULT FakeHostApplication::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT FakeHostApplication::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT FakeHostApplication::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT FakeHostApplication::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return DISP_E_UNKNOWNNAME;
}

HRESULT FakeHostApplication::Invoke(DISPID id, REFIID, LCID locale, WORD flags,
                                    DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                    UINT* bad_argument) {
  {
    std::lock_guard lock(mutex_);
    locales_.push_back(locale);
    if (FAILED(error_)) return error_;
  }
  VARIANT value;
  ::VariantInit(&value);
  if (id == kMacroMethod && (flags & DISPATCH_METHOD)) {
    HRESULT hr = Argument(params, VT_BSTR, value, bad_argument);
    if (FAILED(hr)) return hr;
    std::lock_guard lock(mutex_);
    macros_.emplace_back(value.bstrVal, ::SysStringLen(value.bstrVal));
    ::VariantClear(&value);
    return S_OK;
  }
  if (id == kEntryTextMethod && (flags & DISPATCH_METHOD)) {
    HRESULT hr = Argument(params, VT_I4, value, bad_argument);
    if (FAILED(hr)) return hr;
    std::lock_guard lock(mutex_);
    entry_fields_.push_back(value.lVal);
    if (result != nullptr) {
      result->vt = VT_BSTR;
      result->bstrVal = ::SysAllocStringLen(entry_text_.data(),
                                            static_cast<UINT>(entry_text_.size()));
    }
    return S_OK;
  }
  if (id == kFrequencyProperty && (flags & DISPATCH_PROPERTYGET)) {
    if (params != nullptr && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    std::lock_guard lock(mutex_);
    if (result != nullptr) {
      result->vt = VT_R8;
      result->dblVal = frequency_;
    }
    return S_OK;
  }
  return DISP_E_MEMBERNOTFOUND;
}

}  // namespace velmora::testing
