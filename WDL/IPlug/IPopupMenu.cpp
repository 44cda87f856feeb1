#include "IPopupMenu.h"

IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* item, int index)
{
  if (!item) return nullptr;
  if (index == -1 || index > mItems.GetSize()) index = mItems.GetSize();
  if (index < 0) index = 0;
  if (!mItems.Insert(index, item))
  {
    delete item;
    return nullptr;
  }
  return item;
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, int flags)
{
  return AddItem(new IPopupMenuItem(text, flags), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, IPopupMenu* submenu)
{
  return AddItem(new IPopupMenuItem(text, IPopupMenuItem::kNoFlags, submenu), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, IPopupMenu* submenu)
{
  return AddItem(text, -1, submenu);
}

IPopupMenuItem* IPopupMenu::AddSeparator(int index)
{
  return AddItem(new IPopupMenuItem("", IPopupMenuItem::kItemSeparator), index);
}

void IPopupMenu::SetPrefix(int prefix)
{
  if (prefix >= 0 && prefix <= 3) mPrefix = prefix;
}

void IPopupMenu::GetItemLabel(int idx, WDL_String* out) const
{
  static const char* const kFormats[] = {"", "%1d: ", "%02d: ", "%03d: "};
  out->Set("");
  if (mPrefix > 0) out->SetFormatted(32, kFormats[mPrefix], idx + 1);
  out->Append(GetItemText(idx));
}

const char* IPopupMenu::GetItemText(int index) const
{
  const IPopupMenuItem* item = mItems.Get(index);
  return item ? item->GetText() : "";
}

bool IPopupMenu::CheckItem(int index, bool checked)
{
  IPopupMenuItem* item = mItems.Get(index);
  if (!item) return false;
  item->SetChecked(checked);
  return true;
}

void IPopupMenu::CheckItemAlone(int index)
{
  for (int i = 0; i < mItems.GetSize(); ++i) mItems.Get(i)->SetChecked(i == index);
}

bool IPopupMenu::IsItemChecked(int index) const
{
  const IPopupMenuItem* item = mItems.Get(index);
  return item && item->GetChecked();
}
