#include <gtest/gtest.h>

#include "IPopupMenu.h"

namespace
{
std::string Order(const IPopupMenu& menu)
{
  std::string s;
  for (int i = 0; i < menu.GetNItems(); ++i) s += menu.GetItemText(i);
  return s;
}
}  // namespace

TEST(PopupMenu, InsertionRule)
{
  IPopupMenu menu;
  menu.AddItem("a");
  menu.AddItem("b", -1);
  menu.AddItem("c", 0);
  EXPECT_EQ(Order(menu), "cab");
  menu.AddItem("d", 99);
  EXPECT_EQ(Order(menu), "cabd");
  menu.AddItem("e", -7);  // negative other than -1 counts as 0
  EXPECT_EQ(Order(menu), "ecabd");
  menu.AddItem("f", 2, IPopupMenuItem::kItemDisabled);
  EXPECT_EQ(Order(menu), "ecfabd");
  EXPECT_FALSE(menu.GetItem(2)->GetEnabled());
  menu.AddSeparator(1);
  EXPECT_TRUE(menu.GetItem(1)->GetIsSeparator());
  EXPECT_STREQ(menu.GetItemText(1), "");
  EXPECT_EQ(menu.GetNItems(), 7);
  EXPECT_EQ(menu.GetItem(7), nullptr);
  EXPECT_EQ(menu.GetItem(-1), nullptr);
  EXPECT_STREQ(menu.GetItemText(42), "");
}

TEST(PopupMenu, SubmenusAreNotOwned)
{
  IPopupMenu sub;
  sub.AddItem("inner");
  {
    IPopupMenu menu;
    IPopupMenuItem* item = menu.AddItem("more", &sub);
    menu.AddItem("first", 0, &sub);
    EXPECT_EQ(item->GetSubmenu(), &sub);
    EXPECT_EQ(menu.GetItem(0)->GetSubmenu(), &sub);
    EXPECT_EQ(menu.GetItem(0)->GetFlags(), 0);
  }
  EXPECT_STREQ(sub.GetItemText(0), "inner");  // still alive after the menu went
}

TEST(PopupMenu, PrefixAndLabels)
{
  IPopupMenu menu;
  for (int i = 0; i < 10; ++i) menu.AddItem(("item" + std::to_string(i + 1)).c_str());
  WDL_String label;
  menu.GetItemLabel(6, &label);
  EXPECT_STREQ(label.Get(), "item7");
  menu.SetPrefix(1);
  menu.GetItemLabel(6, &label);
  EXPECT_STREQ(label.Get(), "7: item7");
  menu.SetPrefix(2);
  menu.SetPrefix(4);
  menu.SetPrefix(-1);
  EXPECT_EQ(menu.GetPrefix(), 2);
  menu.GetItemLabel(9, &label);
  EXPECT_STREQ(label.Get(), "10: item10");
  menu.GetItemLabel(2, &label);
  EXPECT_STREQ(label.Get(), "03: item3");
  menu.SetPrefix(3);
  menu.GetItemLabel(6, &label);
  EXPECT_STREQ(label.Get(), "007: item7");
}

TEST(PopupMenu, CheckMarks)
{
  IPopupMenu menu;
  menu.AddItem("a", -1, IPopupMenuItem::kItemDisabled | IPopupMenuItem::kItemChecked);
  menu.AddItem("b");
  menu.AddItem("c", -1, IPopupMenuItem::kItemChecked);
  menu.CheckItemAlone(1);
  EXPECT_FALSE(menu.IsItemChecked(0));
  EXPECT_TRUE(menu.IsItemChecked(1));
  EXPECT_FALSE(menu.IsItemChecked(2));
  EXPECT_FALSE(menu.GetItem(0)->GetEnabled());  // other flags untouched
  EXPECT_FALSE(menu.CheckItem(5, true));
  EXPECT_FALSE(menu.IsItemChecked(5));
  EXPECT_TRUE(menu.CheckItem(2, true));
  EXPECT_TRUE(menu.IsItemChecked(2));
  menu.CheckItemAlone(-3);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(menu.IsItemChecked(i));
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
}
