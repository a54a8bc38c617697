// The base of every city building, the city hall included: the shared
// building record, the main scene object (the building cube in the building's
// colour, upright on the planet), the ground disc roads attach to, the
// occupancy meter and full ring, the placement test against the city walls,
// the building pie menu and the roads with an end here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "modes/city/objects/CityGameObject.h"

class cBuildingCommon;
class cGLFPieMenu;
class cHorizontalMeter;
class cCityGameBundleContainer;
class cCityGameRoad;

class cCityGameBuilding : public cCityGameWorldObject {
 public:
  static constexpr uint32_t kTypeId = 0x0E9CB8BA;
  static constexpr float kStartMinDistance = 20.0f, kStartMaxDistance = 60.0f;
  static constexpr int kStartTries = 30;
  static constexpr int kSellItem = -1, kSwitchItem = 0;  // the building pie menu's items

  uint32_t GetTypeId() override { return kTypeId; }
  cIInteraction* GetDefaultInteraction() override;  // using the building
  bool IsTargetProperty() override { return true; }

  void Initialize(cCityGameObject* owner) override;  // the record, a dry start point, the scene objects
  void EndUsersInteractions() override;             // the scene objects go; the record keeps no scene object
  void ResolveLinks() override;
  void OnModeEnter() override;  // the scene objects are made anew
  void OnModeLeave() override;  // the scene objects leave the scene
  void SetPosition(const Ru::Math::Vector3& position, const Ru::Math::Vector3& offset) override;
  cSceneObject* GetSceneObject() override;
  // Inside the walls by at least the building's radius, on bare ground.
  bool CanPlaceAt(const cScenePickResult& pick) override;
  cICityGameCursor* StartDrag(int x, int y, cSceneObject* picked) override;  // the body drags; the disc waits for roads

  virtual Ru::Math::Vector3 GetColour() { return Ru::Math::Vector3{0.0f, 1.0f, 0.0f}; }
  virtual uint32_t GetProductKind() { return 0; }
  virtual bool AcceptsBundleKind(uint32_t /*kind*/) { return false; }
  virtual cCityGameBundleContainer* GetContainer(uint32_t /*kind*/) { return nullptr; }
  virtual cSceneObject* GetRoadAnchor() { return mDisc; }
  // The registered roads with an end at this building, in registry order.
  virtual void GetRoads(std::vector<cCityGameRoad*>& out);
  virtual uint32_t GetServedMotives() { return 0; }
  virtual int GetCapacity() { return 0; }
  virtual float GetRadius() { return 6.0f; }
  virtual float GetMinimumStay() { return 0.0f; }
  virtual float GetMaximumStay() { return 0.0f; }
  virtual bool IsOn() { return mOn; }
  virtual std::string GetBuildingName() { return std::string(); }
  virtual bool IsRoadAnchor(cSceneObject* object) { return object && object == mDisc; }
  virtual float GetWallFieldWeight() { return 1.0f; }
  virtual bool HasSwitch() { return false; }
  // Occupants: a user inside is hidden and counted; a full building shows its ring.
  virtual bool AllowsStay(cCityGameWorldObject* creature);  // a critical need the building does not serve sends it out
  virtual bool UpdateOccupant(cCityGameWorldObject* /*user*/, uint32_t /*ms*/) { return false; }  // true: stays on
  virtual bool Enter(cCityGameWorldObject* /*user*/) { return true; }
  void AddOccupant(cCityGameWorldObject* creature);
  void RemoveOccupant(cCityGameWorldObject* creature);
  bool AcceptsUser(cCityGameWorldObject* user) override { return mUsers <= GetCapacity(); }
  bool IsPickable(cCityGameWorldObject* user) override;  // the factory and the farm can be turned off
  // The building's pie menu: sell for the refund fraction of its cost, and
  // the switch where it has one.
  virtual void FillPieMenu(cGLFPieMenu* menu);
  virtual void OnPieMenuSelection(int id);
  void Update(uint32_t ms) override;  // the full ring shows while every place is taken
  void Draw() override;               // the occupancy meter, for kinds with places
  void DrawLabel(bool show, int x, int y) override;  // the name, and the kind's detail below it
  virtual std::string GetLabelDetail() { return std::string(); }
  cICityGameCursor* GetCursor(int x, int y, cSceneObject* picked) override;  // the building pie menu
  int GetUsers() const { return mUsers; }

  cBuildingCommon* GetRecord() const { return mRecord; }
  cSceneObject* GetDisc() const { return mDisc; }
  cSceneObject* GetRing() const { return mRing; }
  cHorizontalMeter* GetMeter() const { return mMeter; }

 protected:
  void CreateSceneObjects();
  void DestroySceneObjects();

  bool mOn = true;
  cBuildingCommon* mRecord = nullptr;
  cSceneObject* mMain = nullptr;  // owned; the record points at it
  cSceneObject* mDisc = nullptr;  // owned
  cSceneObject* mRing = nullptr;  // owned; in the scene only while the building is full
  uint32_t mRecordId = kNoCityId;
  int mUsers = 0;
  cHorizontalMeter* mMeter = nullptr;  // owned
};
