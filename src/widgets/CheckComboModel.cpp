#include "widgets/CheckComboModel.h"

#include <algorithm>

#include "base/Cp1251.h"

namespace zorvan {
namespace {

std::string Trimmed(const std::string& s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  auto first = std::find_if_not(s.begin(), s.end(), blank);
  auto last = std::find_if_not(s.rbegin(), s.rend(), blank).base();
  return first < last ? std::string(first, last) : std::string();
}

std::string Join(const std::vector<std::string>& parts, const std::string& separator) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += separator;
    out += parts[i];
  }
  return out;
}

// Case-insensitive in cp1251, then by bytes so that the order is total.
bool BytesLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

bool ItemLess(const std::string& a, const std::string& b) {
  const std::string la = Cp1251Lower(a), lb = Cp1251Lower(b);
  if (la != lb) return BytesLess(la, lb);
  return BytesLess(a, b);
}

}  // namespace

PopupPlacement PlaceCheckComboPopup(int controlX, int controlY, int controlWidth,
                                    int controlHeight, int itemHeight, int lines, int screenTop,
                                    int screenBottom) {
  constexpr int kFrame = 4;
  constexpr int kBottomMargin = 20;
  PopupPlacement p;
  p.x = controlX;
  p.width = controlWidth;
  p.height = itemHeight * lines + kFrame;
  p.y = controlY + controlHeight;
  if (p.y + p.height > screenBottom - kBottomMargin) {
    p.above = true;
    p.y = std::max(screenTop, controlY - p.height);
  }
  return p;
}

CheckComboModel::CheckComboModel() = default;

void CheckComboModel::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  ItemsChanged();
}

void CheckComboModel::AddItem(std::string text) {
  items_.push_back(std::move(text));
  ItemsChanged();
}

void CheckComboModel::Clear() {
  items_.clear();
  ItemsChanged();
}

void CheckComboModel::ItemsChanged() {
  if (sorted_) SortItems();
  const bool hadChecks = !checkOrder_.empty();
  checked_.assign(items_.size(), false);
  checkOrder_.clear();
  OnItemsChanged();
  if (hadChecks) OnChange();
}

void CheckComboModel::SortItems() {
  std::stable_sort(items_.begin(), items_.end(), ItemLess);
}

bool CheckComboModel::Checked(int index) const {
  return index >= 0 && index < Count() && checked_[static_cast<std::size_t>(index)];
}

std::string CheckComboModel::SelectedPart(int index) const {
  const std::string& text = items_[static_cast<std::size_t>(index)];
  if (!truncLength_) return text;
  return text.substr(0, static_cast<std::size_t>(std::max(0, visibleLength_)));
}

bool CheckComboModel::SetChecked(int index, bool on) {
  if (index < 0 || index >= Count() || Checked(index) == on) return false;
  if (on) {
    const std::size_t current = SelectionText().size();
    const std::size_t grown = current + (checkOrder_.empty() ? 0 : 1) + SelectedPart(index).size();
    if (grown >= kSelectionLimit) {
      OnMessage("There is no room for Selected");
      return false;
    }
    checkOrder_.push_back(index);
  } else {
    std::erase(checkOrder_, index);
  }
  checked_[static_cast<std::size_t>(index)] = on;
  OnChange();
  return true;
}

void CheckComboModel::SelectAll() {
  const std::vector<int> before = checkOrder_;
  checked_.assign(items_.size(), false);
  checkOrder_.clear();
  std::size_t length = 0;
  for (int i = 0; i < Count(); ++i) {
    const std::size_t grown = length + (checkOrder_.empty() ? 0 : 1) + SelectedPart(i).size();
    if (grown >= kSelectionLimit) {
      OnMessage("There is no room for Selected");
      break;
    }
    length = grown;
    checkOrder_.push_back(i);
    checked_[static_cast<std::size_t>(i)] = true;
  }
  if (checkOrder_ != before) OnChange();
}

void CheckComboModel::DeselectAll() {
  if (checkOrder_.empty()) return;
  checked_.assign(items_.size(), false);
  checkOrder_.clear();
  OnChange();
}

std::string CheckComboModel::SelectionText() const {
  std::vector<std::string> parts;
  for (int i : checkOrder_) parts.push_back(SelectedPart(i));
  return Join(parts, ",");
}

std::string CheckComboModel::ShownText() const {
  if (checkOrder_.empty()) return emptyValue_;
  if (!sortDisplay_) return SelectionText();
  std::vector<std::string> parts;
  for (int i = 0; i < Count(); ++i)
    if (Checked(i)) parts.push_back(SelectedPart(i));
  return Join(parts, ",");
}

std::string CheckComboModel::Hint() const {
  if (!items_.empty() && CheckedCount() == Count()) return W("Выбрано все");
  std::vector<std::string> lines;
  for (int i = 0; i < Count(); ++i) {
    if (!Checked(i)) continue;
    const std::string& text = items_[static_cast<std::size_t>(i)];
    if (!truncLength_) {
      lines.push_back(text);
    } else {
      const std::size_t cut = static_cast<std::size_t>(std::max(0, visibleLength_));
      lines.push_back(Trimmed(cut < text.size() ? text.substr(cut) : std::string()));
    }
  }
  return Join(lines, "\n");
}

void CheckComboModel::SetEmptyValue(std::string text) {
  emptyValue_ = std::move(text);
  OnDisplayChanged();
}

void CheckComboModel::SetSortDisplay(bool on) {
  sortDisplay_ = on;
  OnDisplayChanged();
}

bool CheckComboModel::SetDropDownLines(int lines) {
  if (lines < kMinLines || lines > kMaxLines) return false;
  dropDownLines_ = lines;
  return true;
}

int CheckComboModel::PopupLines() const {
  const int lines = columns_ > 1 ? Count() / columns_ + 1 : dropDownLines_;
  return std::clamp(lines, kMinLines, kMaxLines);
}

void CheckComboModel::SetTruncLength(bool on) {
  truncLength_ = on;
  OnDisplayChanged();
}

void CheckComboModel::SetVisibleLength(int length) {
  visibleLength_ = length;
  OnDisplayChanged();
}

void CheckComboModel::SetSorted(bool on) {
  if (sorted_ == on) return;
  sorted_ = on;
  if (sorted_) ItemsChanged();
}

}  // namespace zorvan
