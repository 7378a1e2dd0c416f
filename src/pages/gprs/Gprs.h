#pragma once
// The GPRS page: access data of both SIM cards, the primary and backup monitoring servers,
// the pause between connection attempts and data compression.
#include "model/KeyFilters.h"
#include "model/Page.h"

namespace zorvan {

char FilterServerPasswordKey(char key);   // letters, digits and backspace
// Access data, dial strings and addresses go to the panel's modem: printable ASCII only.
char FilterGprsTextKey(char key);

// Unfilled positions of a server password are read as "0": blanks become zeros.
std::string ServerPasswordText(std::string_view text);
// A server address: a dotted IPv4 address with parts up to 255, or a host name of letters,
// digits, dots, hyphens and underscores. Empty passes (a write fills it).
std::optional<std::string> ServerAddressRule(std::string_view text);
// A server port: 1..65535, or empty.
std::optional<std::string> ServerPortRule(std::string_view text);

class TformGPRS : public TPlainPage {
 public:
  TformGPRS(std::string id, std::string caption);

  void SetDefaults() override;
  void AdaptToPanel(const TPanelIdentity& panel) override;

  ZORVAN_CONTROL(GroupBox3, K::GroupBox, .caption = "SIM 1");
  ZORVAN_CONTROL(lbetSIM1Phone, K::Label, .caption = "Номер телефона GPRS");
  ZORVAN_CONTROL(etSIM1Phone, K::Edit, .hint = "*99#", .maxLength = 8, .keys = FilterGprsTextKey, .status = "lbetSIM1Phone");
  ZORVAN_CONTROL(lbetSIM1ADDR, K::Label, .caption = "Точка доступа GPRS");
  ZORVAN_CONTROL(etSIM1ADDR, K::Edit, .hint = "internet.mts.ru", .maxLength = 32, .keys = FilterGprsTextKey, .status = "lbetSIM1ADDR");
  ZORVAN_CONTROL(lbetSIM1LOGIN, K::Label, .caption = "Имя пользователя GPRS");
  ZORVAN_CONTROL(etSIM1LOGIN, K::Edit, .hint = "mts", .maxLength = 16, .keys = FilterGprsTextKey, .status = "lbetSIM1LOGIN");
  ZORVAN_CONTROL(lbetSIM1PSWD, K::Label, .caption = "Пароль пользователя GPRS");
  ZORVAN_CONTROL(etSIM1PSWD, K::Edit, .hint = "mts", .maxLength = 16, .keys = FilterGprsTextKey, .status = "lbetSIM1PSWD");
  ZORVAN_CONTROL(GroupBox2, K::GroupBox, .caption = "SIM 2");
  ZORVAN_CONTROL(lbetSIM2Phone, K::Label, .caption = "Номер телефона GPRS");
  ZORVAN_CONTROL(etSIM2Phone, K::Edit, .hint = "*99#", .maxLength = 8, .keys = FilterGprsTextKey, .status = "lbetSIM2Phone");
  ZORVAN_CONTROL(lbetSIM2Addr, K::Label, .caption = "Точка доступа GPRS");
  ZORVAN_CONTROL(etSIM2Addr, K::Edit, .hint = "internet.mts.ru", .maxLength = 32, .keys = FilterGprsTextKey, .status = "lbetSIM2Addr");
  ZORVAN_CONTROL(lbetSIM2Login, K::Label, .caption = "Имя пользователя GPRS");
  ZORVAN_CONTROL(etSIM2Login, K::Edit, .hint = "mts", .maxLength = 16, .keys = FilterGprsTextKey, .status = "lbetSIM2Login");
  ZORVAN_CONTROL(lbetSIM2Pswd, K::Label, .caption = "Пароль пользователя GPRS");
  ZORVAN_CONTROL(etSIM2Pswd, K::Edit, .hint = "mts", .maxLength = 16, .keys = FilterGprsTextKey, .status = "lbetSIM2Pswd");
  ZORVAN_CONTROL(GroupBox4, K::GroupBox, .caption = "Основные IP адрес, порт сервера и пароль");
  ZORVAN_CONTROL(lbServerAddr1, K::Label, .caption = "IP адрес");
  ZORVAN_CONTROL(etServerAddr1, K::Edit, .hint = "0.0.0.0", .maxLength = 63, .keys = FilterGprsTextKey,
                 .status = "lbServerAddr1", .rule = ServerAddressRule);
  ZORVAN_CONTROL(lbServerPort1, K::Label, .caption = "Порт");
  ZORVAN_CONTROL(etServerPort1, K::Edit, .hint = "3058", .maxLength = 5, .keys = FilterDigitKey,
                 .status = "lbServerPort1", .rule = ServerPortRule);
  ZORVAN_CONTROL(lbServerPswd1, K::Label, .caption = "Пароль для идентификации через GPRS");
  ZORVAN_CONTROL(etServerPswd1, K::MaskEdit, .hint = "MovaPeka", .maxLength = 8, .keys = FilterServerPasswordKey,
                 .status = "lbServerPswd1", .normalise = ServerPasswordText);
  ZORVAN_CONTROL(GroupBox1, K::GroupBox, .caption = "Резервные IP адрес, порт сервера и пароль");
  ZORVAN_CONTROL(lbServerAddr2, K::Label, .caption = "IP адрес");
  ZORVAN_CONTROL(etServerAddr2, K::Edit, .hint = "0.0.0.0", .maxLength = 63, .keys = FilterGprsTextKey,
                 .status = "lbServerAddr2", .rule = ServerAddressRule);
  ZORVAN_CONTROL(lbServerPort2, K::Label, .caption = "Порт");
  ZORVAN_CONTROL(etServerPort2, K::Edit, .hint = "3058", .maxLength = 5, .keys = FilterDigitKey,
                 .status = "lbServerPort2", .rule = ServerPortRule);
  ZORVAN_CONTROL(lbServerPswd2, K::Label, .caption = "Пароль для идентификации через GPRS");
  ZORVAN_CONTROL(etServerPswd2, K::MaskEdit, .hint = "MovaPeka", .maxLength = 8, .keys = FilterServerPasswordKey,
                 .status = "lbServerPswd2", .normalise = ServerPasswordText);
  ZORVAN_CONTROL(GroupBox5, K::GroupBox, .caption = "Internet");
  ZORVAN_CONTROL(lbGPRSTimeOut, K::Label, .caption = "Пауза между попытками установить GPRS соединения");
  ZORVAN_CONTROL(cbTime, K::ComboBox, .hint = "1 минута", .status = "lbGPRSTimeOut",
                 .items = {"1 минута", "2 минуты", "3 минуты", "4 минуты", "5 минут", "6 минут", "7 минут",
                           "8 минут", "9 минут", "10 минут"});
  ZORVAN_CONTROL(cbP, K::CheckBox, .status = "lbP");
  ZORVAN_CONTROL(lbP, K::Label, .caption = "Режим сжатия данных по GPRS");

  // The SIM 2 group's fields and labels, which a one-SIM panel disables.
  std::vector<TControl*> SimTwo();

 private:
  void AddParams();  // beside the operations that run them
};

}  // namespace zorvan
