// Drawing GLUI controls with ImGui. Each control re-reads its live variable every
// frame; a user change writes the variable and queues the callback for after the frame.
#include <imgui.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/glui/GLUIFrame.h"
#include "platform/glui/GLUIInternal.h"

namespace {

constexpr float kFieldWidth = 90.0f;      // number and text fields
constexpr float kPanelIndent = 8.0f;
constexpr size_t kEditCapacity = 1024;    // longest text an edit field takes

// Parses a whole field; false for empty text, junk after the number or out of range.
bool ParseInt(const char* text, int* out) {
  char* end = nullptr;
  errno = 0;
  long value = strtol(text, &end, 10);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (end == text || !end || *end || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return false;
  *out = (int)value;
  return true;
}

bool ParseFloat(const char* text, float* out) {
  char* end = nullptr;
  errno = 0;
  float value = strtof(text, &end);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (end == text || !end || *end || errno == ERANGE || !std::isfinite(value)) return false;
  *out = value;
  return true;
}

std::string FormatValue(int liveType, int intVal, float floatVal, const std::string& text) {
  char buffer[64];
  if (liveType == GLUI_LIVE_INT) snprintf(buffer, sizeof buffer, "%d", intVal);
  else if (liveType == GLUI_LIVE_FLOAT) snprintf(buffer, sizeof buffer, "%.3f", floatVal);
  else return text;
  return buffer;
}

void LabelLeft(const std::string& name) {
  if (name.empty()) return;
  ImGui::AlignTextToFramePadding();
  ImGui::TextUnformatted(name.c_str());
  ImGui::SameLine();
}

}  // namespace

void GLUI_Layer::Fire(GLUI* panel, GLUI_Control* control) {
  if (!control->mCallback) return;
  GLUI_Update_CB callback = control->mCallback;
  int id = control->mId;
  GLUI_RunAfterFrame(panel, [callback, id] { callback(id); });
}

void GLUI_Layer::DrawControls(GLUI* panel) { DrawContainer(panel, panel->mTopLevel); }

void GLUI_Layer::DrawContainer(GLUI* panel, const std::vector<GLUI_Control*>& children) {
  // Columns split the children; each run between them is one vertical group.
  bool hasColumns = false;
  for (GLUI_Control* child : children) hasColumns = hasColumns || child->mKind == GLUI_Control::Kind::Column;
  if (!hasColumns) {
    for (GLUI_Control* child : children) DrawControl(panel, child);
    return;
  }
  ImGui::BeginGroup();
  for (GLUI_Control* child : children) {
    if (child->mKind != GLUI_Control::Kind::Column) {
      DrawControl(panel, child);
      continue;
    }
    ImGui::EndGroup();
    ImGui::SameLine();
    if (child->mDrawBar) {
      ImVec2 top = ImGui::GetCursorScreenPos();
      float height = ImGui::GetItemRectSize().y;
      ImGui::GetWindowDrawList()->AddLine(top, ImVec2(top.x, top.y + height), ImGui::GetColorU32(ImGuiCol_Separator));
      ImGui::Dummy(ImVec2(1.0f, height));
      ImGui::SameLine();
    }
    ImGui::BeginGroup();
  }
  ImGui::EndGroup();
}

void GLUI_Layer::DrawControl(GLUI* panel, GLUI_Control* control) {
  using Kind = GLUI_Control::Kind;
  ImGui::PushID(control);
  ImGui::BeginDisabled(!control->mEnabled);
  if (!control->mEditing) control->sync_live();
  const std::string& name = control->mName;

  switch (control->mKind) {
    case Kind::Button:
      if (ImGui::Button(name.c_str())) Fire(panel, control);
      GLUI_RecordItemRect(panel, name);
      break;

    case Kind::Checkbox: {
      bool checked = control->mIntVal != 0;
      if (ImGui::Checkbox(name.c_str(), &checked)) {
        control->set_int_val(checked ? 1 : 0);
        Fire(panel, control);
      }
      GLUI_RecordItemRect(panel, name);
      break;
    }

    case Kind::StaticText:
      ImGui::TextUnformatted(control->mText.c_str());
      GLUI_RecordItemRect(panel, name);
      break;

    case Kind::Separator: ImGui::Separator(); break;
    case Kind::Column: break;  // handled by the container

    case Kind::Panel: {
      bool framed = control->mPanelType != GLUI_PANEL_NONE;
      ImGui::BeginGroup();
      if (!name.empty()) ImGui::TextUnformatted(name.c_str());
      ImGui::Indent(kPanelIndent);
      ImGui::BeginGroup();
      DrawContainer(panel, control->mChildren);
      ImGui::EndGroup();
      ImGui::Unindent(kPanelIndent);
      ImGui::EndGroup();
      if (framed) {
        ImVec2 min = ImGui::GetItemRectMin(), max = ImGui::GetItemRectMax();
        ImGui::GetWindowDrawList()->AddRect(ImVec2(min.x - 3, min.y - 2), ImVec2(max.x + 3, max.y + 2),
                                            ImGui::GetColorU32(ImGuiCol_Border));
      }
      GLUI_RecordItemRect(panel, name);
      ImGui::Spacing();
      break;
    }

    case Kind::Rollout:
      ImGui::SetNextItemOpen(control->mOpen, ImGuiCond_Always);
      control->mOpen = ImGui::CollapsingHeader(name.c_str());
      GLUI_RecordItemRect(panel, name);
      if (control->mOpen) {
        ImGui::Indent(kPanelIndent);
        DrawContainer(panel, control->mChildren);
        ImGui::Unindent(kPanelIndent);
      }
      break;

    case Kind::RadioGroup:
      ImGui::BeginGroup();
      for (GLUI_Control* button : control->mChildren) {
        ImGui::PushID(button);
        if (ImGui::RadioButton(button->mName.c_str(), control->mIntVal == button->mRadioValue) &&
            control->mIntVal != button->mRadioValue) {
          control->set_int_val(button->mRadioValue);
          Fire(panel, control);
        }
        GLUI_RecordItemRect(panel, button->mName);
        ImGui::PopID();
      }
      ImGui::EndGroup();
      break;

    case Kind::RadioButton: break;  // drawn by its group

    case Kind::Spinner: {
      bool isFloat = control->mLiveType == GLUI_LIVE_FLOAT;
      LabelLeft(name);
      ImGui::SetNextItemWidth(kFieldWidth);
      bool changed = false;
      if (isFloat) {
        float value = control->mFloatVal;
        // "1e999" parses to infinity: refused like junk in an edit field, without a callback.
        if (ImGui::InputFloat("##value", &value, 0.0f, 0.0f, "%.3f", ImGuiInputTextFlags_EnterReturnsTrue) &&
            std::isfinite(value)) {
          control->set_float_val(value);
          changed = true;
        }
      } else {
        int value = control->mIntVal;
        if (ImGui::InputInt("##value", &value, 0, 0, ImGuiInputTextFlags_EnterReturnsTrue)) {
          control->set_int_val(value);
          changed = true;
        }
      }
      GLUI_RecordItemRect(panel, name);
      ImGui::PushButtonRepeat(true);  // holding an arrow keeps stepping, as a spinner does
      for (int direction : {-1, +1}) {
        ImGui::SameLine(0.0f, 2.0f);
        if (ImGui::ArrowButton(direction < 0 ? "##down" : "##up", direction < 0 ? ImGuiDir_Down : ImGuiDir_Up)) {
          if (isFloat) control->set_float_val(control->mFloatVal + direction * 0.1f * control->mSpeed);
          else control->set_int_val(control->mIntVal + direction * (int)std::fmax(1.0f, control->mSpeed));
          changed = true;
        }
        GLUI_RecordItemRect(panel, name + (direction < 0 ? "/-" : "/+"));
      }
      ImGui::PopButtonRepeat();
      if (changed) Fire(panel, control);
      break;
    }

    case Kind::EditText: {
      LabelLeft(name);
      if (control->mEditBuffer.size() != kEditCapacity) control->mEditBuffer.assign(kEditCapacity, '\0');
      char* buffer = control->mEditBuffer.data();
      if (!control->mEditing) {
        std::string shown = FormatValue(control->mLiveType, control->mIntVal, control->mFloatVal, control->mText);
        snprintf(buffer, kEditCapacity, "%s", shown.c_str());
      }
      ImGuiInputTextFlags flags = ImGuiInputTextFlags_EnterReturnsTrue;
      // A click into a number selects it, so typing replaces the old value.
      if (control->mLiveType == GLUI_LIVE_INT) flags |= ImGuiInputTextFlags_CharsDecimal | ImGuiInputTextFlags_AutoSelectAll;
      if (control->mLiveType == GLUI_LIVE_FLOAT)
        flags |= ImGuiInputTextFlags_CharsScientific | ImGuiInputTextFlags_AutoSelectAll;
      ImGui::SetNextItemWidth(control->mLiveType == GLUI_LIVE_TEXT ? 2 * kFieldWidth : kFieldWidth);
      bool entered = ImGui::InputText("##text", buffer, kEditCapacity, flags);
      control->mEditing = ImGui::IsItemActive();
      GLUI_RecordItemRect(panel, name);
      if (entered) {
        bool accepted = true;
        if (control->mLiveType == GLUI_LIVE_INT) {
          int value = 0;
          accepted = ParseInt(buffer, &value);
          if (accepted) control->set_int_val(value);
        } else if (control->mLiveType == GLUI_LIVE_FLOAT) {
          float value = 0.0f;
          accepted = ParseFloat(buffer, &value);
          if (accepted) control->set_float_val(value);
        } else {
          control->set_text(buffer);
        }
        control->mEditing = false;  // the next frame shows the stored value (the old one when rejected)
        if (accepted) Fire(panel, control);
      }
      break;
    }

    case Kind::Listbox: {
      // An open list rather than a drop-down: a popup would fall outside the
      // panel window, which is only as large as its controls.
      if (!name.empty()) ImGui::TextUnformatted(name.c_str());
      int rows = (int)control->mItems.size() < 6 ? (int)control->mItems.size() : 6;
      float height = ImGui::GetTextLineHeightWithSpacing() * (float)(rows > 0 ? rows : 1) +
                     ImGui::GetStyle().FramePadding.y * 2.0f;
      bool open = ImGui::BeginListBox("##list", ImVec2(2 * kFieldWidth, height));
      if (open) {
        for (const auto& item : control->mItems) {
          ImGui::PushID(item.first);
          if (ImGui::Selectable(item.second.c_str(), item.first == control->mIntVal) &&
              item.first != control->mIntVal) {
            control->set_int_val(item.first);
            Fire(panel, control);
          }
          GLUI_RecordItemRect(panel, name + "/" + item.second);
          ImGui::PopID();
        }
        ImGui::EndListBox();
      }
      GLUI_RecordItemRect(panel, name);
      break;
    }
  }
  ImGui::EndDisabled();
  ImGui::PopID();
}
