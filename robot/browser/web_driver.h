#pragma once

#include <httplib.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::robot::browser {

using Json = nlohmann::json;

// A command the driver refused: `error` is the protocol's error code
// ("no such element", "stale element reference", ...).
class WebDriverError : public std::runtime_error {
 public:
  WebDriverError(const std::string& command, const std::string& error, const std::string& message)
      : std::runtime_error(command + ": " + error + ": " + message), error_(error) {}
  const std::string& error() const { return error_; }

 private:
  std::string error_;
};

// One browser session through a WebDriver server on 127.0.0.1 (the W3C
// protocol over HTTP), with the few commands the page tests need.
class WebDriver {
 public:
  using Element = std::string;  // the driver's reference to a page element

  struct Browser {
    std::string binary;         // the browser program
    std::string user_data_dir;  // a fresh profile folder
    int width = 1200, height = 1000;
  };

  explicit WebDriver(int port);
  ~WebDriver();
  WebDriver(const WebDriver&) = delete;
  WebDriver& operator=(const WebDriver&) = delete;

  // GET /status: whether the driver takes a new session now. False when it
  // does not answer at all.
  bool Ready();

  void NewSession(const Browser& browser);
  // Ends the browser; quietly does nothing without a session.
  void DeleteSession();

  // Loads `url` and returns when the page has loaded.
  void Navigate(const std::string& url);
  std::string Title();
  std::string Url();

  Element Find(const std::string& css);
  std::vector<Element> FindAll(const std::string& css);
  std::vector<Element> FindAllIn(const Element& parent, const std::string& css);
  Element FindLink(const std::string& exact_text);

  std::string Text(const Element& element);
  // The element's DOM property, as a string (e.g. "href": the absolute URL).
  std::string Property(const Element& element, const std::string& name);
  void SendKeys(const Element& element, const std::string& text);
  void Click(const Element& element);
  // Clicks an element that leaves the page (a form's submit button) and
  // returns once the next page has replaced it and finished loading.
  void ClickAndWaitForNextPage(const Element& element);

  // Runs `script` as a function's body in the page; only to read the
  // document's state (the pages themselves have no script).
  Json Execute(const std::string& script, const Json& args = Json::array());

  // The viewport as PNG bytes.
  std::string Screenshot();

  std::string PageSource();

  // The cookies the browser holds for the page shown, HttpOnly ones too, as
  // the protocol gives them (name, value, path, httpOnly, sameSite, ...).
  Json Cookies();

  // The HTTP status of the page shown.
  int PageStatus();

 private:
  Json Command(const std::string& method, const std::string& path, const Json& body = nullptr);
  Element ElementOf(const Json& value) const;
  std::string SessionPath() const;

  httplib::Client client_;
  std::string session_;
};

}  // namespace velmora::robot::browser
