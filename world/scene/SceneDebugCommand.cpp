// The "scene" console command: lists shapes and objects, and switches shape
// classes on and off by their number in the shape list.
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "glf/DebugWindow.h"
#include "platform/Sys.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneShape.h"

void cSceneManager::PrintShapes() {
  CompactAll();
  int number = 0;
  for (cShapeEntry& entry : mEntries) {
    if (entry.nodes.empty()) continue;
    const char* name = entry.shape ? entry.shape->GetTypeName() : "(no shape)";
    const bool active = entry.shape && entry.shape->IsEnabled();
    DebugPrintf("Shape #%d: %s, instances: %d, active: %s", number++, name, static_cast<int>(entry.nodes.size()),
                active ? "YES" : "NO");
  }
}

void cSceneManager::SetShapeEnabled(int number, bool enabled) {
  if (cISceneShape* shape = NthShapeWithObjects(number)) shape->SetEnabled(enabled);
}

void cSceneManager::PrintObjects(std::ostream& stream) {
  CompactAll();
  stream << "Scene Manager Objects: " << GetObjectCount() << "\n";
  DebugPrintf("Scene Manager Objects: ");
  for (cShapeEntry& entry : mEntries) {
    for (cISceneNode* node : entry.nodes) {
      Ko::cGameData* owner = node->GetOwner();
      if (!owner) continue;
      const uint32_t type = owner->GetTypeId();
      stream << "  " << type << "\n";
      DebugPrintf(" %x ", type);
    }
  }
  stream << "------------------------------\n";
  DebugPrintf("------------------------------");
}

namespace {
class tSceneDebugger : public tDebugCommand {
 public:
  tSceneDebugger()
      : tDebugCommand("scene", "scene objects | shapes | scene enable <shape_num> | scene disable <shape_num>") {}
  void Execute(const std::string& line) override {
    std::vector<std::string> words;
    SplitDebugCommandLine(line, &words);
    cSceneManager& scene = GetSceneManager();
    if (words.size() >= 2 && words[1] == "shapes") scene.PrintShapes();
    if (words.size() >= 2 && words[1] == "objects") {
      std::ostringstream listing;
      scene.PrintObjects(listing);
      Sys_Write(SysStream::Out, listing.str().data(), listing.str().size());
    }
    if (words.size() >= 3 && words[1] == "enable") scene.SetShapeEnabled(std::atoi(words[2].c_str()), true);
    if (words.size() >= 3 && words[1] == "disable") scene.SetShapeEnabled(std::atoi(words[2].c_str()), false);
  }
};
}  // namespace

void RegisterSceneDebugCommand() {
  static tSceneDebugger command;
  RegisterDebugCommand(&command);
}
