// Selecting "Bird Tribe" units with the mouse, headless: the selection state
// after each press, drag and release, with "RTS Sticky Selection" on and off.
#include <algorithm>

#include "tests/modes/dev/FlySwimTestSupport.h"

using namespace Ru::Math;
using namespace nFlySwim;

namespace {
class FlySwimSelection : public FlySwimStage {
 protected:
  void SetUp() override {
    FlySwimStage::SetUp();
    State().mode = kBirdTribe;
    cTovansGameMode::OnModeChanged(kBirdTribe);
    for (int frame = 0; frame < 120; ++frame) Step();  // the twenty spread out from one point
    AimCamera(Vector3{kGroundRadius, 0, 0}, 60.0f, 60.0f);
    Draw();
  }
  void Step() {
    mClock.Advance(16);
    mMode.Update(16);
  }
  void Draw() {  // what the frame's drawing stores: each unit's window footprint
    for (sUnit* unit : State().units) UpdateUnitFootprint(*unit);
  }
  void WindowPoint(const Vector3& p, int& x, int& y) {
    float fx = 0.0f, fy = 0.0f;
    ASSERT_TRUE(CameraProjectToWindow(p, fx, fy));
    x = (int)std::lround(fx);
    y = (int)std::lround(fy);
  }
  Vector3 Centre() {
    Vector3 sum;
    for (sUnit* unit : State().units) sum = Vector3Add(sum, GetUnitPosition(*unit));
    return Vector3Scale(sum, 1.0f / (float)State().units.size());
  }
  cTovansGameMode mMode;
};
}  // namespace

TEST_F(FlySwimSelection, PressDragAndReleaseMoveTheSelectionStates) {
  ASSERT_EQ(State().units.size(), 20u);
  int cx = 0, cy = 0, fx = 0, fy = 0;
  WindowPoint(Centre(), cx, cy);
  WindowPoint(PointAtHeight(Vector3{kGroundRadius, 15.0f, 15.0f}, 0.0f), fx, fy);  // empty ground, far off

  // A press on empty ground with nothing selected gathers; a release over nobody ends idle.
  mMode.OnLeftButtonDown(fx, fy);
  EXPECT_EQ(State().selectionState, kSelectingMultiple);
  Step();
  mMode.OnLeftButtonUp(fx, fy);
  EXPECT_EQ(State().selectionState, kIdle);
  EXPECT_EQ(CountSelectedUnits(), 0);

  // A drag that ends over the group selects by the circle; the release starts targeting.
  mMode.OnLeftButtonDown(fx, fy);
  mMode.OnMouseMove(cx, cy);
  Step();
  EXPECT_EQ(State().selectionState, kSelectingMultiple);
  const int selected = CountSelectedUnits();
  EXPECT_GT(selected, 0);
  mMode.OnLeftButtonUp(cx, cy);
  EXPECT_EQ(State().selectionState, kTargeting);

  // A click on the ground sends the selection there, and only the selection.
  std::vector<Vector3> targetsBefore;
  for (sUnit* unit : State().units) targetsBefore.push_back(unit->target);
  mClock.Advance(1000);
  mMode.OnLeftButtonDown(fx, fy);
  Step();
  const Vector3 groundUnderCursor = PointAtHeight(Vector3{kGroundRadius, 15.0f, 15.0f}, 0.0f);  // flyers pick the ground
  for (size_t i = 0; i < State().units.size(); ++i) {
    const sUnit& unit = *State().units[i];
    if (unit.selected) {
      EXPECT_LT(Distance(unit.target, groundUnderCursor), 1.0f);
      EXPECT_FLOAT_EQ(unit.speedMultiplier, 1.0f);
    } else {
      EXPECT_TRUE(Vector3Equal(unit.target, targetsBefore[i]));
    }
  }
  // Not sticky: the release forgets the selection.
  mMode.OnLeftButtonUp(fx, fy);
  EXPECT_EQ(State().selectionState, kIdle);
  EXPECT_EQ(CountSelectedUnits(), 0);
}

TEST_F(FlySwimSelection, AClickOnAUnitSelectsItAndStickySelectionOutlivesTheTargetingRelease) {
  for (int sticky : {1, 0}) {
    SetAllSelected(false);
    State().selectionState = kIdle;
    State().rtsStickySelection = sticky;
    sUnit& unit = *State().units[7];
    int ux = 0, uy = 0, gx = 0, gy = 0;
    WindowPoint(GetUnitPosition(unit), ux, uy);
    WindowPoint(PointAtHeight(Vector3{kGroundRadius, -12.0f, 10.0f}, 0.0f), gx, gy);
    mClock.Advance(1000);
    mMode.OnLeftButtonDown(ux, uy);
    EXPECT_EQ(State().selectionState, kSelecting);
    EXPECT_TRUE(unit.selected);
    Step();
    mMode.OnLeftButtonUp(ux, uy);
    ASSERT_EQ(State().selectionState, kTargeting);
    mClock.Advance(1000);
    mMode.OnLeftButtonDown(gx, gy);
    Step();
    mMode.OnLeftButtonUp(gx, gy);
    EXPECT_EQ(State().selectionState, sticky ? kTargeting : kIdle) << sticky;
    EXPECT_EQ(unit.selected, sticky == 1);
  }
}

TEST_F(FlySwimStage, AClickSendsTheBirdAndADoubleClickSendsItThreeTimesAsFastAndLocked) {
  cTovansGameMode mode;
  State().mode = kBird;
  cTovansGameMode::OnModeChanged(kBird);  // the camera has no frame yet: the creature's is taken
  sUnit& bird = *State().units.front();
  SetCameraAngles(0.0f, 40.0f, 30.0f);
  SetCameraTargetAngles(0.0f, 40.0f, 30.0f);
  auto click = [&](int x, int y) {
    mode.OnLeftButtonDown(x, y);
    mClock.Advance(16);
    mode.Update(16);
    mode.OnLeftButtonUp(x, y);
  };
  const int x = kWindowWidth / 2 + 60, y = kWindowHeight / 2 + 120;
  mClock.Advance(2000);
  click(x, y);
  const Vector3 first = bird.target;
  EXPECT_GT(Distance(first, GetUnitPosition(bird)), 1.0f);
  EXPECT_FLOAT_EQ(bird.speedMultiplier, 1.0f);
  EXPECT_FALSE(bird.targetLock);
  mClock.Advance(300);  // the second press within half a second
  click(x - 100, y);
  EXPECT_FLOAT_EQ(bird.speedMultiplier, 3.0f);
  EXPECT_TRUE(bird.targetLock);
  EXPECT_FALSE(Vector3Equal(bird.target, first));
  EXPECT_EQ(State().selectionState, kIdle);  // a single creature never keeps a selection
  // Since the last press, a double click, and the game clock's count at the
  // press (it leaps there; 0: where it runs): the last press before the wrap,
  // 500 ms before it (the press plus half a second wraps, the second press
  // does not) and 501 ms before it (the second press wraps, the sum does not).
  constexpr uint64_t kWrap = uint64_t{1} << 32;
  const struct {
    uint32_t sinceMs;
    bool doubles;
    uint64_t at;
  } gaps[] = {{500, false, 0},         {490, true, 0},         {499, true, kWrap - 1},     {500, false, kWrap},
              {500, false, kWrap - 1}, {501, false, kWrap},    {500, false, kWrap + 200}};
  for (const auto& gap : gaps) {
    if (gap.at) mClock.Advance((uint32_t)gap.at - GetGameTime());
    State().lastPressTime = GetGameTime() - gap.sinceMs;
    mode.OnLeftButtonDown(x, y);
    EXPECT_EQ(State().doubleClick, gap.doubles) << gap.sinceMs << " at " << gap.at;
    mode.OnLeftButtonUp(x, y);
  }
}

// After a release the fish stops where it is: always with "Hold Mouse to
// Swim", with the dynamic box only when the button was held more than 0.35 s
// (also when the game clock wraps while it is held); never in a flying or
// tribe experiment nor with its target locked.
TEST_F(FlySwimStage, ReleasingTheButtonStopsTheFishOnlyAfterAHoldOfMoreThanAThirdOfASecond) {
  cTovansGameMode mode;
  struct sRow {
    int mode, hold, dynamic;
    uint32_t press, release;  // ms on from a second before the update
    bool locked, stops;
    uint64_t at = 0;  // the game clock's count at the update (it leaps there); 0: where it runs
  } rows[] = {
      {kFish, 0, 1, 0, 350, false, false},  // held exactly 0.35 s
      {kFish, 0, 1, 0, 360, false, true},
      {kFish, 0, 1, 360, 0, false, false},  // the release came before the press
      {kFish, 1, 0, 0, 0, false, true},
      {kFish, 0, 0, 0, 500, false, false},
      {kFish, 1, 1, 0, 500, true, false},
      {kBird, 1, 1, 0, 500, false, false},
      {kFishTribe, 1, 1, 0, 500, false, false},
      {kFish, 0, 1, 0, 360, false, true, (uint64_t{1} << 32) + 800},  // pressed before the wrap, let go after
      // Pressed 350 ms before the wrap (the press plus 0.35 s wraps, a release 349 ms on does not), or
      // 351 ms before it (a release 351 ms on wraps, that sum does not).
      {kFish, 0, 1, 0, 349, false, false, (uint64_t{1} << 32) + 650},
      {kFish, 0, 1, 0, 350, false, false, (uint64_t{1} << 32) + 650},
      {kFish, 0, 1, 0, 350, false, false, (uint64_t{1} << 32) + 649},
      {kFish, 0, 1, 0, 351, false, true, (uint64_t{1} << 32) + 649},
  };
  for (const sRow& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.mode << std::dec << " hold " << row.hold << " dynamic "
                                    << row.dynamic << " " << row.press << " to " << row.release << " at " << row.at);
    ResetState(row.mode);
    AddUnits(1);
    State().holdMouseToSwim = row.hold;
    State().dynamicHoldMouseToSwim = row.dynamic;
    if (row.at) mClock.Advance((uint32_t)row.at - 16 - GetGameTime());
    const uint32_t second = GetGameTime() + 16 - 1000;  // the update's time less a second
    State().lastPressTime = second + row.press;
    State().lastReleaseTime = second + row.release;
    sUnit& unit = *State().units.front();
    unit.target = PointAtHeight(Vector3Add(GetUnitPosition(unit), Vector3{0.0f, 0.0f, 5.0f}), 1.0f);
    unit.targetLock = row.locked;
    mClock.Advance(16);
    mode.Update(16);
    EXPECT_EQ(Distance(unit.target, GetUnitPosition(unit)) == 0.0f, row.stops);
  }
}

TEST_F(FlySwimStage, KeysChooseThePickMoveTheCameraOrToggleTheDebugText) {
  cTovansGameMode mode;
  ResetState(kBird);
  AddUnits(1);
  State().showDebugText = false;
  mode.OnKeyPress('o', 0, 0);
  EXPECT_EQ(State().useCandidatePick, 0);
  mode.OnKeyPress('3', 0, 0);
  EXPECT_EQ(State().useCandidatePick, 1);
  AimCamera(Vector3{0.0f, kGroundRadius, 0.0f}, 30.0f, 120.0f);  // a quarter of the planet away
  float before[4];
  std::copy(GetCameraOrientation(), GetCameraOrientation() + 4, before);
  mode.OnKeyPress(' ', 0, 0);  // the camera goes to the creature, turned as it was (not as the creature is)
  const float* anchor = GetCameraPosition();
  EXPECT_TRUE(Vector3Equal(Vector3{anchor[0], anchor[1], anchor[2]}, GetUnitPosition(*State().units.front())));
  EXPECT_TRUE(std::equal(before, before + 4, GetCameraOrientation()));
  EXPECT_FALSE(State().showDebugText);
  for (unsigned char key : {'x', 'O', '1'}) {
    const bool before = State().showDebugText;
    mode.OnKeyPress(key, 0, 0);
    EXPECT_NE(State().showDebugText, before) << key;
  }
}

// A press within 1.05 of a unit (across the view) but off its body takes it
// only when it is selected and the test is loose; the strict test needs the
// body itself under the cursor.
TEST_F(FlySwimSelection, TheLooseTestTakesASelectedUnitOnItsDiscTheStrictOneNeedsItsBody) {
  RemoveUnits(19);
  sUnit& unit = *State().units.front();
  const Vector3 body = GetUnitPosition(unit);
  AimCamera(body, 60.0f, 12.0f);  // close: a pixel is 0.015 across at the unit
  const Vector3 eye = GetViewEyePosition();
  const Vector3 toEye = Normalize(Vector3Sub(eye, body));
  // Off the body but on its disc: the first direction across the view where the body's own ray test misses.
  auto offset = [&](float distance, int direction) {
    const Vector3 a = Normalize(CrossProduct(toEye, Normalize(body)));
    const Vector3 b = CrossProduct(toEye, a);
    const float angle = 3.14159265f * 0.25f * (float)direction;
    return Vector3Add(body, Vector3Scale(Vector3Add(Vector3Scale(a, std::cos(angle)), Vector3Scale(b, std::sin(angle))), distance));
  };
  int offBody = -1;
  for (int direction = 0; direction < 8 && offBody < 0; ++direction) {
    int x = 0, y = 0;
    WindowPoint(offset(0.9f, direction), x, y);
    Vector3 hit;
    if (!unit.body->IntersectRay(CameraScreenPointToRay(x, y), hit)) offBody = direction;
  }
  ASSERT_GE(offBody, 0);
  struct sRow {
    bool selected, loose;
    float distance;  // from the body, across the view
    bool taken;
  } rows[] = {
      {false, false, 0.0f, true}, {false, true, 0.0f, true},  {true, false, 0.0f, true},
      {false, true, 0.9f, false}, {true, false, 0.9f, false}, {true, true, 0.9f, true},
      {true, true, 1.25f, false}, {true, true, 1.02f, true}, {true, true, 1.08f, false},  // either side of 1.05
  };
  for (const sRow& row : rows) {
    unit.selected = row.selected;
    int x = 0, y = 0;
    WindowPoint(offset(row.distance, offBody), x, y);
    EXPECT_EQ(UnitUnderCursor(x, y, row.loose) == &unit, row.taken)
        << "selected " << row.selected << " loose " << row.loose << " at " << row.distance;
  }
  unit.selected = false;
}

// The selection circle grows by 1.5 pixels a selected unit up to 48 over its
// 16; a unit is in it when its footprint comes strictly closer than the two
// radii together. The press turns into a drag past 8.0 pixels.
TEST_F(FlySwimSelection, TheCircleAndTheDragCountFromTheirLimits) {
  AddUnits(13);
  const float radii[][2] = {{0, 16.0f}, {20, 46.0f}, {32, 64.0f}, {33, 64.0f}};  // selected, circle radius
  for (const auto& row : radii) {
    SetAllSelected(false);
    for (int i = 0; i < (int)row[0]; ++i) State().units[i]->selected = true;
    EXPECT_FLOAT_EQ(SelectionCircleRadius(), row[1]) << row[0];
  }
  const int x = 5, y = 5;  // a corner with no unit under it
  for (sUnit* unit : State().units) unit->screenX = unit->screenY = 10000.0f;
  sUnit& unit = *State().units.front();
  unit.screenX = x + 12.0f;  // 20 pixels from the cursor
  unit.screenY = y + 16.0f;
  unit.screenRadius = 4.0f;
  const float circles[][2] = {{16.0f, 0.0f}, {16.01f, 1.0f}};  // circle radius, taken
  for (const auto& row : circles) {
    SetAllSelected(false);
    SelectUnitsInCircle(x, y, row[0], true);
    EXPECT_EQ(unit.selected, row[1] == 1.0f) << row[0];
    EXPECT_EQ(CountSelectedUnits(), (int)row[1]) << row[0];
  }
  const int drags[][3] = {{8, 0, 0}, {0, -8, 0}, {9, 0, 1}, {5, 6, 0}, {6, 6, 1}};  // dx, dy, selecting multiple
  for (const auto& row : drags) {
    SetAllSelected(false);
    State().selectionState = kSelecting;
    State().pressX = 400.0f;
    State().pressY = 300.0f;
    State().mouseX = 400 + row[0];
    State().mouseY = 300 + row[1];
    State().leftButtonDown = true;
    Step();
    State().leftButtonDown = false;
    EXPECT_EQ(State().selectionState, row[2] ? kSelectingMultiple : kSelecting) << row[0] << " " << row[1];
  }
}
