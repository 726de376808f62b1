#include <cups/cups.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/print_server_p.h"
#include "runtime/strings.h"

namespace platform::detail {

namespace {

// A connection that gives up at its first request that takes too long: libcups's own
// default connection waits a minute on a server that stopped answering.
class Connection {
 public:
  Connection() {
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kServerTimeoutMs, nullptr);
    if (http_) httpSetTimeout(http_, kServerTimeoutMs / 1000.0, giveUp, nullptr);
  }
  ~Connection() {
    if (http_) httpClose(http_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // The response, or nullptr when there is none in time (the library's last error may then
  // still say "successful", so the missing response is what counts).
  ipp_t* send(ipp_t* request) {
    if (!http_) {
      ippDelete(request);
      return nullptr;
    }
    return cupsDoRequest(http_, request, "/");
  }

 private:
  static int giveUp(http_t*, void*) { return 0; }
  http_t* http_ = nullptr;
};

const char* const kWanted[] = {
    "printer-name",     "printer-info",
    "printer-location", "printer-make-and-model",
    "device-uri",       "printer-state",
    "queued-job-count", "printer-is-shared",
    "printer-type",     "media-supported",
    "media-default",    "sides-supported",
    "sides-default",    "orientation-requested-default",
    "copies-default",
};

std::string text(ipp_attribute_t* a, int i = 0) {
  const char* s = ippGetString(a, i, nullptr);
  return s ? s : "";
}

std::vector<std::string> texts(ipp_attribute_t* a) {
  std::vector<std::string> out;
  for (int i = 0; i < ippGetCount(a); ++i) out.push_back(text(a, i));
  return out;
}

void take(Queue& q, ipp_attribute_t* a) {
  const std::string name = ippGetName(a);
  const ipp_tag_t tag = ippGetValueTag(a);
  const bool integer = tag == IPP_TAG_INTEGER || tag == IPP_TAG_ENUM;
  if (name == "printer-name")
    q.name = text(a);
  else if (name == "printer-info")
    q.info = text(a);
  else if (name == "printer-location")
    q.location = text(a);
  else if (name == "printer-make-and-model")
    q.makeAndModel = text(a);
  else if (name == "device-uri")
    q.deviceUri = text(a);
  else if (name == "printer-state" && integer)
    q.state = ippGetInteger(a, 0);
  else if (name == "queued-job-count" && integer)
    q.jobs = ippGetInteger(a, 0);
  else if (name == "printer-is-shared")
    q.shared = ippGetBoolean(a, 0) != 0;
  else if (name == "printer-type" && integer)
    q.serverDefault = (ippGetInteger(a, 0) & CUPS_PRINTER_DEFAULT) != 0;
  else if (name == "media-supported")
    q.media = texts(a);
  else if (name == "media-default")
    q.mediaDefault = text(a);
  else if (name == "sides-supported")
    q.sides = texts(a);
  else if (name == "sides-default")
    q.sidesDefault = text(a);
  else if (name == "orientation-requested-default" && integer)
    q.orientationDefault = ippGetInteger(a, 0);
  else if (name == "copies-default" && integer)
    q.copiesDefault = ippGetInteger(a, 0);
}

}  // namespace

std::optional<std::vector<Queue>> listQueues() {
  Connection connection;
  ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(std::size(kWanted)), nullptr, kWanted);
  ipp_t* response = connection.send(request);
  if (!response) return std::nullopt;
  std::vector<Queue> queues;
  // A server without queues answers "not found".
  const ipp_status_t status = ippGetStatusCode(response);
  if (status > IPP_STATUS_OK_EVENTS_COMPLETE) {
    ippDelete(response);
    if (status == IPP_STATUS_ERROR_NOT_FOUND) return queues;
    return std::nullopt;
  }
  std::optional<Queue> current;
  for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
    if (!ippGetName(a) || ippGetGroupTag(a) != IPP_TAG_PRINTER) {
      if (current && !current->name.empty()) queues.push_back(std::move(*current));
      current.reset();
      continue;
    }
    if (!current) current.emplace();
    take(*current, a);
  }
  if (current && !current->name.empty()) queues.push_back(std::move(*current));
  ippDelete(response);
  return queues;
}

const Queue* queueNamed(const std::vector<Queue>& queues, const std::string& name) {
  auto it = std::find_if(queues.begin(), queues.end(), [&](const Queue& q) { return q.name == name; });
  return it == queues.end() ? nullptr : &*it;
}

std::optional<Queue> findQueue(const std::string& name) {
  const auto queues = listQueues();
  const Queue* q = queues ? queueNamed(*queues, name) : nullptr;
  return q ? std::optional<Queue>(*q) : std::nullopt;
}

bool sameName(std::string_view a, std::string_view b) { return rt::lower(a) == rt::lower(b); }

// ---- The user's options.

namespace {

std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return {};
}

std::string serverRoot() {
  if (const char* root = std::getenv("CUPS_SERVERROOT"); root && *root) return root;
  return "/etc/cups";
}

// A value as the options file needs it: quoted when it holds a blank, a quote or a backslash.
std::string quoted(const std::string& value) {
  if (value.find_first_of(" \t\"'\\") == std::string::npos && !value.empty()) return value;
  std::string out = "\"";
  for (char c : value) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

UserOptions UserOptions::load() {
  UserOptions file;
  const std::string home = homeFolder();
  file.path_ = home.empty() ? std::string() : home + "/.cups/lpoptions";
  auto read = [](const std::string& path, std::vector<Line>& lines) {
    std::ifstream in(path);
    std::string text;
    while (std::getline(in, text)) {
      Line line;
      line.text = text;
      std::istringstream words(text);
      std::string keyword, name;
      words >> keyword >> name;
      if ((sameName(keyword, "dest") || sameName(keyword, "default")) && !name.empty()) {
        line.keyword = sameName(keyword, "default") ? "Default" : "Dest";
        line.name = name;
        std::string rest;
        std::getline(words, rest);
        cups_option_t* options = nullptr;
        const int n = cupsParseOptions(rest.c_str(), 0, &options);
        for (int i = 0; i < n; ++i) line.options.emplace_back(options[i].name, options[i].value);
        cupsFreeOptions(n, options);
      }
      lines.push_back(std::move(line));
    }
  };
  read(serverRoot() + "/lpoptions", file.machine_);
  if (!file.path_.empty()) read(file.path_, file.user_);
  return file;
}

std::string UserOptions::defaultQueue() const {
  for (const auto* lines : {&user_, &machine_})
    for (const Line& line : *lines)
      if (line.keyword == "Default") return line.name.substr(0, line.name.find('/'));
  return {};
}

std::map<std::string, std::string> UserOptions::options(const std::string& queue) const {
  std::map<std::string, std::string> out;
  for (const auto* lines : {&machine_, &user_})
    for (const Line& line : *lines)
      if (!line.keyword.empty() && line.name == queue)
        for (const auto& [name, value] : line.options) out[name] = value;
  return out;
}

UserOptions::Line* UserOptions::lineOf(const std::string& queue) {
  for (Line& line : user_)
    if (!line.keyword.empty() && line.name == queue) return &line;
  Line line;
  line.keyword = "Dest";
  line.name = queue;
  user_.push_back(std::move(line));
  return &user_.back();
}

void UserOptions::setDefault(const std::string& queue) {
  for (Line& line : user_)
    if (line.keyword == "Default") line.keyword = "Dest";
  lineOf(queue)->keyword = "Default";
}

void UserOptions::setOption(const std::string& queue, const std::string& name, const std::string& value) {
  Line* line = lineOf(queue);
  for (auto& option : line->options)
    if (option.first == name) {
      option.second = value;
      return;
    }
  line->options.emplace_back(name, value);
}

bool UserOptions::store() const {
  if (path_.empty()) return false;
  const std::string folder = path_.substr(0, path_.rfind('/'));
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  const std::string temporary = path_ + ".orvida-new";
  {
    std::ofstream out(temporary, std::ios::trunc);
    if (!out) return false;
    for (const Line& line : user_) {
      if (line.keyword.empty()) {
        out << line.text << '\n';
        continue;
      }
      // A plain queue line with nothing to say is left out, as lpoptions leaves it out.
      if (line.keyword == "Dest" && line.options.empty()) continue;
      out << line.keyword << ' ' << line.name;
      for (const auto& [name, value] : line.options) out << ' ' << name << '=' << quoted(value);
      out << '\n';
    }
    out.flush();
    if (!out) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

std::string userDefault(const std::vector<Queue>& queues, const UserOptions& options) {
  const std::string named = options.defaultQueue();
  if (!named.empty() && queueNamed(queues, named)) return named;
  auto server = std::find_if(queues.begin(), queues.end(), [](const Queue& q) { return q.serverDefault; });
  return server == queues.end() ? std::string() : server->name;
}

}  // namespace platform::detail
