#pragma once
// The control model: every window and page is a set of named controls in component order.
// Rules, persistence and the output elements act on these models; Qt views only mirror them.
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/ControlRef.h"
#include "model/PageOutput.h"

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
  Slider,       // three-thumb slider: thumb values, live marker in position
  CheckCombo,   // drop-down list with a check box per item
};

// A key filter of an edit: the character to insert for the typed one, or 0 to drop it.
// Backspace ('\b') is handed to the filter too.
using TKeyFilter = char (*)(char);
// What a control keeps of a text: run on every change, typed or loaded (a clamped number, a
// blank turned into "0").
using TNormaliser = std::string (*)(std::string_view);
// A control's own rule for a whole value (an address form, a port range, a time an exit rule
// takes): the value as the control takes it, or nothing when it cannot hold it.
using TValueRule = std::optional<std::string> (*)(std::string_view);

// A list item with what some lists carry besides their text.
struct TListItem {
  std::string text;
  int code = 0;    // what the item stands for on the panel
  int image = -1;  // picture of an image list; -1 for none
};

enum TFontStyle : unsigned { fsRegular = 0, fsBold = 1, fsItalic = 2, fsUnderline = 4 };

struct TTreeNode {
  std::string caption;
  int code = 0;
};

class TControl {
 public:
  TControl(std::string name, TControlKind kind, std::string form = {})
      : name_(std::move(name)), form_(std::move(form)), kind_(kind) {}
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  // Name, form and kind never change, so any thread may read them (and address the control).
  const std::string& Name() const { return name_; }
  const std::string& FormName() const { return form_; }
  TControlRef Ref() const { return {form_, name_}; }
  operator TControlRef() const { return Ref(); }
  TControlKind Kind() const { return kind_; }
  bool IsA(TControlKind k) const { return kind_ == k; }

  // Text or caption; for a spin edit its value; for a combo box the shown text.
  const std::string& Text() const { return text_; }
  void SetText(std::string_view text);  // runs the change handler when the text changes
  bool Checked() const { return checked_; }
  // Runs the change handler when the state changes. Checking a radio button of a group first
  // unchecks the others, so every handler sees one button of the group checked.
  void SetChecked(bool checked);
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);         // out of range gives -1 (no selection)
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  void SetListItems(const std::vector<TListItem>& items);
  int ItemCode(int index) const;   // 0 beyond the list
  int ItemImage(int index) const;  // -1 beyond the list
  // Checked combo box: a check mark per item.
  bool ItemChecked(int index) const;
  void SetItemChecked(int index, bool checked);  // runs the change handlers when it changes

  // Slider: thumb values; the live marker is the position. Positions set by code (a read, a
  // rule following another slider) never run the change handlers; only the user's drag does,
  // or two linked sliders would set each other for ever.
  const std::vector<int>& Thumbs() const { return thumbs_; }
  void SetThumbs(std::vector<int> thumbs);
  void SetThumb(int index, int value);
  // The user dragged the thumbs to these positions: the change handlers run once when they moved.
  void DragThumbs(std::vector<int> thumbs);
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
  TKeyFilter KeyFilter() const { return keyFilter_; }
  void SetKeyFilter(TKeyFilter filter) { keyFilter_ = filter; }
  TNormaliser Normaliser() const { return normaliser_; }
  void SetNormaliser(TNormaliser normaliser) { normaliser_ = normaliser; }
  TValueRule ValueRule() const { return valueRule_; }
  void SetValueRule(TValueRule rule) { valueRule_ = rule; }
  // The label that shows this parameter's state by its colour, and names it in messages.
  TControl* StatusLabel() const { return statusLabel_; }
  void SetStatusLabel(TControl* label) { statusLabel_ = label; }

  // Memo lines.
  const std::vector<std::string>& Lines() const { return lines_; }
  void AppendLine(std::string_view line);
  void ClearLines();
  // All lines at once, by code or by the user's typing; runs the change handlers when they change.
  void SetLines(std::vector<std::string> lines);

  // List view rows and grid cells (row-major).
  const std::vector<std::vector<std::string>>& Rows() const { return rows_; }
  void AddRow(std::vector<std::string> row);
  void ClearRows();
  std::string Cell(int column, int row) const;
  void SetCell(int column, int row, std::string_view text);
  // Colour names of a grid cell; empty when the cell keeps the grid's own colours.
  std::pair<std::string, std::string> CellColors(int column, int row) const;  // background, text
  void SetCellColors(int column, int row, std::string_view background, std::string_view text);
  // One row's texts replaced; a row beyond the list is ignored.
  void SetRow(int row, std::vector<std::string> texts);
  // The rows below move up, with their colours; the selection stays on its row.
  void RemoveRow(int row);
  // The selected row of a list view or grid, -1 for none. Selecting, by code or by the user's
  // click, runs the change handlers when the selection changes; out of range selects nothing.
  int SelectedRow() const { return selectedRow_; }
  void SelectRow(int row);
  // Column widths in pixels of a list view or grid; 0 (or a column beyond them) leaves the
  // view's own width. The view follows them, and they follow the user's resizing.
  const std::vector<int>& ColumnWidths() const { return columnWidths_; }
  int ColumnWidth(int column) const;
  void SetColumnWidth(int column, int width);

  // Pictures that the item images of a drop-down list index: file or resource paths.
  const std::vector<std::string>& ImageList() const { return imageList_; }
  void SetImageList(std::vector<std::string> paths);

  // Tree nodes: a flat list with a selected node (-1 = none).
  const std::vector<TTreeNode>& Nodes() const { return nodes_; }
  void SetNodes(std::vector<TTreeNode> nodes);
  int SelectedNode() const { return selectedNode_; }
  void SelectNode(int index);  // out of range leaves the selection alone

  // Radio buttons that exclude each other, this one included; empty when it is in no group.
  const std::vector<TControl*>& RadioGroupMembers() const;
  // The checked member of this control's radio group, or null.
  TControl* CheckedRadio() const;

  // Handlers the page rules set. Change: text, check, user selection; click: buttons, radio
  // buttons. A change may concern several pages, so it has a list of handlers.
  using THandler = std::function<void(TControl&)>;
  void OnChange(THandler handler) { changeHandlers_.push_back(std::move(handler)); }
  std::function<void(TControl&)> onClick;
  void Click() {
    if (onClick) onClick(*this);
  }
  // The user leaves the control for another one of its window. The handler returns false when
  // it refuses what the control holds: the view then gives the control the focus back.
  std::function<bool(TControl&)> onExit;
  bool Exit() { return !onExit || onExit(*this); }
  void Changed();

  // A view listens here to repaint after any state change.
  using Listener = std::function<void(const TControl&)>;
  int AddListener(Listener listener);
  void RemoveListener(int id);

 private:
  void Notify();
  friend class TForm;  // builds the radio groups

  std::string name_;
  std::string form_;
  TControlKind kind_;
  std::string text_;
  bool checked_ = false;
  int itemIndex_ = -1;
  std::vector<std::string> items_;
  std::vector<int> itemCodes_;
  std::vector<int> itemImages_;
  std::vector<bool> itemChecks_;
  std::vector<int> thumbs_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string fontColor_ = "clWindowText";
  unsigned fontStyle_ = fsRegular;
  std::string backColor_ = "clWindow";
  int position_ = 0;
  std::string hint_;
  int maxLength_ = 0;
  TKeyFilter keyFilter_ = nullptr;
  TNormaliser normaliser_ = nullptr;
  TValueRule valueRule_ = nullptr;
  TControl* statusLabel_ = nullptr;
  std::vector<std::string> lines_;
  std::vector<std::vector<std::string>> rows_;
  int selectedRow_ = -1;
  std::vector<int> columnWidths_;
  std::vector<std::string> imageList_;
  std::map<std::pair<int, int>, std::pair<std::string, std::string>> cellColors_;
  std::vector<TTreeNode> nodes_;
  int selectedNode_ = -1;
  std::vector<THandler> changeHandlers_;
  std::shared_ptr<std::vector<TControl*>> radioGroup_;
  std::vector<std::pair<int, Listener>> listeners_;
  int nextListener_ = 1;
  bool notifying_ = false;
};

// A value that comes from outside the keyboard (a settings file, the panel) passes what a typed
// one passes: the key filter character by character (as it maps them), printable characters
// only, the length limit, the normaliser and the control's value rule. The value as the
// control would hold it, or nothing with the reason in `why` (cp1251).
std::optional<std::string> AcceptValue(const TControl& control, std::string_view value, std::string* why = nullptr);

// Initial state of a declared control.
enum TControlState : unsigned { csNone = 0, csDisabled = 1, csHidden = 2 };

// One row of a form's control table. Texts are UTF-8 literals; in an indexed row "%d" in the
// caption, the status label and the radio group takes the control's number.
struct TControlSpec {
  const char* name;
  TControlKind kind;
  const char* caption = "";  // label text, group title, check box caption
  const char* hint = "";     // factory default: edit text, "true"/"false", default item text
  int maxLength = 0;
  TKeyFilter keys = nullptr;
  const char* status = "";   // the status label's name, resolved when the form is complete
  TNormaliser normalise = nullptr;
  TValueRule rule = nullptr;
  std::initializer_list<const char*> items = {};
  unsigned state = csNone;
  int position = 0;
  const char* group = "";    // radio buttons of one group name exclude each other
};

// The controls of an indexed row ("etN" 1..5), numbered from 1 like their names.
class TControlArray {
 public:
  TControl& operator[](int number) const { return *controls_.at(static_cast<std::size_t>(number - 1)); }
  int Count() const { return static_cast<int>(controls_.size()); }
  auto begin() const { return controls_.begin(); }
  auto end() const { return controls_.end(); }
  void Append(TControl& c) { controls_.push_back(&c); }

 private:
  std::vector<TControl*> controls_;
};

// The controls of a two-dimensional row ("cbRazd<c><p>"): grid[i][j] is the control named
// stem + i + j, both numbered from 1.
class TControlGrid {
 public:
  const TControlArray& operator[](int first) const { return rows_.at(static_cast<std::size_t>(first - 1)); }
  int Count() const { return static_cast<int>(rows_.size()); }
  auto begin() const { return rows_.begin(); }
  auto end() const { return rows_.end(); }
  void Append(TControlArray row) { rows_.push_back(std::move(row)); }

 private:
  std::vector<TControlArray> rows_;
};

// A window or page: its own control (kind Form) and the controls it owns, in component order.
class TForm {
 public:
  using K = TControlKind;

  explicit TForm(std::string name) : self_(name, TControlKind::Form, name) {}
  virtual ~TForm() = default;
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  const std::string& Name() const { return self_.Name(); }
  TControl& Self() { return self_; }
  const TControl& Self() const { return self_; }

  TControl& Add(std::string name, TControlKind kind, std::string_view hint = {});
  // A row of the form's table; the status label is found when the form is complete.
  TControl& Declare(const TControlSpec& row);
  TControlArray DeclareArray(int count, const TControlSpec& row);
  // count1 x count2 controls; the first "%d" of a text takes the first number, the second the
  // second one.
  TControlGrid DeclareGrid(int count1, int count2, const TControlSpec& row);
  // Links every declared status label; a row naming a label the form lacks is a programming
  // error and raises here, when the form is built.
  void ResolveStatusLabels();
  // Puts a radio button into the named group of this form.
  void JoinRadioGroup(TControl& button, const std::string& group);

  TControl* Find(std::string_view name);
  const TControl* Find(std::string_view name) const;
  // For rules that know the control exists; a missing name is a programming error.
  TControl& operator[](std::string_view name);
  const std::vector<std::unique_ptr<TControl>>& Controls() const { return controls_; }
  // Every control on or off, for panels that only allow an update.
  void SetAllEnabled(bool enabled);

  // Output from a worker. A form may take a text command for one of its controls itself
  // (returning true), is told after a command or slider value reached one of its controls,
  // and applies what is addressed to the form as a whole.
  virtual bool ApplyText(TControl& /*target*/, const std::string& /*text*/) { return false; }
  virtual void Applied(TControl& /*target*/) {}
  virtual void ApplyOutput(const TPageOutput& /*output*/) {}

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
  TControl& DeclareOne(const TControlSpec& row, std::string name, std::initializer_list<int> numbers);

  TControl self_;
  int modalResult_ = mrNone;
  std::vector<std::unique_ptr<TControl>> controls_;
  std::vector<std::pair<TControl*, std::string>> pendingStatus_;
  std::map<std::string, std::shared_ptr<std::vector<TControl*>>> radioGroups_;
};

// A form's control table as members: each row is declared once, and its member has the
// control's own name, so rules and operations reach the control without spelling it again.
#define ZORVAN_CONTROL(id, kindValue, ...) \
  ::zorvan::TControl& id = Declare({.name = #id, .kind = kindValue __VA_OPT__(, ) __VA_ARGS__})
#define ZORVAN_CONTROLS(id, count, kindValue, ...) \
  ::zorvan::TControlArray id = DeclareArray(count, {.name = #id, .kind = kindValue __VA_OPT__(, ) __VA_ARGS__})
#define ZORVAN_CONTROLS2(id, count1, count2, kindValue, ...) \
  ::zorvan::TControlGrid id =                                  \
      DeclareGrid(count1, count2, {.name = #id, .kind = kindValue __VA_OPT__(, ) __VA_ARGS__})

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
