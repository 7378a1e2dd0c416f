#include "app/HeadlessView.h"

namespace zorvan {

void THeadlessView::Tick() { shell_.Tick(tickMs); }

int THeadlessView::ExecModal(TForm& form) {
  if (modal) return modal(form);
  if (&form == &shell_.ConnectDialog()) {
    if (onConnectDialog) onConnectDialog(shell_.ConnectDialog());
    return TForm::mrOk;
  }
  // The progress dialog: it closes when the connection is up; a worker that fails ends it.
  int result = TForm::mrNone;
  form.onCloseModal = [&](int r) { result = r; };
  for (int waited = 0; result == TForm::mrNone && shell_.Connected(); waited += tickMs) {
    if (progressLimitMs > 0 && waited >= progressLimitMs) break;
    Tick();
  }
  form.onCloseModal = nullptr;
  return result == TForm::mrOk ? TForm::mrOk : TForm::mrCancel;
}

void THeadlessView::ShowMessage(const std::string& text) {
  messages.push_back(text);
  if (onMessage) onMessage(text);
}

void THeadlessView::ShowError(const std::string& caption, const std::string& text) {
  errors.push_back(caption + ": " + text);
  if (onError) onError(caption, text);
}

TAnswer THeadlessView::Ask(const TQuestion& question) {
  questions.push_back(question.text);
  return onAsk ? onAsk(question) : TAnswer::NotAsked;
}

std::string THeadlessView::AskFile(const TFileQuestion& question) {
  questions.push_back(question.caption);
  return onAskFile ? onAskFile(question) : std::string();
}

}  // namespace zorvan
