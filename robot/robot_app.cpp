#include "robot/robot_app.h"

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <thread>

#include "robot/admin_routes.h"
#include "robot/check_runner.h"
#include "robot/mailer.h"
#include "robot/organiser_gate.h"
#include "robot/robot_server.h"
#include "robot/secrets.h"
#include "robot/smtp_transport.h"
#include "robot/submission_desk.h"
#include "robot/submission_store.h"

namespace velmora::robot {

namespace {

std::int64_t NowUnix() {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

std::optional<RobotConfig> LoadConfig(const RobotOptions& o, FileSystem& files,
                                      std::ostream& err) {
  RobotConfig config;
  config.categories = DefaultCategories();
  try {
    if (!o.config_file.empty()) {
      std::optional<std::string> text = files.ReadFile(o.config_file);
      if (!text) {
        err << "velmora-robot: " << o.config_file << ": cannot be read\n";
        return std::nullopt;
      }
      config = ParseRobotConfig(*text, o.config_file);
    }
  } catch (const std::invalid_argument& e) {
    err << "velmora-robot: " << e.what() << "\n";
    return std::nullopt;
  }
  if (!o.listen.empty() && !SetListenAddress(config, o.listen)) {
    err << "velmora-robot: --listen needs HOST:PORT, not \"" << o.listen << "\"\n";
    return std::nullopt;
  }
  return config;
}

// The organisers' password: made and printed once on the first start, kept
// only as its hash.
void EnsurePassword(SubmissionStore& store, std::ostream& out) {
  if (store.Setting(kPasswordKey)) return;
  const std::string password = RandomPassword();
  store.SetSetting(kPasswordKey, HashPassword(password));
  out << "velmora-robot: organisers' password (shown only now): " << password << "\n";
}

int SetPassword(SubmissionStore& store, std::istream& in, std::ostream& out, std::ostream& err) {
  std::string password;
  std::getline(in, password);
  if (!password.empty() && password.back() == '\r') password.pop_back();
  if (password.size() < 10) {
    err << "velmora-robot: the password needs at least 10 characters; nothing changed\n";
    return 2;
  }
  store.SetSetting(kPasswordKey, HashPassword(password));
  out << "velmora-robot: the organisers' password is set\n";
  return 0;
}

// SQLite's online backup: pages copied a step at a time, so the robot goes on
// writing meanwhile, and the copy is one consistent state.
int Backup(const std::string& db_path, const std::string& target, std::ostream& out,
           std::ostream& err) {
  const std::string partial = target + ".partial";
  std::filesystem::remove(partial);
  Database source(db_path);
  sqlite3* copy = nullptr;
  int rc = sqlite3_open(partial.c_str(), &copy);
  if (rc == SQLITE_OK) {
    sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source.handle(), "main");
    if (!backup) {
      rc = sqlite3_errcode(copy);
    } else {
      do {
        rc = sqlite3_backup_step(backup, 256);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(50);
      } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
      rc = sqlite3_backup_finish(backup);
    }
  }
  const std::string message = copy ? sqlite3_errmsg(copy) : sqlite3_errstr(rc);
  sqlite3_close(copy);
  std::error_code ec;
  if (rc == SQLITE_OK) std::filesystem::rename(partial, target, ec);
  if (rc != SQLITE_OK || ec) {
    std::filesystem::remove(partial, ec);
    err << "velmora-robot: backup to " << target << " failed: "
        << (rc != SQLITE_OK ? message : ec.message()) << "\n";
    return 1;
  }
  out << "velmora-robot: database copied to " << target << "\n";
  return 0;
}

int Serve(RobotConfig config, const std::string& data_dir, SubmissionStore& store,
          const CountryFile& cty, StopSignals& stop_signals, std::ostream& out,
          std::ostream& err) {
  // Mail goes out on a thread of its own from the outbox; without a relay the
  // outbox is never filled.
  SmtpTransport transport({config.mail_relay, config.mail_from, config.mail_user,
                           config.mail_password});
  MailerOptions mail_options;
  mail_options.now = NowUnix;
  Mailer mailer(store, transport, mail_options);
  if (!config.mail_relay.empty()) mailer.Start();
  SubmissionDesk desk(config, cty, store, [&mailer] { mailer.Wake(); });
  RobotServer server(config, desk, store, NowUnix);
  OrganiserStore organisers(store);
  OrganiserGate gate(store, organisers);
  CheckRunner runner(config, organisers, data_dir + "/runs", NowUnix);
  AdminRoutes admin(config, store, organisers, gate, runner, NowUnix, [&mailer] { mailer.Wake(); });
  admin.Register(server.http());
  std::string error;
  if (!server.Bind(error)) {
    err << "velmora-robot: " << error << "\n";
    return 1;
  }
  const std::string address =
      "http://" + config.listen_host + ":" + std::to_string(server.port());
  if (config.public_url.empty()) config.public_url = address;  // before any thread reads it
  out << "velmora-robot: listening on " << address << "/" << std::endl;
  std::thread stopper([&] {
    stop_signals.Wait();
    server.Stop();
  });
  const bool served = server.Serve();
  if (stopper.joinable()) {
    if (served) stopper.join();
    else stopper.detach();
  }
  mailer.Stop();
  out << "velmora-robot: stopped" << std::endl;
  return served ? 0 : 1;
}

}  // namespace

int RunRobot(const RobotOptions& o, FileSystem& files, StopSignals& stop_signals,
             std::istream& in, std::ostream& out, std::ostream& err) {
  try {
    InitSecrets();
    std::filesystem::create_directories(o.data_dir);
    const std::string db_path = (std::filesystem::path(o.data_dir) / "robot.sqlite").string();
    if (!o.backup_file.empty()) return Backup(db_path, o.backup_file, out, err);
    SubmissionStore store(db_path);
    if (o.set_password) return SetPassword(store, in, out, err);
    std::optional<RobotConfig> config = LoadConfig(o, files, err);
    if (!config) return 2;
    std::optional<std::string> cty_text = files.ReadFile(config->cty_file);
    if (!cty_text) {
      err << "velmora-robot: country file " << config->cty_file << ": cannot be read\n";
      return 1;
    }
    const CountryFile cty = CountryFile::Parse(*cty_text, config->cty_file);
    EnsurePassword(store, out);
    return Serve(*config, o.data_dir, store, cty, stop_signals, out, err);
  } catch (const std::exception& e) {
    err << "velmora-robot: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace velmora::robot
