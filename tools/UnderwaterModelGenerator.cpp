// Writes the seven underwater models of the fly/swim mode into
// Data/models/Underwater/. They are drawn from code with Z up and the front
// towards -Y (the mode turns them once into the planet's Y-up frames), every
// corner carrying its normal, so the output is the same on every build.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/ObjMeshBuilder.h"

namespace {

constexpr double kPi = 3.14159265358979;

struct sModel {
  const char* fileName;
  std::string objText;
};

std::string Header(const char* what) {
  return std::string("# Quorvel underwater model: ") + what +
         "\n# Z up, front towards -Y; written by the underwater model generator.\n";
}

// The walker that the swimming experiments show under each creature: a hub on
// three splayed legs, about 1.6 units tall.
std::string SwimmingTripod() {
  cObjMeshBuilder m;
  m.AddSpindle({0.0, 0.0, 0.9}, {0.0, 0.0, 1.6}, 0.25, 6);
  for (int leg = 0; leg < 3; ++leg) {
    const double a = 2.0 * kPi * leg / 3.0 + kPi / 2.0;
    m.AddCone({0.75 * std::cos(a), 0.75 * std::sin(a), 0.0}, {0.0, 0.0, 1.2}, 0.08, 5);
  }
  m.AddCone({0.0, -0.2, 1.25}, {0.0, -0.45, 1.25}, 0.06, 4);  // a feeler: the front
  return m.ToObj(Header("swimming tripod"));
}

// Kelp: seven tall leaning blades on a root, 3.5 units high.
std::string Flora() {
  cObjMeshBuilder m;
  m.AddSpindle({0.0, 0.0, -0.1}, {0.0, 0.0, 0.3}, 0.45, 6);
  for (int blade = 0; blade < 7; ++blade) {
    const double a = 2.0 * kPi * blade / 7.0;
    const double r = 0.25 + 0.05 * (blade % 3);
    const double height = 2.4 + 0.18 * (blade % 4);
    m.AddCone({r * std::cos(a), r * std::sin(a), 0.1}, {2.2 * r * std::cos(a), 2.2 * r * std::sin(a), height},
              0.12, 3);
  }
  return m.ToObj(Header("underwater flora"));
}

// A boulder of three lumps, about 3 units across.
std::string Rock() {
  cObjMeshBuilder m;
  m.AddSpindle({-1.2, 0.0, 0.6}, {1.3, 0.1, 0.8}, 1.0, 7);
  m.AddSpindle({-0.4, -0.8, 0.3}, {0.5, 0.9, 1.4}, 0.8, 7);
  m.AddTiltedBox({0.6, 0.2, 0.4}, {0.6, 0.5, 0.45}, 25.0);
  return m.ToObj(Header("underwater rock"));
}

// A flat pebble pair, about 2 units across.
std::string SmallRock() {
  cObjMeshBuilder m;
  m.AddSpindle({-1.0, 0.0, 0.3}, {0.9, 0.2, 0.35}, 0.55, 6);
  m.AddSpindle({0.2, -0.6, 0.2}, {0.4, 0.5, 0.25}, 0.35, 5);
  return m.ToObj(Header("small underwater rock"));
}

// A whale 9 units long: a body, a head, flukes and two flippers.
std::string Whale() {
  cObjMeshBuilder m;
  m.AddSpindle({0.0, -4.6, 1.2}, {0.0, 3.4, 1.2}, 1.5, 10);
  m.AddSpindle({0.0, -4.4, 1.0}, {0.0, -1.8, 1.0}, 1.25, 10);  // the heavy head
  m.AddBox({-1.6, 3.5, 1.1}, {1.6, 4.4, 1.3});                  // flukes
  m.AddCone({0.0, 3.2, 1.2}, {0.0, 3.7, 1.2}, 0.5, 6);
  m.AddTiltedBox({-1.7, -1.5, 0.7}, {0.8, 0.45, 0.08}, -20.0);  // flippers
  m.AddTiltedBox({1.7, -1.5, 0.7}, {0.8, 0.45, 0.08}, 20.0);
  return m.ToObj(Header("whale"));
}

// A jellyfish: a bell over eight trailing tentacles, 2.5 units tall.
std::string Jellyfish() {
  cObjMeshBuilder m;
  m.AddCone({0.0, 0.0, 1.6}, {0.0, 0.0, 2.5}, 0.9, 12);
  m.AddCone({0.0, 0.0, 1.6}, {0.0, 0.0, 1.35}, 0.9, 12);
  for (int t = 0; t < 8; ++t) {
    const double a = 2.0 * kPi * t / 8.0;
    m.AddCone({0.6 * std::cos(a), 0.6 * std::sin(a), 1.5}, {0.7 * std::cos(a), 0.7 * std::sin(a), 0.0 + 0.1 * (t % 3)},
              0.06, 3);
  }
  return m.ToObj(Header("jellyfish"));
}

// A rare fish 2.4 units long: a deep body, a forked tail and a tall fin.
std::string RareFish() {
  cObjMeshBuilder m;
  m.AddSpindle({0.0, -1.2, 0.8}, {0.0, 0.7, 0.8}, 0.5, 8);
  m.AddCone({0.0, 1.2, 1.2}, {0.0, 0.6, 0.8}, 0.12, 4);  // the tail's two forks
  m.AddCone({0.0, 1.2, 0.4}, {0.0, 0.6, 0.8}, 0.12, 4);
  m.AddCone({0.0, -0.3, 1.2}, {0.0, 0.2, 1.9}, 0.2, 4);  // dorsal fin
  m.AddCone({0.0, -1.25, 0.8}, {0.0, -1.45, 0.8}, 0.08, 4);  // snout
  return m.ToObj(Header("rare fish"));
}

bool WriteText(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <models/Underwater folder>\n", argv[0]);
    return 2;
  }
  const std::vector<sModel> models = {{"swimmingtripod.obj", SwimmingTripod()}, {"underwater_flora.obj", Flora()},
                                      {"underwater_rock.obj", Rock()},          {"underwater_rock_small.obj", SmallRock()},
                                      {"whale.obj", Whale()},                   {"jellyfish.obj", Jellyfish()},
                                      {"rare_fish.obj", RareFish()}};
  for (const sModel& model : models) {
    const std::string path = std::string(argv[1]) + "/" + model.fileName;
    if (!WriteText(path, model.objText)) {
      std::fprintf(stderr, "underwater model generator: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  std::printf("underwater models: wrote %zu models\n", models.size());
  return 0;
}
