// The general settings page without a panel: values as sent, replies as read, adaptation, links.
#include <gtest/gtest.h>

#include "base/Cp1251.h"
#include "pages/Catalogue.h"
#include "pages/common/Common.h"
#include "pages/common/CommonOperations.h"

namespace zorvan {
namespace {

TEST(CommonValues, ObjectNumberIsPaddedAndNeverZero) {
  const std::pair<const char*, const char*> cases[] = {
      {"7", "0007"}, {"50", "0050"}, {"", "0050"},   {"0000", "0050"}, {"000", "0050"},
      {"1A2F", "1A2F"}, {"ab", "00AB"}, {" 12 ", "0012"}, {"12345", "2345"}, {"ZZ", "0050"},
  };
  for (auto [text, sent] : cases) EXPECT_EQ(NormaliseObjectNumber(text), sent) << '"' << text << '"';
}

TEST(CommonValues, MasterCodeBelowOneThousandOrNotANumberIsTheDefault) {
  const std::pair<const char*, const char*> cases[] = {
      {"1000", "1000"}, {"9999", "9999"}, {"1234", "1234"}, {"999", "5281"}, {"0999", "5281"},
      {"", "5281"},     {"12a4", "5281"}, {"-1234", "5281"}, {"12345", "5281"},
  };
  for (auto [text, sent] : cases) EXPECT_EQ(NormaliseMasterCode(text), sent) << '"' << text << '"';
}

TEST(CommonValues, SignalLevelAndActiveSimFromRawReplies) {
  EXPECT_EQ(SignalLevelFromReply("\rL=18\rOK\r"), 18);
  EXPECT_EQ(SignalLevelFromReply("\rL=07\rOK\r"), 7);
  EXPECT_EQ(SignalLevelFromReply("\rL="), 0);
  EXPECT_EQ(SignalLevelFromReply(""), 0);
  EXPECT_EQ(SignalLevelFromReply("\rL=x8\rOK\r"), 0);
  EXPECT_TRUE(SimOneActive("10"));
  EXPECT_TRUE(SimOneActive("\r0\rOK\r"));
  EXPECT_FALSE(SimOneActive("1"));
  EXPECT_FALSE(SimOneActive("\r1\rOK\r"));
}

TEST(CommonValues, KeyFilters) {
  EXPECT_EQ(FilterObjectNumberKey('7'), '7');
  EXPECT_EQ(FilterObjectNumberKey('F'), 'F');
  EXPECT_EQ(FilterObjectNumberKey('c'), 'C');
  EXPECT_EQ(FilterObjectNumberKey('\b'), '\b');
  EXPECT_EQ(FilterObjectNumberKey('g'), 0);
  EXPECT_EQ(FilterObjectNumberKey(' '), 0);
  EXPECT_EQ(FilterDigitKey('5'), '5');
  EXPECT_EQ(FilterDigitKey('\b'), '\b');
  EXPECT_EQ(FilterDigitKey('A'), 0);
  EXPECT_EQ(FilterDigitKey('-'), 0);
}

TEST(CommonValues, ImeiIdentOnlyOnFamilyNineBuildsTwoTo999) {
  EXPECT_FALSE(HasImeiIdent(9, 0));
  EXPECT_FALSE(HasImeiIdent(9, 1));
  EXPECT_TRUE(HasImeiIdent(9, 2));
  EXPECT_TRUE(HasImeiIdent(9, 999));
  EXPECT_FALSE(HasImeiIdent(9, 1000));
  EXPECT_FALSE(HasImeiIdent(101, 12));
}

TEST(CommonPage, StartsAsDesignedAndDefaultsOnlyTouchTheTwoEdits) {
  TPageSet pagePages(PageCatalogue());
  TformCommon& page = *pagePages.Get<TformCommon>();
  EXPECT_EQ(page.Name(), "formCommon");
  EXPECT_FALSE(page["IMEIidentGroup"].Visible());
  EXPECT_FALSE(page["GSMSig"].Enabled());
  EXPECT_FALSE(page["GSMErr"].Enabled());
  EXPECT_FALSE(page["URLLabel5"].Enabled());
  EXPECT_FALSE(page["URLLabel6"].Enabled());
  for (const char* name : {"URLLabel1", "URLLabel2", "URLLabel3", "URLLabel4"}) EXPECT_TRUE(page[name].Enabled());
  EXPECT_EQ(Cp1251ToUtf8(page["URLLabel2"].Text()), "Перезагрузить прибор");
  page["etO"].SetText("12");
  page["etKey"].SetText("");
  page["ChIMEI"].SetChecked(true);
  page.SetDefaults();
  EXPECT_EQ(page["etO"].Text(), "0050");
  EXPECT_EQ(page["etKey"].Text(), "5281");
  EXPECT_TRUE(page["ChIMEI"].Checked());
}

TEST(CommonPage, SettingsFileRoundTrip) {
  TPageSet savedPages(PageCatalogue());
  TformCommon& saved = *savedPages.Get<TformCommon>();
  saved["etO"].SetText("1A2F");
  saved["etKey"].SetText("1234");
  saved["ChIMEI"].SetChecked(true);
  TIniFile ini;
  saved.SaveToIni(ini);
  EXPECT_EQ(ini.ReadString("formCommon", "etO", ""), "1A2F");
  EXPECT_EQ(ini.ReadString("formCommon", "ChIMEI", ""), "1");
  TPageSet loadedPages(PageCatalogue());
  TformCommon& loaded = *loadedPages.Get<TformCommon>();
  loaded.LoadFromIni(ini);
  EXPECT_EQ(loaded["etO"].Text(), "1A2F");
  EXPECT_EQ(loaded["etKey"].Text(), "1234");
  EXPECT_TRUE(loaded["ChIMEI"].Checked());
  TPageSet emptyPages(PageCatalogue());
  TformCommon& empty = *emptyPages.Get<TformCommon>();
  empty.LoadFromIni(TIniFile());
  EXPECT_EQ(empty["etO"].Text(), "");  // a file without the page changes nothing
  empty.ShowStartValues();
  EXPECT_EQ(empty["etO"].Text(), "0050");  // a fresh page shows the built-in default
}

TEST(CommonPage, AdaptsToFamilyVariantAndBuild) {
  struct Case {
    int family, variant, build;
    bool imeiShown, sim2Enabled, sim2Visible, editsEnabled;
    int groupHeight;
  };
  const Case cases[] = {
      {9, 5, 12, true, true, true, true, 90},     {9, 5, 1000, false, true, true, true, 90},
      {9, 3, 12, true, false, true, true, 90},    {9, 3, 1, false, false, true, true, 90},
      {9, 0, 18, false, false, true, false, 90},  {101, 5, 12, false, false, false, true, 58},
  };
  for (const Case& c : cases) {
    TPageSet pagePages(PageCatalogue());
    TformCommon& page = *pagePages.Get<TformCommon>();
    page.AdaptToPanel({c.family, c.variant, c.build});
    const std::string at = std::to_string(c.family) + "." + std::to_string(c.variant) + "." + std::to_string(c.build);
    EXPECT_EQ(page["IMEIidentGroup"].Visible(), c.imeiShown) << at;
    EXPECT_EQ(page["GSMErr"].Enabled(), c.sim2Enabled) << at;
    if (c.sim2Visible) {
      EXPECT_EQ(page["Label2"].Enabled(), c.sim2Enabled) << at;
    }
    EXPECT_EQ(page["GSMErr"].Visible(), c.sim2Visible) << at;
    EXPECT_EQ(page["URLLabel4"].Visible(), c.sim2Visible) << at;
    EXPECT_EQ(page["etO"].Enabled(), c.editsEnabled) << at;
    EXPECT_EQ(page["GroupBox2"].Position(), c.groupHeight) << at;
  }
  // A family 101 panel after a family 9 one gets the second row back when it is 9 again.
  TPageSet pagePages(PageCatalogue());
  TformCommon& page = *pagePages.Get<TformCommon>();
  page.AdaptToPanel({101, 5, 12});
  page.AdaptToPanel({9, 5, 12});
  EXPECT_TRUE(page["GSMErr"].Visible());
  EXPECT_TRUE(page["URLLabel6"].Enabled());
}

TEST(CommonPage, LinksPostTheirRequestsAndRestartReconnects) {
  TPageSet pagePages(PageCatalogue());
  TformCommon& page = *pagePages.Get<TformCommon>();
  std::vector<int> posted;
  bool connected = false;
  int reconnects = 0;
  page.postRequest = [&](std::uint8_t code) {
    if (connected) posted.push_back(code);
    return connected;
  };
  page.reconnect = [&] { ++reconnects; };
  page["URLLabel1"].Click();
  page["URLLabel2"].Click();
  EXPECT_TRUE(posted.empty());
  EXPECT_EQ(reconnects, 0);  // nothing happens while not connected
  connected = true;
  for (const char* name : {"URLLabel1", "URLLabel2", "URLLabel3", "URLLabel4", "URLLabel5", "URLLabel6"})
    page[name].Click();
  EXPECT_EQ(posted, (std::vector<int>{16, 19, 13, 20, 24, 25}));
  EXPECT_EQ(reconnects, 1);
}

}  // namespace
}  // namespace zorvan
