#include "robot/browser/web_driver.h"

#include <sodium.h>

#include <thread>

namespace velmora::robot::browser {

namespace {

// The key of an element reference in the protocol's JSON.
constexpr const char* kElementKey = "element-6066-11e4-a52e-4f735466cecf";

// How long a page may take to load or a command to answer: the machine may
// be busy with a build.
constexpr int kCommandSeconds = 60;
constexpr auto kNextPageTimeout = std::chrono::seconds(30);

std::string Base64Decoded(const std::string& text) {
  std::string bytes(text.size(), '\0');
  std::size_t length = 0;
  if (sodium_base642bin(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size(), text.data(),
                        text.size(), nullptr, &length, nullptr,
                        sodium_base64_VARIANT_ORIGINAL) != 0)
    throw std::runtime_error("the screenshot is not base64");
  bytes.resize(length);
  return bytes;
}

}  // namespace

WebDriver::WebDriver(int port) : client_("127.0.0.1", port) {
  client_.set_connection_timeout(10, 0);
  client_.set_read_timeout(kCommandSeconds, 0);
  client_.set_write_timeout(kCommandSeconds, 0);
}

WebDriver::~WebDriver() {
  try {
    DeleteSession();
  } catch (const std::exception&) {
    // The driver is gone already; the test's teardown ends what is left.
  }
}

bool WebDriver::Ready() {
  httplib::Result result = client_.Get("/status");
  if (!result || result->status != 200) return false;
  const Json status = Json::parse(result->body, nullptr, false);
  return !status.is_discarded() && status.contains("value") &&
         status["value"].value("ready", false);
}

Json WebDriver::Command(const std::string& method, const std::string& path, const Json& body) {
  const std::string command = method + " " + path;
  httplib::Result result =
      method == "GET"      ? client_.Get(path)
      : method == "DELETE" ? client_.Delete(path)
                           : client_.Post(path, body.is_null() ? "{}" : body.dump(),
                                          "application/json; charset=utf-8");
  if (!result)
    throw WebDriverError(command, "no answer", httplib::to_string(result.error()));
  const Json answer = Json::parse(result->body, nullptr, false);
  if (answer.is_discarded() || !answer.is_object() || !answer.contains("value"))
    throw WebDriverError(command, "unreadable answer",
                         "HTTP " + std::to_string(result->status) + ": " + result->body);
  const Json& value = answer["value"];
  if (result->status != 200) {
    const bool described = value.is_object();
    throw WebDriverError(command,
                         described ? value.value("error", "unknown error") : "unknown error",
                         described ? value.value("message", result->body) : result->body);
  }
  return value;
}

std::string WebDriver::SessionPath() const {
  if (session_.empty()) throw std::logic_error("no WebDriver session");
  return "/session/" + session_;
}

WebDriver::Element WebDriver::ElementOf(const Json& value) const {
  if (!value.is_object() || !value.contains(kElementKey))
    throw WebDriverError("find", "not an element", value.dump());
  return value[kElementKey].get<std::string>();
}

void WebDriver::NewSession(const Browser& browser) {
  const Json args = {
      "--headless=new",
      "--no-sandbox",  // the tests run as root in CI
      "--disable-gpu",
      "--disable-quic",
      "--no-first-run",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
      "--disable-dev-shm-usage",
      "--hide-scrollbars",
      "--force-device-scale-factor=1",
      "--user-data-dir=" + browser.user_data_dir,
      "--window-size=" + std::to_string(browser.width) + "," + std::to_string(browser.height),
  };
  const Json capabilities = {
      {"capabilities",
       {{"alwaysMatch",
         {{"browserName", "chrome"},
          {"pageLoadStrategy", "normal"},
          {"unhandledPromptBehavior", "dismiss"},
          {"timeouts", {{"implicit", 0}, {"pageLoad", kCommandSeconds * 1000}, {"script", 30000}}},
          {"goog:chromeOptions", {{"binary", browser.binary}, {"args", args}}}}}}}};
  const Json value = Command("POST", "/session", capabilities);
  session_ = value.at("sessionId").get<std::string>();
}

void WebDriver::DeleteSession() {
  if (session_.empty()) return;
  const std::string path = SessionPath();
  session_.clear();
  Command("DELETE", path);
}

void WebDriver::Navigate(const std::string& url) {
  Command("POST", SessionPath() + "/url", {{"url", url}});
}

std::string WebDriver::Title() {
  return Command("GET", SessionPath() + "/title").get<std::string>();
}

std::string WebDriver::Url() { return Command("GET", SessionPath() + "/url").get<std::string>(); }

WebDriver::Element WebDriver::Find(const std::string& css) {
  return ElementOf(
      Command("POST", SessionPath() + "/element", {{"using", "css selector"}, {"value", css}}));
}

std::vector<WebDriver::Element> WebDriver::FindAll(const std::string& css) {
  std::vector<Element> elements;
  for (const Json& e : Command("POST", SessionPath() + "/elements",
                               {{"using", "css selector"}, {"value", css}}))
    elements.push_back(ElementOf(e));
  return elements;
}

std::vector<WebDriver::Element> WebDriver::FindAllIn(const Element& parent,
                                                     const std::string& css) {
  std::vector<Element> elements;
  for (const Json& e : Command("POST", SessionPath() + "/element/" + parent + "/elements",
                               {{"using", "css selector"}, {"value", css}}))
    elements.push_back(ElementOf(e));
  return elements;
}

WebDriver::Element WebDriver::FindLink(const std::string& exact_text) {
  return ElementOf(Command("POST", SessionPath() + "/element",
                           {{"using", "link text"}, {"value", exact_text}}));
}

std::string WebDriver::Text(const Element& element) {
  return Command("GET", SessionPath() + "/element/" + element + "/text").get<std::string>();
}

std::string WebDriver::Property(const Element& element, const std::string& name) {
  const Json value = Command("GET", SessionPath() + "/element/" + element + "/property/" + name);
  return value.is_string() ? value.get<std::string>() : value.dump();
}

void WebDriver::SendKeys(const Element& element, const std::string& text) {
  Command("POST", SessionPath() + "/element/" + element + "/value", {{"text", text}});
}

void WebDriver::Click(const Element& element) {
  Command("POST", SessionPath() + "/element/" + element + "/click");
}

void WebDriver::ClickAndWaitForNextPage(const Element& element) {
  // Each document has its own time origin: a new one is the next page.
  const std::string kStamp = "return [String(performance.timeOrigin), document.readyState];";
  const Json before = Execute(kStamp).at(0);
  Click(element);
  const auto deadline = std::chrono::steady_clock::now() + kNextPageTimeout;
  std::string last_error;
  while (true) {
    try {
      const Json now = Execute(kStamp);
      if (now.at(0) != before && now.at(1) == "complete") return;
    } catch (const WebDriverError& e) {
      // Between two documents the driver may answer with an error.
      last_error = std::string(" (last: ") + e.what() + ")";
    }
    if (std::chrono::steady_clock::now() > deadline)
      throw std::runtime_error("no next page loaded within 30 s of the click" + last_error);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

Json WebDriver::Execute(const std::string& script, const Json& args) {
  return Command("POST", SessionPath() + "/execute/sync", {{"script", script}, {"args", args}});
}

std::string WebDriver::Screenshot() {
  return Base64Decoded(Command("GET", SessionPath() + "/screenshot").get<std::string>());
}

std::string WebDriver::PageSource() {
  return Command("GET", SessionPath() + "/source").get<std::string>();
}

Json WebDriver::Cookies() { return Command("GET", SessionPath() + "/cookie"); }

int WebDriver::PageStatus() {
  return Execute("return performance.getEntriesByType('navigation')[0].responseStatus;")
      .get<int>();
}

}  // namespace velmora::robot::browser
