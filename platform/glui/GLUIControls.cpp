// Control values, live variables and the builders that add controls to a panel.
// Nothing here touches GLUT or ImGui.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/glui/GLUIFrame.h"

GLUI_Master_Object GLUI_Master;

// ---- values -------------------------------------------------------------------

int GLUI_Control::ClampInt(int value) const {
  if (mLimitType == GLUI_LIMIT_CLAMP) return std::clamp(value, mIntLow, mIntHigh);
  if (mLimitType == GLUI_LIMIT_WRAP) {
    long long span = (long long)mIntHigh - mIntLow + 1;
    long long offset = ((long long)value - mIntLow) % span;
    if (offset < 0) offset += span;
    return (int)(mIntLow + offset);
  }
  return value;
}

float GLUI_Control::ClampFloat(float value) const {
  if (!std::isfinite(value)) value = mFloatVal;  // a NaN or infinity typed or computed keeps the old value
  if (mLimitType == GLUI_LIMIT_CLAMP) return std::clamp(value, mFloatLow, mFloatHigh);
  if (mLimitType == GLUI_LIMIT_WRAP) {
    if (value > mFloatHigh) return mFloatLow;
    if (value < mFloatLow) return mFloatHigh;
  }
  return value;
}

void GLUI_Control::WriteLive() {
  if (!mLive) return;
  if (mLiveType == GLUI_LIVE_INT) *static_cast<int*>(mLive) = mIntVal;
  else if (mLiveType == GLUI_LIVE_FLOAT) *static_cast<float*>(mLive) = mFloatVal;
  else if (mLiveType == GLUI_LIVE_TEXT) *static_cast<std::string*>(mLive) = mText;
}

void GLUI_Control::set_int_val(int value) {
  mIntVal = ClampInt(value);
  mFloatVal = (float)mIntVal;
  WriteLive();
}

void GLUI_Control::set_float_val(float value) {
  mFloatVal = ClampFloat(value);
  mIntVal = (int)mFloatVal;
  WriteLive();
}

void GLUI_Control::set_text(const char* text) {
  mText = text ? text : "";
  WriteLive();
}

void GLUI_Control::sync_live() {
  if (!mLive) return;
  if (mLiveType == GLUI_LIVE_INT) {
    mIntVal = *static_cast<int*>(mLive);
    mFloatVal = (float)mIntVal;
  } else if (mLiveType == GLUI_LIVE_FLOAT) {
    mFloatVal = *static_cast<float*>(mLive);
    mIntVal = (int)mFloatVal;
  } else if (mLiveType == GLUI_LIVE_TEXT) {
    mText = *static_cast<std::string*>(mLive);
  }
}

// Limits are kept both as integers and as floats; the value held now is pulled
// inside the new limits at once, in its own kind.
void GLUI_Control::set_int_limits(int low, int high, int limitType) {
  mIntLow = std::min(low, high);
  mIntHigh = std::max(low, high);
  mFloatLow = (float)mIntLow;
  mFloatHigh = (float)mIntHigh;
  mLimitType = limitType;
  ApplyLimits();
}

void GLUI_Control::set_float_limits(float low, float high, int limitType) {
  mFloatLow = std::min(low, high);
  mFloatHigh = std::max(low, high);
  mIntLow = (int)mFloatLow;
  mIntHigh = (int)mFloatHigh;
  mLimitType = limitType;
  ApplyLimits();
}

void GLUI_Control::ApplyLimits() {
  if (mLiveType == GLUI_LIVE_INT) set_int_val(mIntVal);
  else if (mLiveType == GLUI_LIVE_FLOAT) set_float_val(mFloatVal);
}

bool GLUI_Listbox::add_item(int value, const char* text) {
  if (std::any_of(mItems.begin(), mItems.end(), [value](const auto& item) { return item.first == value; }))
    return false;
  mItems.emplace_back(value, text ? text : "");
  return true;
}

bool GLUI_Listbox::delete_item(int value) {
  return std::erase_if(mItems, [value](const auto& item) { return item.first == value; }) > 0;
}

// ---- building panels -------------------------------------------------------------

GLUI::GLUI(const char* name, int windowId) : mName(name ? name : ""), mWindowId(windowId) {}

template <class T>
T* GLUI::AddControl(GLUI_Control::Kind kind, GLUI_Control* parent, const char* name, int id,
                    GLUI_Update_CB callback) {
  T* control = new T(kind, this, parent, name, id, callback);
  mControls.emplace_back(control);
  if (parent) parent->mChildren.push_back(control);
  else mTopLevel.push_back(control);
  return control;
}

void GLUI::BindLive(GLUI_Control* control, int liveType, void* live) {
  control->mLiveType = liveType;  // kept without a variable too: fields parse what they are meant to hold
  control->mLive = live;
  control->sync_live();  // a control starts out showing its variable
}

GLUI_Button* GLUI::add_button_to_panel(GLUI_Panel* panel, const char* name, int id, GLUI_Update_CB callback) {
  return AddControl<GLUI_Button>(GLUI_Control::Kind::Button, panel, name, id, callback);
}

GLUI_Checkbox* GLUI::add_checkbox_to_panel(GLUI_Panel* panel, const char* name, int* live, int id,
                                           GLUI_Update_CB callback) {
  GLUI_Checkbox* box = AddControl<GLUI_Checkbox>(GLUI_Control::Kind::Checkbox, panel, name, id, callback);
  BindLive(box, GLUI_LIVE_INT, live);
  return box;
}

GLUI_RadioGroup* GLUI::add_radiogroup_to_panel(GLUI_Panel* panel, int* live, int id, GLUI_Update_CB callback) {
  GLUI_RadioGroup* group = AddControl<GLUI_RadioGroup>(GLUI_Control::Kind::RadioGroup, panel, "", id, callback);
  BindLive(group, GLUI_LIVE_INT, live);
  return group;
}

GLUI_RadioButton* GLUI::add_radiobutton_to_group(GLUI_RadioGroup* group, const char* name) {
  return add_radiobutton_to_group(group, name, group ? (int)group->mChildren.size() : 0);
}

GLUI_RadioButton* GLUI::add_radiobutton_to_group(GLUI_RadioGroup* group, const char* name, int value) {
  if (!group || group->mOwner != this) return nullptr;
  GLUI_RadioButton* button = AddControl<GLUI_RadioButton>(GLUI_Control::Kind::RadioButton, group, name, -1, nullptr);
  button->mRadioValue = value;
  return button;
}

GLUI_Spinner* GLUI::add_spinner_to_panel(GLUI_Panel* panel, const char* name, int dataType, void* live, int id,
                                         GLUI_Update_CB callback) {
  GLUI_Spinner* spinner = AddControl<GLUI_Spinner>(GLUI_Control::Kind::Spinner, panel, name, id, callback);
  // A spinner holds a number: anything but a float is treated as an integer.
  BindLive(spinner, dataType == GLUI_SPINNER_FLOAT ? GLUI_LIVE_FLOAT : GLUI_LIVE_INT, live);
  return spinner;
}

GLUI_EditText* GLUI::add_edittext_to_panel(GLUI_Panel* panel, const char* name, int dataType, void* live, int id,
                                           GLUI_Update_CB callback) {
  GLUI_EditText* edit = AddControl<GLUI_EditText>(GLUI_Control::Kind::EditText, panel, name, id, callback);
  int type = (dataType == GLUI_EDITTEXT_INT || dataType == GLUI_EDITTEXT_FLOAT) ? dataType : GLUI_EDITTEXT_TEXT;
  BindLive(edit, type, live);
  return edit;
}

GLUI_Listbox* GLUI::add_listbox_to_panel(GLUI_Panel* panel, const char* name, int* live, int id,
                                         GLUI_Update_CB callback) {
  GLUI_Listbox* box = AddControl<GLUI_Listbox>(GLUI_Control::Kind::Listbox, panel, name, id, callback);
  BindLive(box, GLUI_LIVE_INT, live);
  return box;
}

GLUI_StaticText* GLUI::add_statictext_to_panel(GLUI_Panel* panel, const char* name) {
  GLUI_StaticText* text = AddControl<GLUI_StaticText>(GLUI_Control::Kind::StaticText, panel, name, -1, nullptr);
  text->mText = text->mName;
  return text;
}

GLUI_Panel* GLUI::add_panel_to_panel(GLUI_Panel* panel, const char* name, int type) {
  GLUI_Panel* inner = AddControl<GLUI_Panel>(GLUI_Control::Kind::Panel, panel, name, -1, nullptr);
  inner->mPanelType = type;
  return inner;
}

GLUI_Rollout* GLUI::add_rollout_to_panel(GLUI_Panel* panel, const char* name, bool open) {
  GLUI_Rollout* rollout = AddControl<GLUI_Rollout>(GLUI_Control::Kind::Rollout, panel, name, -1, nullptr);
  rollout->mOpen = open;
  return rollout;
}

GLUI_Column* GLUI::add_column_to_panel(GLUI_Panel* panel, bool drawBar) {
  GLUI_Column* column = AddControl<GLUI_Column>(GLUI_Control::Kind::Column, panel, "", -1, nullptr);
  column->mDrawBar = drawBar;
  return column;
}

GLUI_Separator* GLUI::add_separator_to_panel(GLUI_Panel* panel) {
  return AddControl<GLUI_Separator>(GLUI_Control::Kind::Separator, panel, "", -1, nullptr);
}

GLUI_Button* GLUI::add_button(const char* name, int id, GLUI_Update_CB callback) {
  return add_button_to_panel(nullptr, name, id, callback);
}
GLUI_Checkbox* GLUI::add_checkbox(const char* name, int* live, int id, GLUI_Update_CB callback) {
  return add_checkbox_to_panel(nullptr, name, live, id, callback);
}
GLUI_RadioGroup* GLUI::add_radiogroup(int* live, int id, GLUI_Update_CB callback) {
  return add_radiogroup_to_panel(nullptr, live, id, callback);
}
GLUI_Spinner* GLUI::add_spinner(const char* name, int dataType, void* live, int id, GLUI_Update_CB callback) {
  return add_spinner_to_panel(nullptr, name, dataType, live, id, callback);
}
GLUI_EditText* GLUI::add_edittext(const char* name, int dataType, void* live, int id, GLUI_Update_CB callback) {
  return add_edittext_to_panel(nullptr, name, dataType, live, id, callback);
}
GLUI_Listbox* GLUI::add_listbox(const char* name, int* live, int id, GLUI_Update_CB callback) {
  return add_listbox_to_panel(nullptr, name, live, id, callback);
}
GLUI_StaticText* GLUI::add_statictext(const char* name) { return add_statictext_to_panel(nullptr, name); }
GLUI_Panel* GLUI::add_panel(const char* name, int type) { return add_panel_to_panel(nullptr, name, type); }
GLUI_Rollout* GLUI::add_rollout(const char* name, bool open) { return add_rollout_to_panel(nullptr, name, open); }
GLUI_Column* GLUI::add_column(bool drawBar) { return add_column_to_panel(nullptr, drawBar); }
GLUI_Separator* GLUI::add_separator() { return add_separator_to_panel(nullptr); }

void GLUI::sync_live() {
  if (mClosed) return;  // a closed panel's variables may be gone with their owner
  for (auto& control : mControls) control->sync_live();
}

GLUI_Control* GLUI::find_control(const char* name) const {
  if (!name) return nullptr;
  for (const auto& control : mControls)
    if (control->mName == name) return control.get();
  return nullptr;
}

void GLUI_Master_Object::sync_live_all() {
  for (GLUI* panel : GLUI_Layer::Panels()) panel->sync_live();
}
