#pragma once
// The platform-independent model of a popup menu: ordered items with flags, optional submenus
// and a numbering prefix, and after the menu was shown the index of the chosen item. The
// window layer turns it into a native menu and writes the chosen index back.
//
// Ownership: a menu owns its items and deletes them (last to first); a submenu belongs to
// whoever made it. Texts are copied. User-interface thread only; not real-time safe.
//
// Insertion rule of every inserting call: index -1 appends, any other negative index counts as
// 0, an index beyond the end appends; the items from the index on move one place down.

#include "WDL_PtrList.h"
#include "WDL_String.h"

class IPopupMenu;

class IPopupMenuItem
{
public:
  enum Flags
  {
    kNoFlags = 0,
    kItemDisabled = 1,   // shown, cannot be chosen
    kItemTitle = 2,      // shown indented one level
    kItemChecked = 4,    // carries a check mark
    kItemSeparator = 8   // a separator line; the text is ignored
  };

  explicit IPopupMenuItem(const char* text, int flags = kNoFlags, IPopupMenu* submenu = nullptr)
    : mText(text), mSubmenu(submenu), mFlags(flags)
  {
  }

  const char* GetText() const { return mText.Get(); }
  void SetText(const char* text) { mText.Set(text); }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }
  void SetSubmenu(IPopupMenu* submenu) { mSubmenu = submenu; }
  int GetFlags() const { return mFlags; }
  void SetFlags(int flags) { mFlags = flags; }
  bool GetEnabled() const { return !(mFlags & kItemDisabled); }
  bool GetChecked() const { return (mFlags & kItemChecked) != 0; }
  bool GetIsTitle() const { return (mFlags & kItemTitle) != 0; }
  bool GetIsSeparator() const { return (mFlags & kItemSeparator) != 0; }
  // Sets or clears the check mark; the other flags stay.
  void SetChecked(bool checked) { mFlags = checked ? (mFlags | kItemChecked) : (mFlags & ~kItemChecked); }

private:
  WDL_String mText;
  IPopupMenu* mSubmenu;  // not owned
  int mFlags;
};

class IPopupMenu
{
public:
  IPopupMenu() = default;
  ~IPopupMenu() { mItems.Empty(true); }
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // Takes ownership of item. Returns the item, or null (the item deleted) when the list could
  // not grow.
  IPopupMenuItem* AddItem(IPopupMenuItem* item, int index = -1);
  IPopupMenuItem* AddItem(const char* text, int index = -1, int flags = IPopupMenuItem::kNoFlags);
  IPopupMenuItem* AddItem(const char* text, int index, IPopupMenu* submenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* submenu);
  IPopupMenuItem* AddSeparator(int index = -1);

  // Numbering style 0-3 (none, "%1d: ", "%02d: ", "%03d: "); other values are ignored.
  void SetPrefix(int prefix);
  int GetPrefix() const { return mPrefix; }
  // Writes item idx's label with its number prefix (items counted from 1) into out.
  void GetItemLabel(int idx, WDL_String* out) const;

  int GetNItems() const { return mItems.GetSize(); }
  IPopupMenuItem* GetItem(int index) const { return mItems.Get(index); }
  // "" for an item without text or an index outside the menu.
  const char* GetItemText(int index) const;
  // False (nothing changed) for an index outside the menu.
  bool CheckItem(int index, bool checked);
  // Checks the item at index and clears every other check mark (all of them for a bad index).
  void CheckItemAlone(int index);
  bool IsItemChecked(int index) const;

  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int index) { mChosenItemIdx = index; }

private:
  int mPrefix = 0;
  int mChosenItemIdx = -1;
  WDL_PtrList<IPopupMenuItem> mItems;
};
