#include "support/cups_server.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace support {

namespace {

// The server and the administrator's programs sit in sbin, which an ordinary user's PATH
// often lacks.
std::string findProgram(const std::string& name) {
  std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  path += ":/usr/sbin:/sbin:/usr/bin:/bin";
  std::stringstream dirs(path);
  for (std::string d; std::getline(dirs, d, ':');) {
    if (d.empty()) continue;
    const fs::path candidate = fs::path(d) / name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  throw std::runtime_error(name + " is not installed (scripts/install-deps --tests installs it)");
}

// In a child between fork and exec: stdin from /dev/null, stdout and stderr to `out` and
// `err`, and no other descriptor of the test's: ctest waits for every process that holds
// the test's output open.
[[noreturn]] void execWith(const std::vector<std::string>& argv, int out, int err) {
  const int null = open("/dev/null", O_RDONLY);
  dup2(null, 0);
  dup2(out, 1);
  dup2(err, 2);
  close_range(3, ~0U, 0);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execv(args[0], args.data());
  _exit(127);
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

// A connection to the server's socket, closed at once: it wakes the server's wait, which a
// signal alone does not end (the server waits out its timer of a second first).
void poke(const std::string& socketPath) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
  connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  close(fd);
}

// Whether the process has ended, reaping it if so.
bool ended(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == pid; }

std::string ppdFile(PrivateCups::Ppd ppd) {
  switch (ppd) {
    case PrivateCups::Ppd::A4: return ORVIDA_TEST_PPD_DIR "/a4.ppd";
    case PrivateCups::Ppd::Letter: return ORVIDA_TEST_PPD_DIR "/letter.ppd";
    case PrivateCups::Ppd::None: break;
  }
  return "";
}

}  // namespace

PrivateCups::PrivateCups() {
  // Short: the socket's path must fit in a Unix socket address.
  std::string pattern = (fs::temp_directory_path() / "orvida-cups-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  dir_ = pattern;
  const fs::path dir(dir_);
  // The server refuses to run as root; as root it runs as lp, which must read the folder.
  fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                           fs::perms::others_exec);
  std::string runUser = "lp", runGroup = "lp";
  if (geteuid() != 0) {
    const passwd* pw = getpwuid(geteuid());
    const struct group* gr = getgrgid(getegid());
    if (!pw || !gr) throw std::runtime_error("the user running the tests has no name");
    runUser = pw->pw_name;
    runGroup = gr->gr_name;
  }
  for (const char* sub : {"cache", "state", "spool", "tmp", "home"}) fs::create_directory(dir / sub);
  writeFile(dir / "cupsd.conf", "Listen " + dir_ +
                                    "/sock\n"
                                    "Browsing No\n"
                                    "WebInterface No\n"
                                    "DefaultShared No\n"
                                    "LogLevel warn\n"
                                    "<Policy default>\n"
                                    "  <Limit All>\n"
                                    "    Order allow,deny\n"
                                    "    Allow all\n"
                                    "  </Limit>\n"
                                    "</Policy>\n");
  writeFile(dir / "cups-files.conf", "ServerRoot " + dir_ + "\nCacheDir " + dir_ + "/cache\nStateDir " + dir_ +
                                         "/state\nRequestRoot " + dir_ + "/spool\nTempDir " + dir_ +
                                         "/tmp\nAccessLog " + dir_ + "/access_log\nErrorLog " + dir_ +
                                         "/error_log\nPageLog " + dir_ + "/page_log\nFileDevice Yes\nPrintcap " + dir_ +
                                         "/printcap\nUser " + runUser + "\nGroup " + runGroup + "\n");
  setenv("CUPS_SERVER", (dir / "sock").c_str(), 1);
  setenv("CUPS_SERVERROOT", dir_.c_str(), 1);
  setenv("HOME", home().c_str(), 1);
  unsetenv("LPDEST");
  unsetenv("PRINTER");
  try {
    start();
  } catch (...) {
    removeDir();
    throw;
  }
}

PrivateCups::~PrivateCups() {
  stop();
  removeDir();
}

void PrivateCups::removeDir() {
  // The server leaves folders without write permission (its certificates).
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(dir_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(dir_, ec);
}

void PrivateCups::start() {
  if (pid_ > 0) throw std::runtime_error("the print server is running already");
  const std::vector<std::string> argv = {findProgram("cupsd"), "-f", "-c",
                                         dir_ + "/cupsd.conf", "-s", dir_ + "/cups-files.conf"};
  const int log = open((dir_ + "/cupsd.log").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (log < 0) throw std::runtime_error("cannot open the print server's log");
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    // A test that dies on its own leaves no server behind.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(1);
    execWith(argv, log, log);
  }
  close(log);
  if (pid < 0) throw std::runtime_error("cannot start the print server");
  pid_ = pid;
  waitUntilUp();
}

void PrivateCups::waitUntilUp() {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < deadline) {
    if (ended(pid_)) {
      pid_ = -1;
      throw std::runtime_error("the print server ended at its start:\n" + readFile(dir_ + "/cupsd.log") +
                               readFile(dir_ + "/error_log"));
    }
    if (run({"lpstat", "-r"}).out == "scheduler is running\n") return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  stop();
  throw std::runtime_error("the print server did not answer within 10 s:\n" + readFile(dir_ + "/error_log"));
}

void PrivateCups::stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGCONT);  // a frozen server would never see the SIGTERM
  kill(pid_, SIGTERM);
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  for (int round = 0; !ended(pid_); ++round) {
    if (round % 4 == 0) poke(dir_ + "/sock");
    if (Clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = -1;
}

void PrivateCups::freeze() {
  if (pid_ <= 0 || kill(pid_, SIGSTOP) != 0) throw std::runtime_error("no print server to freeze");
}

void PrivateCups::thaw() {
  if (pid_ <= 0 || kill(pid_, SIGCONT) != 0) throw std::runtime_error("no print server to thaw");
}

PrivateCups::Run PrivateCups::run(const std::vector<std::string>& argv) const {
  std::vector<std::string> args = argv;
  args[0] = findProgram(args[0]);
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
  if (pipe2(err, O_CLOEXEC) != 0) {
    close(out[0]);
    close(out[1]);
    throw std::runtime_error("cannot make a pipe");
  }
  const pid_t pid = fork();
  if (pid == 0) execWith(args, out[1], err[1]);
  close(out[1]);
  close(err[1]);
  Run result;
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  std::string* into[2] = {&result.out, &result.err};
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  bool hung = false;
  for (int open = 2; open > 0 && pid > 0;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      hung = true;
      break;
    }
    if (poll(fds, 2, static_cast<int>(left)) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buf[4096];
      const ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n > 0) {
        into[i]->append(buf, static_cast<std::size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (const pollfd& f : fds)
    if (f.fd >= 0) close(f.fd);
  if (pid < 0) throw std::runtime_error("cannot start " + args[0]);
  if (hung) kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  if (hung) throw std::runtime_error(argv[0] + " did not end within 10 s");
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

namespace {
// What a client printed, or a failure with what it said.
std::string checked(const PrivateCups::Run& r, const std::vector<std::string>& argv) {
  if (r.status == 0) return r.out;
  std::string cmd;
  for (const auto& a : argv) cmd += (cmd.empty() ? "" : " ") + a;
  throw std::runtime_error(cmd + " failed (" + std::to_string(r.status) + "): " + r.err);
}
}  // namespace

void PrivateCups::addQueue(const Queue& queue) {
  std::vector<std::string> argv = {"lpadmin", "-p", queue.name, "-E", "-v", "file:/dev/null"};
  if (queue.ppd != Ppd::None) argv.insert(argv.end(), {"-P", ppdFile(queue.ppd)});
  if (!queue.description.empty()) argv.insert(argv.end(), {"-D", queue.description});
  if (!queue.location.empty()) argv.insert(argv.end(), {"-L", queue.location});
  if (queue.shared) argv.insert(argv.end(), {"-o", "printer-is-shared=true"});
  checked(run(argv), argv);
}

void PrivateCups::setDefault(const std::string& name) {
  const std::vector<std::string> argv = {"lpoptions", "-d", name};
  checked(run(argv), argv);
}

void PrivateCups::disable(const std::string& name) {
  const std::vector<std::string> argv = {"cupsdisable", name};
  checked(run(argv), argv);
}

std::string PrivateCups::lpoptions(const std::string& name) const {
  const std::vector<std::string> argv = {"lpoptions", "-p", name};
  return checked(run(argv), argv);
}

std::string PrivateCups::lpstatDefault() const { return run({"lpstat", "-d"}).out; }

std::string PrivateCups::home() const { return dir_ + "/home"; }

std::string PrivateCups::userOptionsPath() const { return home() + "/.cups/lpoptions"; }

std::string PrivateCups::userOptions() const { return readFile(userOptionsPath()); }

}  // namespace support
