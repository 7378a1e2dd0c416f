#include "pages/Catalogue.h"

#include "pages/Rules.h"

namespace zorvan {

// What each built page's folder gives; a page's row names it once the page is built.
const TPageKind& CommonKind();
const TPageKind& ATestsKind();
const TPageKind& GprsKind();
const TPageKind& OutsKind();
const TPageKind& EnNumberKind();

const TCatalogue& PageCatalogue() {
  using P = TPageId;
  static const TCatalogue catalogue{
      .pages =
          {
              // id, identifier, caption, family-9 node, family-101 node, node code, incl, own clearing,
              // read steps, write steps, kind
              {P::Common, "formCommon", "Общие настройки", "Общие настройки", "Общие настройки", 16, true, false,
               {}, {}, &CommonKind()},
              {P::ATests, "formATests", "Системные события", "Системные события", "Системные события", 20, false,
               false, {}, {}, &ATestsKind()},
              {P::GPRS, "formGPRS", "Настройка GPRS", "Настройки GPRS", "Настройки GPRS", 17, false, false, {}, {},
               &GprsKind()},
              {P::Ways, "formWays", "Каналы связи", "Каналы связи", "Каналы связи", 10, false, true, {}, {}, nullptr},
              {P::ACP, "formACP", "Шлейфы", "Шлейфы", "", 1, true, false, {}, {}, nullptr},
              {P::Shleif, "formShleif", "Зоны", "Зоны", "Кнопки", 12, true, true,
               {{P::Razd, true}, {P::Shleif}, {P::Keys, true}}, {{P::Shleif}, {P::Razd, true}, {P::Keys, true}},
               nullptr},
              {P::Razd, "formRazd", "Разделы", "Разделы", "", 13, true, true,
               {{P::Razd}, {P::Shleif, true}, {P::Keys, true}}, {{P::Shleif, true}, {P::Razd}, {P::Keys, true}},
               nullptr},
              {P::Keyboard, "formKeyboard", "Клавиатура", "Клавиатура", "", 129, true, false, {}, {}, nullptr},
              {P::Keys, "formKeys", "Коды", "Коды", "", 14, true, false, {}, {}, nullptr},
              {P::TMKeys, "formTMKeys", "Ключи Touch Memory", "Ключи Touch Memory", "", 130, true, false, {}, {},
               nullptr},
              {P::Outs, "formOuts", "Выходы", "Выходы", "", 222, true, false, {}, {}, &OutsKind()},
              {P::EnNumber, "FormEnNumber", "Инженерные номера", "Инженерные номера", "Инженерные номера", 22,
               false, true, {}, {}, &EnNumberKind()},
              {P::SMS, "formSMS", "SMS", "SMS", "SMS", 21, false, true, {}, {}, nullptr},
              {P::History, "formHistory", "История", "История", "История", 15, false, true, {{P::Ways}, {P::History}},
               {}, nullptr},
          },
      .readAll = {P::Common, P::ATests, P::GPRS, P::Ways, P::ACP, P::Razd, P::Shleif, P::Keyboard, P::Keys,
                  P::TMKeys, P::Outs, P::EnNumber, P::SMS, P::History},
      .writeAll = {P::Common, P::ATests, P::GPRS, P::Ways, P::Shleif, P::Razd, P::ACP, P::Keyboard, P::Keys,
                   P::TMKeys, P::Outs, P::EnNumber, P::SMS},
      .save = {P::Common, P::ATests, P::GPRS, P::Ways, P::ACP, P::Razd, P::Shleif, P::Keyboard, P::Keys, P::TMKeys,
               P::Outs, P::EnNumber, P::History},
      .load = {P::Common, P::ATests, P::GPRS, P::Ways, P::Shleif, P::Razd, P::ACP, P::Keyboard, P::Keys, P::TMKeys,
               P::Outs, P::EnNumber, P::History},
      .defaults = {P::ATests, P::ACP, P::Shleif, P::Razd, P::Common, P::GPRS, P::Ways, P::SMS, P::History,
                   P::EnNumber, P::Keys, P::Keyboard, P::TMKeys, P::Outs},
      .clearOnReadAll = {P::History, P::SMS, P::Ways},
      .marksOnAll = {P::Common, P::Keys},
      .wireRules = WirePageRules,
  };
  return catalogue;
}

}  // namespace zorvan
