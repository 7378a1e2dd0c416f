#pragma once
// The control model: every window and page is a set of named controls in component order.
// Rules, persistence and the output elements act on these models; Qt views only mirror them.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zorvan {

enum class TControlKind {
  Edit,         // one-line edit
  MaskEdit,     // masked edit
  SpinEdit,     // its value lives in text
  Memo,         // lines
  CheckBox,
  RadioButton,
  RadioGroup,   // items + item index
  ComboBox,     // drop-down list: items + item index, text is the shown text
  ComboBoxEx,   // drop-down list with images
  Label,
  LinkLabel,
  Panel,
  GroupBox,
  Gauge,        // level gauge: position + bar colour
  Shape,        // fill colour in backColor
  ProgressBar,  // position
  ListView,     // rows of texts
  StringGrid,   // cells
  TreeView,     // nodes + selected node
  Button,
  ToolButton,
  MenuItem,
  StatusBar,    // panel texts in items
  Form,
};

enum TFontStyle : unsigned { fsRegular = 0, fsBold = 1, fsItalic = 2, fsUnderline = 4 };

struct TTreeNode {
  std::string caption;
  int code = 0;
};

class TControl {
 public:
  TControl(std::string name, TControlKind kind) : name_(std::move(name)), kind_(kind) {}
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  const std::string& Name() const { return name_; }
  TControlKind Kind() const { return kind_; }
  bool IsA(TControlKind k) const { return kind_ == k; }

  // Text or caption; for a spin edit its value; for a combo box the shown text.
  const std::string& Text() const { return text_; }
  void SetText(std::string_view text);  // runs the change handler when the text changes
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);        // runs the change handler when the state changes
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);         // out of range gives -1 (no selection)
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const std::string& FontColor() const { return fontColor_; }
  void SetFontColor(std::string_view color);
  unsigned FontStyle() const { return fontStyle_; }
  void SetFontStyle(unsigned style);
  const std::string& BackColor() const { return backColor_; }
  void SetBackColor(std::string_view color);
  int Position() const { return position_; }
  void SetPosition(int position);
  // Factory default of the control: the text an edit starts with, "true"/"false" for check marks.
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string_view hint) { hint_ = hint; }
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int n) { maxLength_ = n; }

  // Memo lines.
  const std::vector<std::string>& Lines() const { return lines_; }
  void AppendLine(std::string_view line);
  void ClearLines();

  // List view rows and grid cells (row-major).
  const std::vector<std::vector<std::string>>& Rows() const { return rows_; }
  void AddRow(std::vector<std::string> row);
  void ClearRows();
  std::string Cell(int column, int row) const;
  void SetCell(int column, int row, std::string_view text);

  // Tree nodes: a flat list with a selected node (-1 = none).
  const std::vector<TTreeNode>& Nodes() const { return nodes_; }
  void SetNodes(std::vector<TTreeNode> nodes);
  int SelectedNode() const { return selectedNode_; }
  void SelectNode(int index);  // out of range leaves the selection alone

  // Handlers the page rules set. Change: text, check, user selection; click: buttons, radio buttons.
  std::function<void(TControl&)> onChange;
  std::function<void(TControl&)> onClick;
  void Click() {
    if (onClick) onClick(*this);
  }
  void Changed() {
    if (onChange) onChange(*this);
  }

  // A view listens here to repaint after any state change.
  using Listener = std::function<void(const TControl&)>;
  int AddListener(Listener listener);
  void RemoveListener(int id);

 private:
  void Notify();

  std::string name_;
  TControlKind kind_;
  std::string text_;
  bool checked_ = false;
  int itemIndex_ = -1;
  std::vector<std::string> items_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string fontColor_ = "clWindowText";
  unsigned fontStyle_ = fsRegular;
  std::string backColor_ = "clWindow";
  int position_ = 0;
  std::string hint_;
  int maxLength_ = 0;
  std::vector<std::string> lines_;
  std::vector<std::vector<std::string>> rows_;
  std::vector<TTreeNode> nodes_;
  int selectedNode_ = -1;
  std::vector<std::pair<int, Listener>> listeners_;
  int nextListener_ = 1;
  bool notifying_ = false;
};

// A window or page: its own control (kind Form) and the controls it owns, in component order.
class TForm {
 public:
  explicit TForm(std::string name) : self_(std::move(name), TControlKind::Form) {}
  virtual ~TForm() = default;
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  const std::string& Name() const { return self_.Name(); }
  TControl& Self() { return self_; }
  const TControl& Self() const { return self_; }

  TControl& Add(std::string name, TControlKind kind, std::string_view hint = {});
  TControl* Find(std::string_view name);
  const TControl* Find(std::string_view name) const;
  // For rules that know the control exists; a missing name is a programming error.
  TControl& operator[](std::string_view name);
  const std::vector<std::unique_ptr<TControl>>& Controls() const { return controls_; }

  // Modal windows: the rules close them with a result, the view ends its modal loop.
  enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };
  void CloseModal(int result) {
    modalResult_ = result;
    if (onCloseModal) onCloseModal(result);
  }
  int ModalResult() const { return modalResult_; }
  void ResetModalResult() { modalResult_ = mrNone; }
  std::function<void(int)> onCloseModal;

 private:
  TControl self_;
  int modalResult_ = mrNone;
  std::vector<std::unique_ptr<TControl>> controls_;
};

// Every form of the program by name; output elements and field reads resolve through it.
class TFormRegistry {
 public:
  void Register(TForm& form) { forms_.push_back(&form); }
  TForm* FindForm(std::string_view name) const;
  // An empty control name, or the form's own name, means the form itself.
  TControl* Find(std::string_view form, std::string_view control) const;

 private:
  std::vector<TForm*> forms_;
};

}  // namespace zorvan
