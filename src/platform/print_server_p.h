#pragma once

// The print server as the stand-ins see it: one request per entry over a connection of its
// own with a short time-out, and the user's own options for each queue.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

// No entry waits longer than this for a connection or an answer.
constexpr int kServerTimeoutMs = 2000;

// A queue as the server lists it. Texts are UTF-8.
struct Queue {
  std::string name;
  std::string info;  // its description
  std::string location;
  std::string makeAndModel;
  std::string deviceUri;
  int state = 3;  // 3 idle, 4 processing, 5 stopped
  int jobs = 0;
  bool shared = false;
  bool serverDefault = false;
  std::vector<std::string> media;  // media-supported, in the server's order
  std::string mediaDefault;
  std::vector<std::string> sides;  // sides-supported
  std::string sidesDefault;
  int orientationDefault = 0;  // 3 portrait, 4 landscape, 0 none
  int copiesDefault = 0;
};

// Every queue of the server, or nullopt when it is down or does not answer in time.
std::optional<std::vector<Queue>> listQueues();
// The queue of that name among `queues`; nullptr when there is none.
const Queue* queueNamed(const std::vector<Queue>& queues, const std::string& name);
// One queue by name; nullopt when there is no such queue or the server fails.
std::optional<Queue> findQueue(const std::string& name);
// Whether two names are the same but for the case of their ASCII letters, as the options
// file's keywords and the profile's names are compared.
bool sameName(std::string_view a, std::string_view b);

class UserOptions;

// The user's default among `queues`: the one the user's options name when it exists, else
// the server's default; "" when there is neither.
std::string userDefault(const std::vector<Queue>& queues, const UserOptions& options);

// The user's options file, as `lpoptions` keeps it: one line per queue ("Dest name opts"),
// the user's default marked "Default". Lines this code does not change are kept as written.
class UserOptions {
 public:
  // The user's file, with the machine's file beneath it for reading.
  static UserOptions load();

  // The user's default queue, or "" when neither file names one.
  std::string defaultQueue() const;
  // The options of one queue (no instance), the user's over the machine's.
  std::map<std::string, std::string> options(const std::string& queue) const;

  void setDefault(const std::string& queue);
  void setOption(const std::string& queue, const std::string& name, const std::string& value);

  // Writes the user's file whole (through a file beside it, renamed over it); false when it
  // cannot be stored, the file then as it was.
  bool store() const;

 private:
  struct Line {
    std::string keyword;  // "Dest" or "Default"; empty for a line kept as it stands
    std::string name;     // queue name, with "/instance" when it has one
    std::vector<std::pair<std::string, std::string>> options;
    std::string text;  // the line as read, for kept lines
  };
  Line* lineOf(const std::string& queue);
  std::vector<Line> user_;
  std::vector<Line> machine_;
  std::string path_;
};

}  // namespace platform::detail
