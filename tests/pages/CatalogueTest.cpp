// The page catalogue: tree places, node codes and the orders every sequence takes.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/Cp1251.h"
#include "pages/Catalogue.h"

namespace zorvan {
namespace {

std::vector<std::string> Names(const std::vector<TPageId>& ids) {
  std::vector<std::string> names;
  for (TPageId id : ids) names.push_back(PageCatalogue().Entry(id).name);
  return names;
}

TEST(Catalogue, TreesOfBothFamiliesAndNodeCodes) {
  const TCatalogue& catalogue = PageCatalogue();
  const auto nodes9 = catalogue.TreeNodes(9);
  ASSERT_EQ(nodes9.size(), 14u);
  EXPECT_EQ(Cp1251ToUtf8(nodes9[0].caption), "Общие настройки");
  EXPECT_EQ(Cp1251ToUtf8(nodes9[2].caption), "Настройки GPRS");
  EXPECT_EQ(nodes9[13].code, 15);
  const auto nodes101 = catalogue.TreeNodes(101);
  ASSERT_EQ(nodes101.size(), 8u);
  EXPECT_EQ(Cp1251ToUtf8(nodes101[4].caption), "Кнопки");
  EXPECT_STREQ(catalogue.FindByNode(nodes101[4].code)->name, "formShleif");
  EXPECT_STREQ(catalogue.FindByNode(5)->name, "formACP");
  EXPECT_STREQ(catalogue.FindByNode(222)->name, "formOuts");
  EXPECT_STREQ(catalogue.FindByNode(22)->name, "FormEnNumber");
  EXPECT_EQ(catalogue.FindByNode(9), nullptr);
  // A page's place in the family-9 tree is its identifier's number, which read-all posts.
  for (std::size_t i = 0; i < catalogue.pages.size(); ++i)
    EXPECT_EQ(static_cast<std::size_t>(catalogue.pages[i].id), i);
}

TEST(Catalogue, SequencesVisitTheirPagesInOrder) {
  const TCatalogue& c = PageCatalogue();
  EXPECT_EQ(Names(c.readAll),
            (std::vector<std::string>{"formCommon", "formATests", "formGPRS", "formWays", "formACP", "formRazd",
                                      "formShleif", "formKeyboard", "formKeys", "formTMKeys", "formOuts",
                                      "FormEnNumber", "formSMS", "formHistory"}));
  EXPECT_EQ(Names(c.writeAll),
            (std::vector<std::string>{"formCommon", "formATests", "formGPRS", "formWays", "formShleif", "formRazd",
                                      "formACP", "formKeyboard", "formKeys", "formTMKeys", "formOuts",
                                      "FormEnNumber", "formSMS"}));
  EXPECT_EQ(Names(c.load),
            (std::vector<std::string>{"formCommon", "formATests", "formGPRS", "formWays", "formShleif", "formRazd",
                                      "formACP", "formKeyboard", "formKeys", "formTMKeys", "formOuts",
                                      "FormEnNumber", "formHistory"}));
  // The SMS page keeps its texts in files of its own, not in settings files.
  EXPECT_EQ(std::count(c.save.begin(), c.save.end(), TPageId::SMS), 0);
  EXPECT_EQ(c.defaults.size(), 14u);
}

TEST(Catalogue, EveryBuiltPageMakesItsOwnModel) {
  TPageSet pages(PageCatalogue());
  for (const TPageEntry& entry : PageCatalogue().pages) {
    const TPage& page = pages.Page(entry.id);
    EXPECT_EQ(page.Name(), entry.name);
    EXPECT_EQ(Cp1251ToUtf8(page.Caption()), entry.caption);
    // Every parameter row names a control of its own page.
    for (const TParam& param : page.Params()) {
      ASSERT_NE(param.field, nullptr) << entry.name;
      EXPECT_EQ(page.Find(param.field->Name()), param.field) << entry.name;
    }
  }
}

}  // namespace
}  // namespace zorvan
