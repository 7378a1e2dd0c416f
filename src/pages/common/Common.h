#pragma once
// The general settings page: object number, master code, IMEI ident switch, the GSM
// signal gauges of both SIM cards and the panel's service links.
#include <cstdint>
#include <functional>

#include "model/Page.h"

namespace zorvan {

class TformCommon : public TformIncl {
 public:
  TformCommon();

  void AdaptToPanel(const TPanelIdentity& panel) override;

  // What the links need from the shell. postRequest returns false while not connected.
  std::function<bool(std::uint8_t code)> postRequest;
  // Restart: the panel reboots, the connection ends and is opened again.
  std::function<void()> reconnect;

  // Heights of the group "Сигнал GSM"; its Position carries the height for the view.
  static constexpr int kSignalGroupTwoRows = 90;
  static constexpr int kSignalGroupOneRow = 58;

 private:
  void SetAllEnabled(bool enabled);
};

// Key filters of the edits: the character to insert, or 0 to discard the key.
// Backspace ('\b') passes both.
char FilterObjectNumberKey(char key);
char FilterMasterCodeKey(char key);

// The IMEI ident protocol exists on family 9 from build 2 to 999.
bool HasImeiIdent(int family, int build);

}  // namespace zorvan
