// The fake automation object of the host: another thread of this process
// finds it by ProgID in the running object table and calls it by dispatch
// id, while the registering thread pumps messages like the host's UI thread.

#include <gtest/gtest.h>

#include <objbase.h>
#include <oleauto.h>

#include <optional>
#include <thread>

#include "testing/win32/host_simulator/fake_host_application.h"
#include "testing/win32/host_simulator/message_pump.h"
#include "platform/win32/win32_host_link.h"

namespace velmora::testing {
namespace {

// What the other thread got back.
struct Answers {
  HRESULT lookup = E_FAIL;
  bool same_clsid = false;
  HRESULT macro = E_FAIL;
  HRESULT entry = E_FAIL;
  std::wstring entry_text;
  HRESULT frequency = E_FAIL;
  double hz = 0.0;
};

HRESULT Call(IDispatch* host, DISPID id, WORD flags, VARIANT* argument, VARIANT* result) {
  DISPPARAMS params{argument, nullptr, argument ? 1u : 0u, 0};
  return host->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr,
                      nullptr);
}

Answers AskTheHost(const CLSID& expected) {
  Answers a;
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  CLSID clsid;
  a.lookup = ::CLSIDFromProgID(L"Vemo2.Application", &clsid);
  IUnknown* unknown = nullptr;
  IDispatch* host = nullptr;
  if (SUCCEEDED(a.lookup)) {
    a.same_clsid = IsEqualCLSID(clsid, expected);
    a.lookup = ::GetActiveObject(clsid, nullptr, &unknown);
  }
  if (SUCCEEDED(a.lookup)) {
    a.lookup = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&host));
    unknown->Release();
  }
  if (SUCCEEDED(a.lookup)) {
    VARIANT macro;
    ::VariantInit(&macro);
    macro.vt = VT_BSTR;
    macro.bstrVal = ::SysAllocString(L"{F1}");
    a.macro = Call(host, 16, DISPATCH_METHOD, &macro, nullptr);
    ::VariantClear(&macro);

    VARIANT field, text;
    ::VariantInit(&field);
    ::VariantInit(&text);
    field.vt = VT_I4;
    field.lVal = 5;
    a.entry = Call(host, 8, DISPATCH_METHOD, &field, &text);
    if (text.vt == VT_BSTR) a.entry_text = text.bstrVal;
    ::VariantClear(&text);

    VARIANT hz;
    ::VariantInit(&hz);
    a.frequency = Call(host, 2, DISPATCH_PROPERTYGET, nullptr, &hz);
    if (hz.vt == VT_R8) a.hz = hz.dblVal;
    host->Release();
  }
  ::CoUninitialize();
  return a;
}

// The fake host in the running object table, with the call being typed and
// the frequency it will answer.
bool RegisterHost(FakeHostApplication& host, const wchar_t* entry_text, double hz) {
  host.SetEntryText(entry_text);
  host.SetFrequency(hz);
  return host.Register(VELMORA_TEST_CLSID);
}

TEST(AutomationTest, AnotherThreadReachesTheHostByProgId) {
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    FakeHostApplication host;
    ASSERT_TRUE(RegisterHost(host, L"DL1ABC", 14025000.0));

    HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Answers answers;
    std::thread asker([&] {
      answers = AskTheHost(host.clsid());
      ::SetEvent(done);
    });
    bool finished = PumpMessagesUntil(done, 30000);
    asker.join();  // the asker gives up on its own when calls fail
    ::CloseHandle(done);
    ASSERT_TRUE(finished);

    EXPECT_EQ(answers.lookup, S_OK);
    EXPECT_TRUE(answers.same_clsid);
    EXPECT_EQ(answers.macro, S_OK);
    EXPECT_EQ(answers.entry, S_OK);
    EXPECT_EQ(answers.entry_text, L"DL1ABC");
    EXPECT_EQ(answers.frequency, S_OK);
    EXPECT_EQ(answers.hz, 14025000.0);
    EXPECT_EQ(host.macros(), std::vector<std::wstring>{L"{F1}"});
    EXPECT_EQ(host.entry_fields(), std::vector<long>{5});
  }
  ::CoUninitialize();
}

// The plug-in's link to the host, used from a thread of its own as the setup
// thread will: attach, macro, entry text, frequency; then the host goes away.
struct LinkAnswers {
  bool before_attach = true;  // any call answered before Attach
  bool attached = false;
  bool macro = false;
  std::optional<std::string> entry_text;
  std::optional<double> hz;
  bool attached_again = true;  // after the host revoked its object
  bool still_attached = false;
};

TEST(AutomationTest, HostLinkCallsTheHostFromItsOwnThread) {
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    FakeHostApplication host;
    ASSERT_TRUE(RegisterHost(host, L"OK1AB", 7012345.0));

    HANDLE asked = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE revoked = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    LinkAnswers a;
    std::thread setup_thread([&] {
      ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      {
        velmora::Win32HostLink link;
        a.before_attach = link.SendMacro("x") || link.EntryText() || link.Frequency() ||
                          link.IsAttached();
        a.attached = link.Attach();
        a.macro = link.SendMacro("{F2}");
        a.entry_text = link.EntryText();
        a.hz = link.Frequency();
        ::SetEvent(asked);
        ::WaitForSingleObject(revoked, 30000);
        a.attached_again = link.Attach();
        a.still_attached = link.IsAttached();
        link.Drop();
      }
      ::CoUninitialize();
      ::SetEvent(done);
    });
    bool answered = PumpMessagesUntil(asked, 30000);
    host.Revoke();
    ::SetEvent(revoked);
    bool finished = PumpMessagesUntil(done, 30000);
    setup_thread.join();
    for (HANDLE h : {asked, revoked, done}) ::CloseHandle(h);
    ASSERT_TRUE(answered && finished);

    EXPECT_FALSE(a.before_attach);
    EXPECT_TRUE(a.attached);
    EXPECT_TRUE(a.macro);
    EXPECT_EQ(a.entry_text, std::optional<std::string>("OK1AB"));
    EXPECT_EQ(a.hz, std::optional<double>(7012345.0));
    EXPECT_FALSE(a.attached_again);
    EXPECT_TRUE(a.still_attached);  // a failed lookup keeps the reference
    EXPECT_EQ(host.macros(), std::vector<std::wstring>{L"{F2}"});
    EXPECT_EQ(host.entry_fields(), std::vector<long>{5});
    EXPECT_EQ(host.locales(), std::vector<LCID>(3, 0));  // the host's contract
  }
  ::CoUninitialize();
}

}  // namespace
}  // namespace velmora::testing
