#include "platform/win32/win32_host_link.h"

#include "platform/win32/windows_api.h"

#include <oleauto.h>

namespace velmora {

namespace {

constexpr DISPID kMacroMethod = 16;
constexpr DISPID kEntryTextMethod = 8;
constexpr DISPID kFrequencyProperty = 2;
constexpr LONG kCallField = 5;
// The host's automation interface takes every call with locale 0.
constexpr LCID kHostLocale = 0;

// A VARIANT that is cleared when it goes out of scope.
struct Variant : VARIANT {
  Variant() { ::VariantInit(this); }
  ~Variant() { ::VariantClear(this); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

bool Invoke(IDispatch* target, DISPID id, WORD flags, VARIANT* argument,
            VARIANT* result) {
  DISPPARAMS params{argument, nullptr, argument ? 1u : 0u, 0};
  return SUCCEEDED(target->Invoke(id, IID_NULL, kHostLocale, flags, &params,
                                  result, nullptr, nullptr));
}

std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                   nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0)
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                          wide.data(), size);
  return wide;
}

std::string Narrow(const wchar_t* text, UINT length) {
  if (text == nullptr || length == 0) return std::string();
  int size = ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0,
                                   nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    ::WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), narrow.data(), size,
                          nullptr, nullptr);
  return narrow;
}

}  // namespace

bool Win32HostLink::Attach() {
  CLSID clsid;
  if (FAILED(::CLSIDFromProgID(kProgId, &clsid))) return false;
  IUnknown* unknown = nullptr;
  if (FAILED(::GetActiveObject(clsid, nullptr, &unknown)) || unknown == nullptr)
    return false;
  IDispatch* dispatch = nullptr;
  HRESULT hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
  unknown->Release();
  if (FAILED(hr) || dispatch == nullptr) return false;
  Drop();
  host_ = dispatch;
  return true;
}

bool Win32HostLink::SendMacro(const std::string& text) {
  if (host_ == nullptr) return false;
  Variant argument;
  std::wstring wide = Widen(text);
  argument.vt = VT_BSTR;
  argument.bstrVal = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (argument.bstrVal == nullptr) return false;
  Variant result;
  return Invoke(host_, kMacroMethod, DISPATCH_METHOD, &argument, &result);
}

std::optional<std::string> Win32HostLink::EntryText() {
  if (host_ == nullptr) return std::nullopt;
  Variant argument;
  argument.vt = VT_I4;
  argument.lVal = kCallField;
  Variant result;
  if (!Invoke(host_, kEntryTextMethod, DISPATCH_METHOD, &argument, &result))
    return std::nullopt;
  if (result.vt != VT_BSTR) return std::string();
  return Narrow(result.bstrVal, ::SysStringLen(result.bstrVal));
}

std::optional<double> Win32HostLink::Frequency() {
  if (host_ == nullptr) return std::nullopt;
  Variant result;
  if (!Invoke(host_, kFrequencyProperty, DISPATCH_PROPERTYGET, nullptr, &result))
    return std::nullopt;
  if (FAILED(::VariantChangeType(&result, &result, 0, VT_R8))) return std::nullopt;
  return result.dblVal;
}

void Win32HostLink::Drop() {
  if (host_ != nullptr) host_->Release();
  host_ = nullptr;
}

}  // namespace velmora
