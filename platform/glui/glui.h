// A small GLUI-shaped panel toolkit. Each panel (a `GLUI`) is its own freeglut
// window drawn with Dear ImGui; game code only ever sees this header, which is
// free of ImGui types. Controls are bound to "live" variables: the panel reads
// them every frame and writes them when the user changes a control, then calls
// the control's callback with the control's id.
//
// Callbacks run after the panel's frame has finished, with the panel's main
// graphics window current, so a callback may draw, open dialogs, create or
// close panels freely.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

using GLUI_Update_CB = void (*)(int id);

// Value kinds of live variables, spinners and edit fields.
constexpr int GLUI_LIVE_NONE = 0;
constexpr int GLUI_LIVE_INT = 1;
constexpr int GLUI_LIVE_FLOAT = 2;
constexpr int GLUI_LIVE_TEXT = 3;
constexpr int GLUI_SPINNER_INT = GLUI_LIVE_INT;
constexpr int GLUI_SPINNER_FLOAT = GLUI_LIVE_FLOAT;
constexpr int GLUI_EDITTEXT_INT = GLUI_LIVE_INT;
constexpr int GLUI_EDITTEXT_FLOAT = GLUI_LIVE_FLOAT;
constexpr int GLUI_EDITTEXT_TEXT = GLUI_LIVE_TEXT;  // takes a std::string* live variable

// What a limited spinner or edit field does with a value outside its limits.
constexpr int GLUI_LIMIT_NONE = 0;
constexpr int GLUI_LIMIT_CLAMP = 1;
constexpr int GLUI_LIMIT_WRAP = 2;

// Panel frames.
constexpr int GLUI_PANEL_NONE = 0;
constexpr int GLUI_PANEL_EMBOSSED = 1;
constexpr int GLUI_PANEL_RAISED = 2;

class GLUI;
struct GLUI_Layer;  // the drawing code, in platform/glui/GLUI.cpp

class GLUI_Control {
 public:
  virtual ~GLUI_Control() = default;
  GLUI_Control(const GLUI_Control&) = delete;
  GLUI_Control& operator=(const GLUI_Control&) = delete;

  // Setting a value writes the live variable too, but never calls the callback.
  int get_int_val() const { return mIntVal; }
  void set_int_val(int value);
  float get_float_val() const { return mFloatVal; }
  void set_float_val(float value);
  const char* get_text() const { return mText.c_str(); }
  void set_text(const char* text);

  const char* get_name() const { return mName.c_str(); }
  void set_name(const char* name) { mName = name ? name : ""; }
  int get_id() const { return mId; }
  void enable() { mEnabled = true; }
  void disable() { mEnabled = false; }
  bool is_enabled() const { return mEnabled; }
  GLUI* get_glui() const { return mOwner; }

  void sync_live();  // read the live variable into the control now

 protected:
  friend class GLUI;
  friend struct GLUI_Layer;
  enum class Kind { Button, Checkbox, StaticText, Separator, Panel, Rollout, Column, RadioGroup, RadioButton,
                    Spinner, EditText, Listbox };
  GLUI_Control(Kind kind, GLUI* owner, GLUI_Control* parent, const char* name, int id, GLUI_Update_CB callback)
      : mKind(kind), mOwner(owner), mParent(parent), mName(name ? name : ""), mId(id), mCallback(callback) {}
  int ClampInt(int value) const;
  float ClampFloat(float value) const;
  void WriteLive();
  // Spinners and edit fields make these public.
  void set_int_limits(int low, int high, int limitType = GLUI_LIMIT_CLAMP);
  void set_float_limits(float low, float high, int limitType = GLUI_LIMIT_CLAMP);
  void ApplyLimits();

  Kind mKind;
  GLUI* mOwner;
  GLUI_Control* mParent;  // the panel, rollout or radio group holding this control; null at the top
  std::string mName;
  int mId;
  GLUI_Update_CB mCallback;
  bool mEnabled = true;

  int mLiveType = GLUI_LIVE_NONE;  // the kind of value the control holds, with or without a variable
  void* mLive = nullptr;           // int*, float* or std::string* by mLiveType
  int mIntVal = 0;
  float mFloatVal = 0.0f;
  std::string mText;

  int mLimitType = GLUI_LIMIT_NONE;
  int mIntLow = 0, mIntHigh = 0;
  float mFloatLow = 0.0f, mFloatHigh = 0.0f;
  float mSpeed = 1.0f;

  std::vector<GLUI_Control*> mChildren;            // panels, rollouts, radio groups
  int mPanelType = GLUI_PANEL_EMBOSSED;
  bool mOpen = true;                                // rollouts
  bool mDrawBar = true;                             // columns
  int mRadioValue = 0;                              // the value a radio button gives its group
  std::vector<std::pair<int, std::string>> mItems;  // list box items: value, text
  std::string mEditBuffer;                          // edit fields: the text while the user types
  bool mEditing = false;
};

class GLUI_Button : public GLUI_Control {
  using GLUI_Control::GLUI_Control;
};
class GLUI_Checkbox : public GLUI_Control {
  using GLUI_Control::GLUI_Control;
};
class GLUI_StaticText : public GLUI_Control {
  using GLUI_Control::GLUI_Control;
};
class GLUI_Separator : public GLUI_Control {
  using GLUI_Control::GLUI_Control;
};
class GLUI_Column : public GLUI_Control {
  using GLUI_Control::GLUI_Control;
};
class GLUI_Panel : public GLUI_Control {
  using GLUI_Control::GLUI_Control;
};
class GLUI_Rollout : public GLUI_Panel {
 public:
  using GLUI_Panel::GLUI_Panel;
  void open() { mOpen = true; }
  void close() { mOpen = false; }
  bool is_open() const { return mOpen; }
};
class GLUI_RadioButton : public GLUI_Control {
  using GLUI_Control::GLUI_Control;
};
class GLUI_RadioGroup : public GLUI_Control {  // its value is the chosen button's value
  using GLUI_Control::GLUI_Control;
};
class GLUI_Spinner : public GLUI_Control {
 public:
  using GLUI_Control::GLUI_Control;
  using GLUI_Control::set_int_limits;
  using GLUI_Control::set_float_limits;
  void set_speed(float speed) { mSpeed = speed > 0.0f ? speed : 1.0f; }  // step size multiplier
};
class GLUI_EditText : public GLUI_Control {  // commits on Return
 public:
  using GLUI_Control::GLUI_Control;
  using GLUI_Control::set_int_limits;
  using GLUI_Control::set_float_limits;
};
class GLUI_Listbox : public GLUI_Control {  // its value is the chosen item's value
 public:
  using GLUI_Control::GLUI_Control;
  bool add_item(int value, const char* text);
  bool delete_item(int value);
};

class GLUI {
 public:
  GLUI(const GLUI&) = delete;
  GLUI& operator=(const GLUI&) = delete;

  void set_main_gfx_window(int windowId) { mMainGfxWindow = windowId; }
  int get_main_gfx_window() const { return mMainGfxWindow; }
  int get_glut_window_id() const { return mWindowId; }  // 0 once closed
  void get_size(int* width, int* height);  // as last drawn: a control panel fits its controls when drawn
  const char* get_name() const { return mName.c_str(); }
  // A window manager shows the title in a title bar over the panel: the panel
  // grows, up to maxWidth (its window's own width), to show it whole; where
  // that is too narrow, the title the manager shows is cut at its end
  // ("Quorvel Control P…"). Its name stays whole. Panels stacked in a column
  // whose frames have a height are titled so, within the column.
  void show_title_within(int maxWidth);
  // Where the column last put it (its frame's top-left); false where it never
  // did, or since it left the column.
  bool column_place(int* x, int* y) const;
  // It leaves the column (the player moved it): the column's restacking
  // leaves it where it stands, and the others close up.
  void leave_column();

  GLUI_Button* add_button(const char* name, int id = -1, GLUI_Update_CB callback = nullptr);
  GLUI_Checkbox* add_checkbox(const char* name, int* live = nullptr, int id = -1, GLUI_Update_CB callback = nullptr);
  GLUI_RadioGroup* add_radiogroup(int* live = nullptr, int id = -1, GLUI_Update_CB callback = nullptr);
  // A button's value is its index in the group unless one is given.
  GLUI_RadioButton* add_radiobutton_to_group(GLUI_RadioGroup* group, const char* name);
  GLUI_RadioButton* add_radiobutton_to_group(GLUI_RadioGroup* group, const char* name, int value);
  GLUI_Spinner* add_spinner(const char* name, int dataType = GLUI_SPINNER_INT, void* live = nullptr, int id = -1,
                            GLUI_Update_CB callback = nullptr);
  GLUI_EditText* add_edittext(const char* name, int dataType = GLUI_EDITTEXT_TEXT, void* live = nullptr, int id = -1,
                              GLUI_Update_CB callback = nullptr);
  GLUI_Listbox* add_listbox(const char* name, int* live = nullptr, int id = -1, GLUI_Update_CB callback = nullptr);
  GLUI_StaticText* add_statictext(const char* name);
  GLUI_Panel* add_panel(const char* name, int type = GLUI_PANEL_EMBOSSED);
  GLUI_Rollout* add_rollout(const char* name, bool open = true);
  GLUI_Column* add_column(bool drawBar = true);  // later controls go into a new column
  GLUI_Separator* add_separator();

  // The same, inside a panel or rollout (null means the top level).
  GLUI_Button* add_button_to_panel(GLUI_Panel* panel, const char* name, int id = -1,
                                   GLUI_Update_CB callback = nullptr);
  GLUI_Checkbox* add_checkbox_to_panel(GLUI_Panel* panel, const char* name, int* live = nullptr, int id = -1,
                                       GLUI_Update_CB callback = nullptr);
  GLUI_RadioGroup* add_radiogroup_to_panel(GLUI_Panel* panel, int* live = nullptr, int id = -1,
                                           GLUI_Update_CB callback = nullptr);
  GLUI_Spinner* add_spinner_to_panel(GLUI_Panel* panel, const char* name, int dataType = GLUI_SPINNER_INT,
                                     void* live = nullptr, int id = -1, GLUI_Update_CB callback = nullptr);
  GLUI_EditText* add_edittext_to_panel(GLUI_Panel* panel, const char* name, int dataType = GLUI_EDITTEXT_TEXT,
                                       void* live = nullptr, int id = -1, GLUI_Update_CB callback = nullptr);
  GLUI_Listbox* add_listbox_to_panel(GLUI_Panel* panel, const char* name, int* live = nullptr, int id = -1,
                                     GLUI_Update_CB callback = nullptr);
  GLUI_StaticText* add_statictext_to_panel(GLUI_Panel* panel, const char* name);
  GLUI_Panel* add_panel_to_panel(GLUI_Panel* panel, const char* name, int type = GLUI_PANEL_EMBOSSED);
  GLUI_Rollout* add_rollout_to_panel(GLUI_Panel* panel, const char* name, bool open = true);
  GLUI_Column* add_column_to_panel(GLUI_Panel* panel, bool drawBar = true);
  GLUI_Separator* add_separator_to_panel(GLUI_Panel* panel);

  void sync_live();  // every control reads its live variable now
  void show();
  void hide();
  void close();      // the window goes away at the end of the frame; the object and its controls stay valid
  bool is_visible() const { return mVisible; }
  bool is_closed() const { return mClosed; }

  // Every control in creation order (tests and tools look controls up by name).
  const std::vector<std::unique_ptr<GLUI_Control>>& controls() const { return mControls; }
  GLUI_Control* find_control(const char* name) const;

  struct Frame;  // the window's ImGui context, input queue and sizes: opaque outside platform/glui

 private:
  friend class GLUI_Master_Object;
  friend struct GLUI_Layer;
  friend class GLUI_Control;
  GLUI(const char* name, int windowId);
  template <class T>
  T* AddControl(GLUI_Control::Kind kind, GLUI_Control* parent, const char* name, int id, GLUI_Update_CB callback);
  void BindLive(GLUI_Control* control, int liveType, void* live);
  void SetShown(bool shown);

  std::string mName;
  int mWindowId = 0;
  int mMainGfxWindow = -1;
  bool mVisible = true;
  bool mClosed = false;
  std::vector<std::unique_ptr<GLUI_Control>> mControls;
  std::vector<GLUI_Control*> mTopLevel;
  std::unique_ptr<Frame, void (*)(Frame*)> mFrame{nullptr, nullptr};
};

// Where panels opened without a position stack (see set_default_position):
// their frames' top-left from (x, y) down, within `width` and above `bottom`
// (0: unbounded); a window manager's frame adds frameWidth and frameHeight to
// each panel.
struct GLUI_PanelColumn {
  int x = 0, y = 0, width = 0, bottom = 0;
  int frameWidth = 0, frameHeight = 0;
  bool operator==(const GLUI_PanelColumn&) const = default;
};

struct GLUI_PanelBox {
  int x = 0, y = 0;               // where the frame's top-left goes
  int width = 0, height = 0;      // the window's own size
};

// Where panels whose contents take the given sizes stand in the column, in
// order, one under another. Panels the column cannot hold whole are cut to it,
// the tallest first, and scroll.
std::vector<GLUI_PanelBox> GLUI_StackPanels(const GLUI_PanelColumn& column,
                                            const std::vector<GLUI_PanelBox>& contents);
// The least height a column holds `count` panels in, each cut as short as
// panels are ever cut, with their frames and the gaps between them.
int GLUI_LeastColumnHeight(int count, int frameHeight);

class GLUI_Master_Object {
 public:
  // x, y of -1 keep the position set with glutInitWindowPosition. Needs glutInit first.
  GLUI* create_glui(const char* name, long flags = 0, int x = -1, int y = -1);
  // Where panels created at -1, -1 from now on open: stacked in the column
  // (under the height `above` has grown to; null: nothing added) with those
  // placed so far that are still shown, all restacked when one comes, and at
  // once into a column that moved. Without it they open where the window
  // system likes.
  void set_default_position(const GLUI_PanelColumn& column, GLUI* above = nullptr);
  // Called whenever a panel's window moved or was resized (a window manager's
  // drag, or a change asked for). Null: none.
  void set_panels_moved_func(void (*moved)());
  // Every panel, open or opened later, becomes a tool window of the given
  // window: a window manager keeps it above that window, also when that one is
  // clicked (without a manager nothing changes). 0 lets them go.
  void keep_panels_above(int windowId);
  // GLUT's idle hook: calls the function with the main graphics window current, then redraws the panels.
  void set_glutIdleFunc(void (*idle)());
  void run_idle_once();  // one pass of the idle hook, unthrottled: for frame-pumping tests
  void sync_live_all();
  void close_all();
  GLUI* find_glui_by_window_id(int windowId);
  std::vector<GLUI*> shown_panels();  // every panel open and shown, the debug window's too
  // Pass-throughs kept for code written against GLUI; they register on the current GLUT window.
  void set_glutDisplayFunc(void (*f)());
  void set_glutReshapeFunc(void (*f)(int, int));
  void set_glutKeyboardFunc(void (*f)(unsigned char, int, int));
  void set_glutSpecialFunc(void (*f)(int, int, int));
  void set_glutMouseFunc(void (*f)(int, int, int, int));
};

extern GLUI_Master_Object GLUI_Master;  // stateless: the panels live in a registry built on first use

// Draws one frame of every visible panel and runs the callbacks their controls
// fired, then makes the window that was current before current again. The idle
// hook calls it; frame-pumping tests call it too.
void GLUI_PumpFrame();
