#pragma once

// What the robot's browser tests share: velmora-robot on loopback (port 0),
// chromedriver and a headless Chromium, everything in one temporary folder,
// every process ended and waited for, and the pictures of the pages.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "robot/browser/child_process.h"
#include "robot/browser/web_driver.h"
#include "testing/temp_folder.h"
#include "testing/whole_file.h"

namespace velmora::robot::browser {

inline const std::string kSourceDir = VELMORA_SOURCE_DIR;
inline constexpr const char* kRobotProgram = VELMORA_ROBOT_PROGRAM;
inline constexpr const char* kDriverProgram = VELMORA_CHROMEDRIVER;
inline constexpr const char* kBrowserProgram = VELMORA_CHROMIUM;

// Where the pictures go: the build folder, or VELMORA_ROBOT_PICTURES.
inline std::string PicturesDir() {
  const char* chosen = std::getenv("VELMORA_ROBOT_PICTURES");
  return chosen && *chosen ? chosen : VELMORA_PICTURES_DIR;
}

// Generous: a CI machine may be building something else meanwhile.
inline constexpr std::chrono::seconds kStartTimeout(30);
inline constexpr int kDriverAttempts = 5;

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

inline std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

inline std::string Tail(const std::string& path, std::size_t max_lines) {
  std::vector<std::string> lines = Lines(velmora::testing::ReadWholeFile(path));
  if (lines.size() > max_lines) lines.erase(lines.begin(), lines.end() - max_lines);
  return Joined(lines);
}

class RobotBrowserFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A peer that went away is a failed request to report, not a crash.
    ::signal(SIGPIPE, SIG_IGN);
    // The browser's helpers that outlive their parents come back here to be
    // ended and waited for.
    BecomeSubreaper();
  }

  // The robot's settings file ("key = value" lines); none when empty.
  virtual std::string ConfigText() const { return ""; }

  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty()) << "cannot make a temporary folder";
    for (const char* program : {kDriverProgram, kBrowserProgram})
      ASSERT_EQ(::access(program, X_OK), 0)
          << program
          << " is missing or not executable: the browser tests need Debian's chromium and "
          << "chromium-driver (bash scripts/install-deps.sh browser installs them)";
    ASSERT_NO_FATAL_FAILURE(StartRobot());
    ASSERT_NO_FATAL_FAILURE(StartDriver());
    try {
      driver_->NewSession({kBrowserProgram, folder_ / "profile"});
    } catch (const std::exception& e) {
      FAIL() << "the browser did not start: " << e.what() << "\n" << DriverLog();
    }
  }

  void TearDown() override {
    if (driver_) {
      try {
        driver_->DeleteSession();
      } catch (const std::exception& e) {
        ADD_FAILURE() << "the browser did not close: " << e.what();
      }
      driver_.reset();
    }
    if (HasFailure() && std::filesystem::exists(folder_ / "chromedriver.log"))
      std::cerr << DriverLog();
    driver_process_.Stop();
    if (robot_.pid() > 0) {
      const int status = robot_.Stop(std::chrono::seconds(10));
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
          << "velmora-robot did not end cleanly on SIGTERM (wait status " << status << ")";
    }
    ReapStrayChildren({}, std::chrono::seconds(3));
  }

  void StartRobot() {
    std::vector<std::string> argv = {kRobotProgram, "--data", folder_ / "data", "--listen",
                                     "127.0.0.1:0"};
    if (const std::string config = ConfigText(); !config.empty())
      argv.insert(argv.end(), {"--config", WriteFile("robot.conf", config)});
    robot_.Start({argv, {}, /*pipe_stdout=*/true, ""});
    const std::string listening = "velmora-robot: listening on http://127.0.0.1:";
    const std::string password = "velmora-robot: organisers' password (shown only now): ";
    const Deadline deadline = After(kStartTimeout);
    bool timed_out = false;
    // The organisers' password comes first, on the data folder's first start.
    while (std::optional<std::string> line = robot_.ReadLine(deadline, timed_out)) {
      if (line->rfind(password, 0) == 0) password_ = line->substr(password.size());
      if (line->rfind(listening, 0) != 0) continue;
      port_ = std::atoi(line->c_str() + listening.size());
      ASSERT_GT(port_, 0) << *line;
      base_ = "http://127.0.0.1:" + std::to_string(port_);
      return;
    }
    FAIL() << (timed_out ? "velmora-robot did not listen within 30 s"
                         : "velmora-robot ended before it listened (its messages are above)");
  }

  // chromedriver listens on a port the system picks and tells which on
  // stdout ("started successfully on port N"). A driver that does not tell
  // gets a port that was free a moment ago, and another when something took
  // it meanwhile. Its own line is what shows it listens: a /status answer
  // alone could come from another program on that port.
  void StartDriver() {
    const std::filesystem::path home = folder_.path() / "home";
    const std::filesystem::path tmp = folder_.path() / "tmp";
    std::filesystem::create_directories(home);
    std::filesystem::create_directories(tmp);
    bool pick_port = false;
    for (int attempt = 1; attempt <= kDriverAttempts; ++attempt) {
      const int asked = pick_port ? PickFreePort() : 0;
      ChildProcess::Options options;
      options.argv = {kDriverProgram, "--port=" + std::to_string(asked),
                      "--log-path=" + (folder_ / "chromedriver.log")};
      // Everything the browser writes stays in the test's folder; no
      // display: the browser is headless.
      options.environment = {{"HOME", home.string()},
                             {"XDG_CONFIG_HOME", (home / ".config").string()},
                             {"XDG_CACHE_HOME", (home / ".cache").string()},
                             {"TMPDIR", tmp.string()},
                             {"DISPLAY", ""},
                             {"WAYLAND_DISPLAY", ""}};
      options.pipe_stdout = true;
      options.stderr_file = folder_ / "chromedriver.err";
      driver_process_.Start(options);
      const Deadline deadline = After(kStartTimeout);
      bool timed_out = false;
      int port = -1;  // none yet
      const std::string started = "started successfully on port ";
      while (std::optional<std::string> line = driver_process_.ReadLine(deadline, timed_out))
        if (const std::size_t at = line->find(started); at != std::string::npos) {
          port = std::atoi(line->c_str() + at + started.size());
          break;
        }
      ASSERT_FALSE(timed_out) << "chromedriver did not start within 30 s\n" << DriverLog();
      if (port <= 0) {
        // It ended (the port was taken), or listens where it does not say.
        driver_process_.Stop();
        pick_port = pick_port || port == 0;
        continue;
      }
      driver_ = std::make_unique<WebDriver>(port);
      while (!driver_->Ready()) {
        ASSERT_FALSE(driver_process_.Exited()) << "chromedriver ended\n" << DriverLog();
        ASSERT_LT(std::chrono::steady_clock::now(), deadline)
            << "chromedriver was not ready within 30 s\n"
            << DriverLog();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      return;
    }
    FAIL() << "chromedriver did not listen in " << kDriverAttempts << " attempts\n" << DriverLog();
  }

  std::string DriverLog() {
    return "--- chromedriver's messages:\n" + Tail(folder_ / "chromedriver.err", 20) +
           "--- the end of chromedriver's log:\n" + Tail(folder_ / "chromedriver.log", 40);
  }

  std::string Url(const std::string& path) const { return base_ + path; }

  std::string TextOf(const std::string& css) { return driver_->Text(driver_->Find(css)); }

  std::vector<std::string> TextsOf(const std::string& css) {
    std::vector<std::string> texts;
    for (const WebDriver::Element& e : driver_->FindAll(css)) texts.push_back(driver_->Text(e));
    return texts;
  }

  // Each control of the page's form by name, with the one label the browser
  // gives it; a control without a label, or with more, is a failure.
  std::map<std::string, std::string> FormLabels(const std::string& form_css = "form") {
    const Json controls = driver_->Execute(R"(
        return Array.from(document.querySelector(arguments[0]).elements).map(e => ({
          name: e.name, type: e.type, id: e.id,
          labels: Array.from(e.labels || []).map(l => l.textContent.trim())}));)",
                                           Json::array({form_css}));
    std::map<std::string, std::string> labels;
    for (const Json& control : controls) {
      // A button's text is its name; a hidden field has no label.
      if (control["type"] == "submit" || control["type"] == "hidden") continue;
      if (control["labels"].size() != 1) {
        ADD_FAILURE() << "not one label: " << control.dump();
        continue;
      }
      const std::string id = control["id"], label = control["labels"][0];
      labels[control["name"]] = label;
      EXPECT_EQ(driver_->Text(driver_->Find("label[for=\"" + id + "\"]")), label);
    }
    return labels;
  }

  std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = folder_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // The page shown, as docs/robot/NAME; written whole or not at all.
  void Picture(const std::string& name) {
    const std::string png = driver_->Screenshot();
    ASSERT_GT(png.size(), 24u);
    ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << name << " is not a PNG";
    // The viewport's size, from the IHDR chunk: the window's width, its
    // height less what the browser keeps for itself.
    auto be32 = [&](std::size_t at) {
      std::uint32_t value = 0;
      for (std::size_t i = at; i < at + 4; ++i)
        value = value << 8 | static_cast<unsigned char>(png[i]);
      return value;
    };
    EXPECT_EQ(be32(16), 1200u) << name;
    EXPECT_GE(be32(20), 600u) << name;
    const std::string pictures = PicturesDir();
    std::filesystem::create_directories(pictures);
    const std::filesystem::path target = std::filesystem::path(pictures) / name;
    const std::filesystem::path partial =
        target.string() + ".partial-" + std::to_string(::getpid());
    std::ofstream out(partial, std::ios::binary);
    out << png;
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(partial, ignored);
      FAIL() << "cannot write " << target;
    }
    std::filesystem::rename(partial, target);
  }

  velmora::testing::TempFolder folder_;
  ChildProcess robot_, driver_process_;
  std::unique_ptr<WebDriver> driver_;
  int port_ = 0;
  std::string base_;
  std::string password_;  // the organisers', from the robot's first start
};

}  // namespace velmora::robot::browser
