#pragma once
// The checked combo box without a display: items, one check per item, the selection text in
// check order, the shown line and the hint, and the pop-up's size and place. TCheckedComboBox
// shows it; pages and the command-line tool use it directly. Texts are cp1251.
#include <string>
#include <vector>

#include "widgets/Listeners.h"

namespace zorvan {

struct PopupPlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool above = false;
};

// The pop-up opens right under the control, as wide as it, item height x lines + 4 high; when
// it would end less than 20 pixels above the screen's bottom it opens above the control
// instead (never above the screen's top).
PopupPlacement PlaceCheckComboPopup(int controlX, int controlY, int controlWidth,
                                    int controlHeight, int itemHeight, int lines, int screenTop,
                                    int screenBottom);

class CheckComboModel {
 public:
  // The selection text must stay shorter than this many characters.
  static constexpr std::size_t kSelectionLimit = 65536;
  static constexpr int kMinLines = 6;
  static constexpr int kMaxLines = 10;

  CheckComboModel();

  // Items. Every change of the list clears all checks and the selection.
  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  void SetItems(std::vector<std::string> items);
  void AddItem(std::string text);
  // Empties the selection, the shown line (to EmptyValue) and the items.
  void Clear();

  bool Checked(int index) const;  // false for an index beyond the list
  // No effect for an index beyond the list or an unchanged flag. Checking is refused, with a
  // message, when the selection text would reach kSelectionLimit characters. Returns whether
  // the flag changed.
  bool SetChecked(int index, bool on);
  void SelectAll();  // the selection becomes every item in list order
  void DeselectAll();
  int CheckedCount() const { return static_cast<int>(checkOrder_.size()); }
  // Checked item indices in the order in which they were checked.
  const std::vector<int>& CheckOrder() const { return checkOrder_; }

  // Checked items' texts (cut to VisibleLength with TruncLength) joined by ",", in check order.
  std::string SelectionText() const;
  // EmptyValue when nothing is checked; else the selection, in list order with SortDisplay.
  std::string ShownText() const;
  // "Выбрано все" when every item is checked; otherwise the checked items one per line (with
  // TruncLength, what follows the first VisibleLength characters, trimmed).
  std::string Hint() const;

  const std::string& EmptyValue() const { return emptyValue_; }
  void SetEmptyValue(std::string text);
  bool SortDisplay() const { return sortDisplay_; }
  void SetSortDisplay(bool on);
  int DropDownLines() const { return dropDownLines_; }
  bool SetDropDownLines(int lines);  // only 6 ... 10 is accepted
  int Columns() const { return columns_; }
  void SetColumns(int columns) { columns_ = columns; }
  // Lines the pop-up shows: DropDownLines, or with more than one column the item count divided
  // by the columns plus one; held between 6 and 10.
  int PopupLines() const;
  const std::string& CapSelectAll() const { return capSelectAll_; }
  void SetCapSelectAll(std::string text) { capSelectAll_ = std::move(text); }
  const std::string& CapDeSelectAll() const { return capDeSelectAll_; }
  void SetCapDeSelectAll(std::string text) { capDeSelectAll_ = std::move(text); }
  bool TruncLength() const { return truncLength_; }
  void SetTruncLength(bool on);
  int VisibleLength() const { return visibleLength_; }
  void SetVisibleLength(int length);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool on);  // sorting the list is a change of the items
  std::string Version() const { return "1.7"; }

  Listeners<> OnChange;                     // after any check change
  Listeners<> OnItemsChanged;               // the item list changed
  Listeners<> OnDisplayChanged;             // shown line or hint changed without a check change
  Listeners<const std::string&> OnMessage;  // a message for the user (cp1251)

 private:
  std::string SelectedPart(int index) const;
  void ItemsChanged();
  void SortItems();

  std::vector<std::string> items_;
  std::vector<bool> checked_;
  std::vector<int> checkOrder_;
  std::string emptyValue_ = "<none>";
  bool sortDisplay_ = false;
  int dropDownLines_ = 6;
  int columns_ = 0;
  std::string capSelectAll_ = "&Select All";
  std::string capDeSelectAll_ = "&DeSelect All";
  bool truncLength_ = false;
  int visibleLength_ = 0;
  bool sorted_ = false;
};

}  // namespace zorvan
