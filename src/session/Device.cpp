#include "session/Device.h"

#include "session/OutArray.h"
#include "session/UiBridge.h"

namespace zorvan {

void TDevice::Log(const std::string& text, bool window, bool time) { out_.PostLog(text, window, time); }

void TDevice::ConnectStatus(const std::string& text) { out_.PostText(controls::kSplashStatus, text); }

void TDevice::WorkerFailed(const std::string& text) { out_.PostMessageBox(text); }

// The main window's disconnect command tidies up after the worker.
void TDevice::ConnectionEnded() { out_.PostText(controls::kDisconnectButton, "Click"); }

}  // namespace zorvan
