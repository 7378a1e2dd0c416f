#include "cli/CliUi.h"

#include "app/Cp1251.h"

namespace zorvan {

std::string TCliUi::FieldText(const TControlRef& field) {
  std::string text;
  RunOnUiThread([&] {
    auto found = fields_.find(Key(field));
    if (found != fields_.end()) text = found->second;
  });
  return text;
}

int TCliUi::FieldItemIndex(const TControlRef& field) {
  try {
    return std::stoi(FieldText(field));
  } catch (const std::exception&) {
    return -1;
  }
}

void TCliUi::Pump(double realMs) {
  Drain();
  calls_.Serve(realMs);
  Drain();
}

void TCliUi::Drain() {
  while (auto element = out_.TakeElement()) Apply(*element);
}

void TCliUi::Apply(const TOutElement& element) {
  switch (element.Kind()) {
    case kOutMemo: {
      const auto& memo = static_cast<const TMemoOut&>(element);
      if (logFile_) {
        std::fwrite(memo.text.data(), 1, memo.text.size(), logFile_);
        std::fputs("\r\n", logFile_);
        std::fflush(logFile_);
      }
      if (verbose_) {
        // A terminal would jump back on a bare carriage return; show it instead.
        std::string shown;
        for (char c : memo.text) shown += c == '\r' ? std::string("\\r") : std::string(1, c);
        std::fprintf(stderr, "%s\n", Cp1251ToUtf8(shown).c_str());
      }
      break;
    }
    case kOutControl: {
      const auto& control = static_cast<const TControlOut&>(element);
      if (control.target == controls::kSplashStatus) lastStatus_ = control.text;
      if (control.target == controls::kSplashOk && control.text == "Click") connected_ = true;
      if (control.target == controls::kDisconnectButton && control.text == "Click") disconnectClicked_ = true;
      break;
    }
    case kOutMessage: {
      const auto& message = static_cast<const TMsgOut&>(element);
      std::fprintf(stderr, "%s\n", Cp1251ToUtf8(message.text).c_str());
      break;
    }
    default:
      break;  // no windows here: page fields, colours and menus have nothing to show
  }
}

}  // namespace zorvan
