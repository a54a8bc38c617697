#include "glf/PieMenu.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "glf/Overlay2D.h"
#include "glf/TextPlacement.h"
#include "platform/Sys.h"

namespace {
constexpr int kLeftButton = 0, kButtonDown = 0, kButtonUp = 1;
constexpr float kTwoPi = 6.283f, kPi = 3.1415f;
const float kGreen[3] = {0.0f, 1.0f, 0.0f};
const float kBlack[3] = {0.0f, 0.0f, 0.0f};

bool gHoldingDraws = false;
std::vector<cGLFPieMenu*> gHeldMenus;  // noted while held, each once
}  // namespace

cGLFPieMenu::cGLFPieMenu(cIGLFPieMenuSelection* listener, int ringSize, int radius, float outerRingFactor)
    : mRingSize(std::max(ringSize, 1)),  // a ring of no places would divide by zero
      mRadius(radius),
      mOuterRingFactor(outerRingFactor),
      mListener(listener) {}

cGLFPieMenu::~cGLFPieMenu() { gHeldMenus.erase(std::remove(gHeldMenus.begin(), gHeldMenus.end(), this), gHeldMenus.end()); }

void cGLFPieMenu::AddItem(std::string label, int id, const float* colour) {
  if (!colour) colour = kGreen;
  auto item = std::make_unique<cGLFDialogButton>();
  item->SetLabel(label);
  item->SetId(id);
  item->SetColours(colour, kBlack, colour, colour, colour);
  AddControl(std::move(item));
  Place(1.0f, false);  // measuring labels needs the window's fonts: Layout sizes them
}

namespace {
// A cosine or sine this close to 0 is straight above, below or level: the
// angles are built from 6.283 and 3.1415, so a quarter turn is never exact.
constexpr float kStraight = 0.01f;
// Between a box moved clear of another and that box, so their outlines stay apart.
constexpr float kClearance = 1.0f;

// Where a box of `size` starts along one axis, relative to its ring point,
// when `direction` is the ring point's component away from the centre: boxes
// run away from the centre, so a box never reaches back across it into the
// items on the other side. On the right a box starts at its point, on the
// left it ends there, straight ahead it is centred. The same holds vertically
// (below starts, above ends, level is centred): the rows of one side then
// sit as far apart as their ring points are, and the straight-below item
// starts just under the diagonal items' ends.
float BoxStart(float direction, float size) {
  if (direction > kStraight) return 0.0f;
  if (direction < -kStraight) return -size;
  return -size / 2.0f;
}

struct sBox {
  float x0, y0, x1, y1;
  bool Overlaps(const sBox& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

// `box` moved along one axis (`vertical` or not) in one direction (`sign`)
// until it is clear of every box in `placed`, each passed by kClearance. It
// only ever moves one way, so it passes each placed box at most once.
sBox MovedClear(sBox box, const std::vector<sBox>& placed, bool vertical, float sign) {
  for (bool moved = true; moved;) {
    moved = false;
    for (const sBox& other : placed) {
      if (!box.Overlaps(other)) continue;
      const float step = vertical ? (sign > 0.0f ? other.y1 - box.y0 : other.y0 - box.y1)
                                  : (sign > 0.0f ? other.x1 - box.x0 : other.x0 - box.x1);
      (vertical ? box.y0 : box.x0) += step + sign * kClearance;
      (vertical ? box.y1 : box.x1) += step + sign * kClearance;
      moved = true;
    }
  }
  return box;
}
}  // namespace

cGLFPieMenu::sBounds cGLFPieMenu::Place(float scale, bool sizedToLabels) {
  const int n = GetControlCount(), R = mRingSize;
  sBounds bounds;
  std::vector<sBox> boxes;  // fully open, relative to the centre
  boxes.reserve(n);
  for (int i = 0; i < n; ++i) {
    float angle, distance;
    if (i < R) {
      const int k = std::min(R, n);
      const int places = ((k + 1) / 2) * 2;
      angle = (float)i * (kTwoPi / (float)places);
      distance = (float)mRadius;
    } else {
      const int places = n < 2 * R - 1 ? n - R : R;
      angle = kPi / (float)R + (float)(i - R) * (kTwoPi / (float)places);
      distance = (float)mRadius * mOuterRingFactor;
    }
    cGLFDialogControl* item = GetControl(i);
    float width = 30.0f, height = 30.0f;
    if (sizedToLabels) {
      item->SetRect(0.0f, 0.0f, 0.0f, 0.0f);
      item->AutoSize();
      width = item->X1(), height = item->Y1();
    }
    const float dx = std::cos(angle), dy = std::sin(angle);
    const float startX = BoxStart(dx, width), startY = BoxStart(dy, height);
    sBox box{dx * distance + startX, dy * distance + startY, 0.0f, 0.0f};
    box.x1 = box.x0 + width, box.y1 = box.y0 + height;
    // Long labels of neighbours on the two rings can still meet (an outer
    // item between two inner ones). The later item gives way, keeping its
    // side of the ring point: a level one moves on outwards, any other up or
    // down, whichever is the shorter way clear (outwards when equal); it
    // then stays nearest its ring point.
    if (std::fabs(dy) <= kStraight) {
      box = MovedClear(box, boxes, false, dx > 0.0f ? 1.0f : -1.0f);
    } else {
      const float outwards = dy > 0.0f ? 1.0f : -1.0f;
      const sBox out = MovedClear(box, boxes, true, outwards), in = MovedClear(box, boxes, true, -outwards);
      box = std::fabs(in.y0 - box.y0) < std::fabs(out.y0 - box.y0) ? in : out;
    }
    boxes.push_back(box);
    // Opening, the ring point and the move grow with the scale; the box keeps
    // its size and its side of the ring point. Summed in double, where these
    // few float terms add up exactly (see KeepInsideWindow).
    const double x0 = mCentreX + ((double)box.x0 - startX) * scale + startX;
    const double y0 = mCentreY + ((double)box.y0 - startY) * scale + startY;
    item->SetRect((float)x0, (float)y0, (float)(x0 + width), (float)(y0 + height));
    if (i == 0 || x0 < bounds.x0) bounds.x0 = x0;
    if (i == 0 || y0 < bounds.y0) bounds.y0 = y0;
    if (i == 0 || x0 + width > bounds.x1) bounds.x1 = x0 + width;
    if (i == 0 || y0 + height > bounds.y1) bounds.y1 = y0 + height;
  }
  return bounds;
}

void cGLFPieMenu::Layout(float x, float y) {
  mCentreX = x;
  mCentreY = y;
  PlaceAroundCentre();
}

void cGLFPieMenu::PlaceAroundCentre() {
  KeepInsideWindow();
  Place(GetOpeningScale(), true);
}

// Items opened near an edge would lie outside the window, where no click
// reaches them, or under the windows standing over it: the rings keep their
// shape and the centre moves inwards.
void cGLFPieMenu::KeepInsideWindow() {
  int width = 0, height = 0;
  GetWindowSize2D(&width, &height);
  if (GetControlCount() == 0 || width <= 0 || height <= 0) return;  // no window to fit into
  const sBounds open = Place(1.0f, true);
  // Past the far edge it moves back; the near edge wins when both are crossed.
  // Every term is a float and the centre a double, so the moved edge lands
  // exactly on the edge's pixel: a float move left it a rounding step outside.
  auto shift = [](double low, double high, double size) {
    const double by = high > size ? size - high : 0.0;
    return low + by < 0.0 ? -low : by;
  };
  // The last pixel row and column are width - 1 and height - 1: an outline
  // drawn at width itself would not show.
  const double down = shift(open.y0, open.y1, height - 1.0);
  mCentreY += down;
  // Beside the windows standing over this one, their edge is the one moved in from.
  int left = 0, right = width;
  EdgesFor2D({(int)std::floor(open.x0), (int)std::floor(open.y0 + down), (int)std::ceil(open.x1),
              (int)std::ceil(open.y1 + down)},
             width, &left, &right);
  mCentreX += shift(open.x0 - left, open.x1 - left, right - 1.0 - left);
}

void cGLFPieMenu::GetCentre(float* x, float* y) const {
  *x = (float)mCentreX;
  *y = (float)mCentreY;
}

float cGLFPieMenu::GetOpeningScale() {
  const uint32_t now = Sys_Milliseconds();
  const uint32_t elapsed = mOpeningRunning ? mOpeningAccumulated + (now - mOpeningStart) : mOpeningAccumulated;
  if (elapsed < kOpeningMs) return (float)elapsed / (float)kOpeningMs;
  if (mOpeningRunning) {
    mOpeningAccumulated += now - mOpeningStart;
    mOpeningRunning = false;
  }
  return 1.0f;
}

void cGLFPieMenu::Show() {
  mOpeningStart = Sys_Milliseconds();
  mOpeningAccumulated = 0;
  mOpeningRunning = true;
  mVisible = true;
}

void cGLFPieMenu::Draw() {
  if (!gHoldingDraws) {
    DrawItems();
  } else if (std::find(gHeldMenus.begin(), gHeldMenus.end(), this) == gHeldMenus.end()) {
    gHeldMenus.push_back(this);
  }
}

void cGLFPieMenu::DrawItems() {
  if (mOpeningRunning) PlaceAroundCentre();  // not Layout, whose float would round a moved centre
  for (int i = 0; i < GetControlCount(); ++i) GetControl(i)->Draw();
}

void HoldPieMenuDraws() { gHoldingDraws = true; }

void DrawHeldPieMenus() {
  gHoldingDraws = false;
  if (gHeldMenus.empty()) return;
  Begin2D();
  for (cGLFPieMenu* menu : gHeldMenus) menu->Draw();
  End2D();
  gHeldMenus.clear();
}

void cGLFPieMenu::OnMouseMove(int x, int y) {
  if (mPressedItem < 0 || mPressedItem >= GetControlCount()) return;
  cGLFDialogControl* item = GetControl(mPressedItem);
  item->SetPressed(item->HitTest((float)x, (float)y));
}

bool cGLFPieMenu::HandleMouse(int button, int state, int x, int y) {
  if (button != kLeftButton) return false;
  const float fx = (float)x, fy = (float)y;
  if (state == kButtonDown) {
    // Fully open items lie apart; while the menu opens they overlap: the
    // item drawn last is the one seen, so it takes the press.
    for (int i = GetControlCount() - 1; i >= 0; --i) {
      if (!GetControl(i)->HitTest(fx, fy)) continue;
      mPressedItem = i;
      mResultId = kGLFNoResult;
      GetControl(i)->SetPressed(true);
      return true;
    }
    return false;
  }
  if (state != kButtonUp) return false;
  if (mPressedItem < 0 || mPressedItem >= GetControlCount()) {
    mPressedItem = -1;
    return false;
  }
  cGLFDialogButton* item = GetItem(mPressedItem);
  item->SetPressed(false);
  mPressedItem = -1;
  if (!item->HitTest(fx, fy)) return true;  // released elsewhere: nothing chosen, the menu stays open

  // The listener may add, remove or delete items, or delete the menu: keep
  // nothing of the item past this point but copies.
  const int id = item->GetId();
  const cGLFDialogButton::tCallback callback = item->GetCallback();
  mResultId = id;
  bool destroyed = false;
  bool* outerFlag = mDestroyed;
  mDestroyed = &destroyed;
  if (callback) callback(id);
  if (!destroyed && mListener) mListener->OnPieMenuSelection(id);
  if (destroyed) {
    if (outerFlag) *outerFlag = true;
    return true;
  }
  mDestroyed = outerFlag;
  mVisible = false;
  return true;
}
