#include "pages/ennumber/EnNumberOperations.h"

#include "model/Codecs.h"
#include "pages/ennumber/EnNumber.h"
#include "session/PageCatalogue.h"
#include "session/PageRun.h"

namespace zorvan {
namespace {

const TFlagCodec kAnyNumber{TFlagCodec::OneIsOff};

void ReadEnNumbers(TDevZorvan& device, const TPage& p) {
  const TFormEnNumber& page = PageOf<TFormEnNumber>(p);
  RunPageSteps(device, page, "Ошибка при чтении инженерных номеров!", [&](TPageRun& run) { run.ReadTable(); });
}

void WriteEnNumbers(TDevZorvan& device, const TPage& p) {
  const TFormEnNumber& page = PageOf<TFormEnNumber>(p);
  RunPageSteps(device, page, "Ошибка при записи инженерных номеров!", [&](TPageRun& run) {
    bool allEmpty = true;
    for (TControl* number : page.etN) allEmpty = allEmpty && run.Values()[*number].text.empty();
    // The panel must stay configurable from somewhere.
    if (allEmpty) run.ShowChecked(page.cbEnNumber, true);
    run.WriteTable();
  });
}

}  // namespace

TParam EngineerNumberParam(TControl& field, int k) {
  // Read with a lower-case letter and the number as a hexadecimal digit, written with an
  // upper-case one and the number in decimal; empty numbers are sent empty and clear the slot.
  return {.field = &field, .read = "+j" + HexText(k, 1), .write = "+J" + std::to_string(k) + "="};
}

TParam AnyNumberParam(TControl& field) { return {.field = &field, .read = "+E", .write = "+E=", .codec = &kAnyNumber}; }

const TPageKind& EnNumberKind() {
  static const TPageKind kind{
      .create = CreatePage<TFormEnNumber>,
      .read = ReadEnNumbers,
      .write = WriteEnNumbers,
  };
  return kind;
}

}  // namespace zorvan
