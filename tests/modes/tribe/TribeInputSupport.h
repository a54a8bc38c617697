// The tribe world with the input controller driven by synthetic mouse and key
// events: a fake view maps window pixels to ground points on a flat patch
// around the player's hut (0.1 world units per pixel, the window centre on
// the hut), answers picks from a table of objects placed at pixels, and
// records what the camera was asked to do.
#pragma once

#include <utility>
#include <vector>

#include "math/Vector.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeInputController.h"
#include "tests/modes/tribe/TribeTestSupport.h"
#include "world/scene/SceneObject.h"

class cFakeTribeView;

// The band selector on the fake view's ground.
class cFakeMultiSelector : public cMultiSelector {
 public:
  cFakeMultiSelector(cFakeTribeView* view, cIMultiSelectClient* client) : cMultiSelector(client), mView(view), mClient(client) {}
  bool SelectAt(int x, int y) override;
  void Draw() override { ++draws; }
  int draws = 0;

 private:
  cFakeTribeView* mView;
  cIMultiSelectClient* mClient;
};

class cFakeTribeView : public cTribeInputView {
 public:
  static constexpr int kCentreX = 320, kCentreY = 240;
  static constexpr float kUnitsPerPixel = 0.1f;

  ~cFakeTribeView() override { Clear(); }
  void Clear() {
    for (auto& thing : things) delete thing.second;
    things.clear();
  }
  // Whatever lies at the pixel is picked there (the last put wins).
  void Put(int x, int y, Ko::cGameData* owner) { things.push_back({{x, y}, new cSceneObject(owner, nullptr)}); }

  void Pick(cScenePickResult& result, int x, int y) override {
    result = cScenePickResult();
    for (auto thing = things.rbegin(); thing != things.rend(); ++thing)
      if (thing->first == std::make_pair(x, y)) {
        result.object = thing->second;
        return;
      }
    result.point = GroundPoint(x, y);
    result.terrain = Ru::Math::Vector3LengthSquared(result.point) > 0.0f;
  }
  // Pixels left of the window are off the planet.
  Ru::Math::Vector3 GroundPoint(int x, int y) override {
    if (x < 0) return Ru::Math::Vector3{0.0f, 0.0f, 0.0f};
    const Ru::Math::Vector3 flat =
        Ru::Math::Vector3Add(centre, Ru::Math::Vector3Add(Ru::Math::Vector3Scale(east, (x - kCentreX) * kUnitsPerPixel),
                                                          Ru::Math::Vector3Scale(south, (y - kCentreY) * kUnitsPerPixel)));
    Ru::Math::Vector3 ground;
    GetPlanetModel().ProjectToSurface(ground, flat);
    return ground;
  }
  cMultiSelector* MakeMultiSelector(cIMultiSelectClient* client) override { return new cFakeMultiSelector(this, client); }
  void ClearMouseMovement() override { ++dragStarts; }
  void DragCamera() override { ++dragFrames; }
  void MoveCameraTo(int x, int y) override { cameraMoves.push_back({x, y}); }
  void CenterCameraOn(const Ru::Math::Vector3& point) override { centred.push_back(point); }
  Ru::Math::Quaternion GetCameraBaseOrientation() override { return Ru::Math::Quaternion{0.0f, 0.0f, 0.0f, 1.0f}; }

  // The patch's centre and its two flat axes.
  void CentreOn(const Ru::Math::Vector3& point) {
    centre = point;
    const Ru::Math::Vector3 up = Ru::Math::Vector3Normalized(point);
    east = Ru::Math::Vector3Normalized(Ru::Math::Vector3Cross(up, Ru::Math::Vector3{0.0f, 0.0f, 1.0f}));
    if (!(Ru::Math::Vector3LengthSquared(east) > 0.5f)) east = Ru::Math::Vector3{1.0f, 0.0f, 0.0f};
    south = Ru::Math::Vector3Cross(east, up);
  }

  Ru::Math::Vector3 centre, east{1.0f, 0.0f, 0.0f}, south{0.0f, 0.0f, 1.0f};
  std::vector<std::pair<std::pair<int, int>, cSceneObject*>> things;
  int dragStarts = 0, dragFrames = 0;
  std::vector<std::pair<int, int>> cameraMoves;
  std::vector<Ru::Math::Vector3> centred;
};

inline bool cFakeMultiSelector::SelectAt(int x, int y) {
  std::vector<cSceneObject*> found;
  if (!GetSceneManager().FindObjectsInRadius(found, mView->GroundPoint(x, y), GetRadius())) return false;
  for (cSceneObject* object : found)
    if (mClient->CanSelect(object->GetOwner())) mClient->Select(object->GetOwner());
  return true;
}

class cTribeInputTest : public cTribeWorldTest {
 protected:
  void SetUp() override {
    cTribeInputController::SetViewForTest(&view);
    cTribeInputController::ResetMemberCycleForTest();
    cTribeWorldTest::SetUp();
    view.CentreOn(HutPosition());
    // Members stand apart, in a row east of the hut, one creature every 80 pixels.
    int x = 400;
    for (cTribeCreature* member : Members()) {
      PlaceAt(member, x, 240);
      x += 80;
    }
  }
  void TearDown() override {
    view.Clear();
    cTribeWorldTest::TearDown();
    cTribeInputController::SetViewForTest(nullptr);
  }

  cTribeInputController* Input() { return mode->GetInputController(); }
  void PlaceAt(cTribeCreature* creature, int x, int y) { creature->SetPosition(view.GroundPoint(x, y)); }
  static int MemberX(int index) { return 400 + 80 * index; }

  // A whole click: press, release, at one pixel.
  void Click(int x, int y) {
    Input()->OnLeftButtonDown(x, y);
    Input()->OnLeftButtonUp(x, y);
  }
  void SelectMember(int index) {
    cTribeCreature* member = Members()[index];
    view.Put(MemberX(index), 240, member);
    Objects()->SelectCreature(member);
  }
  size_t SelectionSize() { return Objects()->GetSelectionGroup()->GetMemberCount(); }

  // The interactions of the temporary groups the commands made, oldest first.
  std::vector<cIInteraction*> Orders() {
    std::vector<cIInteractionAgent*> agents;
    GetBehaviorController().GetAgents(agents);
    std::vector<cIInteraction*> orders;
    for (cIInteractionAgent* agent : agents)
      if (auto* group = dynamic_cast<cTransientCreatureGroup*>(agent))
        if (group->GetInteraction()) orders.push_back(group->GetInteraction());
    return orders;
  }
  template <class T>
  T* LastOrderAs() {
    std::vector<cIInteraction*> orders = Orders();
    return orders.empty() ? nullptr : dynamic_cast<T*>(orders.back());
  }
  cTransientCreatureGroup* LastOrderGroup() {
    std::vector<cIInteraction*> orders = Orders();
    return orders.empty() ? nullptr : dynamic_cast<cTransientCreatureGroup*>(orders.back()->GetAgent());
  }

  cFakeTribeView view;
};
