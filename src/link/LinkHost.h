#pragma once
// What the worker thread needs from the session above it: the body of its request loop and
// the places its reports go. The session gives the worker one; the link knows nothing more.
#include <cstdint>
#include <string>

namespace zorvan {

class TLinkHost {
 public:
  virtual ~TLinkHost() = default;
  // One request on the worker thread; may raise, and then the request stays pending.
  virtual void Run(std::uint8_t requestCode) = 0;
  // A line of the exchange log.
  virtual void Log(const std::string& text, bool window, bool time) = 0;
  // How the connection attempt goes (the progress dialog's status line).
  virtual void ConnectStatus(const std::string& text) = 0;
  // The worker broke down; the user is told with this text.
  virtual void WorkerFailed(const std::string& text) = 0;
  // The worker's last step: the connection is over.
  virtual void ConnectionEnded() = 0;
};

}  // namespace zorvan
