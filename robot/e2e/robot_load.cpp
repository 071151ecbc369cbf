// The load run: the built velmora-robot on a loopback port of its own, with
// CLIENTS uploading the log, each as a call of its own, RATE uploads a
// second in all (0: as fast as the robot answers) for SECONDS; then every
// receipt given is looked up again and the store's versions counted.
//
// velmora_robot_load --robot PATH --log FILE [--seconds 60] [--rate 50] [--clients 16]
// Ends 0 when no upload was lost and none failed.

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iostream>
#include <map>
#include <mutex>
#include <thread>

#include <nlohmann/json.hpp>

#include "robot/e2e/robot_process.h"
#include "robot/secrets.h"

namespace velmora::robot::e2e {
namespace {

using Clock = std::chrono::steady_clock;
using Json = nlohmann::json;

struct Options {
  std::string robot, log;
  double seconds = 60, rate = 50;
  int clients = 16;
};

struct Outcome {
  double latency_ms = 0;
  int status = 0;  // 0: no answer
  std::string error;  // why not
  std::string receipt, sha256;
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// A call of its own for upload `n`.
std::string CallOf(int n) {
  static const char* const kPrefixes[] = {"OK", "DL", "SP", "HA", "OM", "LY", "ES", "YL"};
  std::string call = std::string(kPrefixes[n % 8]) + char('0' + n / 8 % 10);
  for (int rest = n / 80, i = 0; i < 3; ++i, rest /= 26) call += char('A' + rest % 26);
  return call;
}

std::string CallOfLog(const std::string& log) {
  const std::size_t at = log.find("CALLSIGN:");
  if (at == std::string::npos) return "";
  std::size_t begin = log.find_first_not_of(" \t", at + 9);
  std::size_t end = log.find_first_of(" \t\r\n", begin);
  return log.substr(begin, end - begin);
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  std::size_t i = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(i, values.size() - 1)];
}

// CPU seconds the process has used, from /proc.
double CpuSeconds(pid_t pid) {
  std::string stat;
  try {
    stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  } catch (const std::exception&) {
    return 0;
  }
  std::size_t at = stat.rfind(')');
  unsigned long long utime = 0, stime = 0;
  // Fields after the name: state is the 3rd; utime the 14th, stime the 15th.
  if (at == std::string::npos ||
      std::sscanf(stat.c_str() + at + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
                  &utime, &stime) != 2)
    return 0;
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

int Run(const Options& o) {
  InitSecrets();
  const std::string log = ReadFile(o.log);
  const std::string own_call = CallOfLog(log);
  TempDir dir;
  WriteFile(dir.path() / "robot.conf", "uploads-per-minute = 100000\n");
  RobotProcess server;
  server.Start({o.robot, dir.path() / "data", dir.path() / "robot.conf", {}});
  const int port = server.port();

  std::atomic<int> next_call = 0;
  std::mutex mutex;
  std::vector<Outcome> outcomes;
  const auto start = Clock::now();
  const auto end = start + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(o.seconds));
  const double cpu_before = CpuSeconds(server.pid());
  auto client = [&](int index) {
    httplib::Client c("127.0.0.1", port);
    c.set_connection_timeout(10);
    c.set_read_timeout(60);
    c.set_write_timeout(60);
    const auto interval = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(o.rate > 0 ? o.clients / o.rate : 0));
    auto due = start + interval * index / o.clients;
    std::vector<Outcome> mine;
    while (true) {
      if (o.rate > 0) std::this_thread::sleep_until(due);
      const auto sent = Clock::now();
      if (sent >= end) break;
      due += interval;
      const std::string text = Replaced(log, own_call, CallOf(next_call++));
      auto res = c.Post("/api/submit",
                        httplib::MultipartFormDataItems{
                            {"log", text, "log.cbr", "application/octet-stream"}});
      Outcome out;
      out.latency_ms = std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
      if (!res) out.error = httplib::to_string(res.error());
      if (res) {
        out.status = res->status;
        if (res->status == 200) {
          const Json body = Json::parse(res->body, nullptr, false);
          if (!body.is_discarded()) out.receipt = body.value("receipt", "");
          out.sha256 = Sha256Hex(text);
          if (body.is_discarded() || body.value("sha256", "") != out.sha256) out.status = -1;
        }
      }
      mine.push_back(std::move(out));
    }
    std::lock_guard lock(mutex);
    outcomes.insert(outcomes.end(), mine.begin(), mine.end());
  };
  std::vector<std::thread> threads;
  for (int i = 0; i < o.clients; ++i) threads.emplace_back(client, i);
  for (std::thread& t : threads) t.join();
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  const double cpu = CpuSeconds(server.pid()) - cpu_before;

  // Every receipt given is there with its log's hash; the store holds as
  // many versions as there were receipts.
  httplib::Client c("127.0.0.1", port);
  c.set_read_timeout(60);
  int accepted = 0, failed = 0, lost = 0;
  std::map<int, int> by_status;
  std::map<std::string, int> errors;
  std::vector<double> latencies;
  for (const Outcome& out : outcomes) {
    ++by_status[out.status];
    if (!out.error.empty()) ++errors[out.error];
    latencies.push_back(out.latency_ms);
    if (out.status != 200) {
      ++failed;
      continue;
    }
    ++accepted;
    auto res = c.Get("/api/receipt/" + out.receipt);
    const Json body = res && res->status == 200 ? Json::parse(res->body, nullptr, false) : Json();
    if (!body.is_object() || body.value("sha256", "") != out.sha256) ++lost;
  }
  long long versions = 0;
  if (auto res = c.Get("/api/logs"); res && res->status == 200)
    for (const Json& l : Json::parse(res->body)) versions += l["versions"].get<long long>();
  server.Kill(SIGTERM);  // a clean stop folds the write-ahead log into the database
  std::uintmax_t db_bytes = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path() / "data"))
    db_bytes += e.file_size();

  std::printf("load run: %d clients, %.0f s, target %s uploads/s, log of %zu bytes\n", o.clients,
              o.seconds, o.rate > 0 ? std::to_string(static_cast<int>(o.rate)).c_str() : "max",
              log.size());
  std::printf("uploads:            %zu sent, %d accepted (200), %d failed\n", outcomes.size(),
              accepted, failed);
  for (const auto& [status, count] : by_status)
    if (status != 200)
      std::printf("  status %d:        %d%s\n", status, count,
                  status == 0 ? " (no answer)" : status == -1 ? " (wrong receipt)" : "");
  for (const auto& [error, count] : errors) std::printf("  no answer: %s: %d\n", error.c_str(), count);
  std::printf("achieved:           %.1f uploads/s\n", accepted / elapsed);
  std::printf("latency (ms):       median %.1f, p90 %.1f, p99 %.1f, max %.1f\n",
              Percentile(latencies, 0.5), Percentile(latencies, 0.9),
              Percentile(latencies, 0.99), Percentile(latencies, 1.0));
  std::printf("server CPU:         %.2f s, %.2f ms per upload, %.0f %% of one core\n", cpu,
              accepted ? 1000 * cpu / accepted : 0.0, 100 * cpu / elapsed);
  std::printf("store:              %lld versions listed for %d receipts; lost %d\n", versions,
              accepted, lost);
  std::printf("database:           %.1f MB, %.1f kB per log\n", db_bytes / 1e6,
              accepted ? db_bytes / 1e3 / accepted : 0.0);
  return lost == 0 && failed == 0 && versions == accepted ? 0 : 1;
}

}  // namespace
}  // namespace velmora::robot::e2e

int main(int argc, char** argv) {
  velmora::robot::e2e::Options o;
  try {
    for (int i = 1; i < argc; ++i) {
      const std::string arg = argv[i];
      if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
      const std::string value = argv[++i];
      if (arg == "--robot") o.robot = value;
      else if (arg == "--log") o.log = value;
      else if (arg == "--seconds") o.seconds = std::stod(value);
      else if (arg == "--rate") o.rate = std::stod(value);
      else if (arg == "--clients") o.clients = std::stoi(value);
      else throw std::invalid_argument("unknown option " + arg);
    }
    if (o.robot.empty() || o.log.empty() || o.clients < 1 || o.seconds <= 0)
      throw std::invalid_argument("--robot and --log are needed");
    return velmora::robot::e2e::Run(o);
  } catch (const std::exception& e) {
    std::cerr << "velmora_robot_load: " << e.what() << "\n"
              << "usage: velmora_robot_load --robot PATH --log FILE [--seconds 60] [--rate 50] "
                 "[--clients 16]\n";
    return 2;
  }
}
