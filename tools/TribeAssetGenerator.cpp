// Writes the tribe members' role models and the marker textures of the tribe
// and civ modes into the data tree. Everything is drawn from code, so the
// output is the same on every build.
#include <cstdio>
#include <string>

#include "tools/BmpWriter.h"
#include "tools/IconPainter.h"
#include "tools/TribeModels.h"

namespace {
bool WriteText(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

bool WriteIcons(const std::string& dir, const std::vector<sIcon>& icons) {
  for (const sIcon& icon : icons) {
    const std::string path = dir + "/" + icon.fileName;
    if (!WriteBmp24Image(path, icon.canvas.Pixels(), icon.canvas.Width(), icon.canvas.Height())) {
      std::fprintf(stderr, "tribe asset generator: cannot write %s\n", path.c_str());
      return false;
    }
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <models folder> <textures folder>\n", argv[0]);
    return 2;
  }
  const std::string modelsDir = argv[1], texturesDir = argv[2];
  for (const sRoleModel& model : BuildTribeRoleModels()) {
    const std::string path = modelsDir + "/" + model.fileName;
    if (!WriteText(path, model.objText)) {
      std::fprintf(stderr, "tribe asset generator: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  if (!WriteIcons(texturesDir, PaintTribeIcons()) || !WriteIcons(texturesDir, PaintCivIcons()) ||
      !WriteIcons(texturesDir, PaintCityIcons()))
    return 1;
  std::printf("tribe assets: wrote the role models and marker textures\n");
  return 0;
}
