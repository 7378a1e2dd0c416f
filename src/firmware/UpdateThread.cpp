#include "firmware/UpdateThread.h"

#include "firmware/DeviceFlashLink.h"
#include "link/Modem.h"

namespace zorvan::firmware {

TUpdateThread::TUpdateThread(TDevZorvan& device, TFlashDriver driver, std::vector<TBlock> blocks,
                             TFlashReport& report)
    : device_(device), driver_(driver), blocks_(std::move(blocks)), report_(report) {}

TUpdateThread::~TUpdateThread() {
  RequestStop();
  Join();
}

void TUpdateThread::Start() {
  if (!thread_.joinable() && !finished_.load()) thread_ = std::thread([this] { Run(); });
}

void TUpdateThread::Join() {
  if (thread_.joinable()) thread_.join();
}

void TUpdateThread::Run() {
  if (onStart) onStart();
  try {
    TLineLease lease(device_);
    if (!lease.Worker()) {
      result_.outcome = TFlashOutcome::NoLine;
    } else {
      TDeviceFlashLink link(*lease.Worker(), stop_);
      result_ = RunFlash(driver_, blocks_, device_.FirmwareResume(), link, report_);
      if (endConnectionAfterSuccess && result_.Ok()) lease.Worker()->Terminate();
    }
  } catch (...) {
    // Any error leaves the update failed.
    result_.outcome = TFlashOutcome::Stopped;
  }
  finished_.store(true);
}

}  // namespace zorvan::firmware
