// Small game-data classes and a recording client shared by the data manager,
// save and load tests.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "sim/gamedata/DataManager.h"
#include "sim/gamedata/MemoryStream.h"

// Counts destructions so tests can see exactly when an object died.
struct cThing : Ko::cGameData {
  static constexpr uint32_t kTypeId = 0x11110001;
  static inline int sDestroyed = 0;
  uint32_t value = 0;
  ~cThing() override { ++sDestroyed; }
  Ko::cIGameData* Create() override { return new cThing; }
  uint32_t GetTypeId() override { return kTypeId; }
};

struct cOtherThing : cThing {
  static constexpr uint32_t kTypeId = 0x11110002;
  Ko::cIGameData* Create() override { return new cOtherThing; }
  uint32_t GetTypeId() override { return kTypeId; }
};

// A new pending thing (or other thing) carrying `value`.
inline cThing* MakeThing(cDataManager& manager, uint32_t value, uint32_t typeId = cThing::kTypeId) {
  auto* thing = static_cast<cThing*>(manager.CreateObject(typeId));
  thing->value = value;
  return thing;
}

// Writes the thing's value as one u32; reads it back, refusing short records.
struct cThingSerializer : Ko::cIGameDataSerializer {
  bool writeNothing = false;
  std::vector<uint32_t> versionsSeen;
  void Save(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) override {
    versionsSeen.push_back(version);
    if (!writeNothing) stream.WriteUInt32(&static_cast<cThing*>(object)->value);
  }
  void Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) override {
    versionsSeen.push_back(version);
    uint32_t value = stream.ReadUInt32Value();
    if (!stream.HasFailed()) static_cast<cThing*>(object)->value = value;
  }
};

// Records every call as text, e.g. "added 11110001 #5"; optional hooks let a
// test act from inside a notification.
struct cRecordingClient : Ko::cIGameDataClient {
  std::string name;
  std::vector<std::string>* log;
  std::function<void(Ko::cIGameData*)> onAdded, onLoaded, onRemoved;
  std::function<void()> onBeforeLoad;

  cRecordingClient(std::string clientName, std::vector<std::string>* sharedLog) : name(std::move(clientName)), log(sharedLog) {}
  static std::string Describe(Ko::cIGameData* object) {
    char text[48];
    snprintf(text, sizeof text, "%x #%u", object->GetTypeId(), static_cast<cThing*>(object)->value);
    return text;
  }
  void ObjectAdded(Ko::cIGameData* object) override {
    log->push_back(name + " added " + Describe(object));
    if (onAdded) onAdded(object);
  }
  void ObjectRemoved(Ko::cIGameData* object) override {
    log->push_back(name + " removed " + Describe(object) + (object->IsDead() ? " dead" : " alive"));
    if (onRemoved) onRemoved(object);
  }
  void ObjectLoaded(Ko::cIGameData* object) override {
    log->push_back(name + " loaded " + Describe(object));
    if (onLoaded) onLoaded(object);
  }
  void BeforeLoad() override {
    log->push_back(name + " before");
    if (onBeforeLoad) onBeforeLoad();
  }
  void AfterLoad() override { log->push_back(name + " after"); }
};
