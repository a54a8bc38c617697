#include "tools/TribeModels.h"

#include "tools/ObjMeshBuilder.h"

namespace {
// The figure faces -Y with Z up, so its right hand is on the -X side.
void AddFigure(cObjMeshBuilder& m) {
  m.AddBox({-0.17, -0.07, 0.0}, {-0.04, 0.07, 0.6});   // legs
  m.AddBox({0.04, -0.07, 0.0}, {0.17, 0.07, 0.6});
  m.AddBox({-0.2, -0.11, 0.58}, {0.2, 0.11, 1.1});     // torso
  m.AddBox({-0.3, -0.05, 0.55}, {-0.2, 0.05, 1.06});   // arms
  m.AddBox({0.2, -0.05, 0.55}, {0.3, 0.05, 1.06});
  m.AddBox({-0.12, -0.12, 1.12}, {0.12, 0.12, 1.38});  // head
  m.AddCone({0.0, -0.12, 1.25}, {0.0, -0.2, 1.25}, 0.035, 4);  // nose: shows which way it faces
}

std::string Header(const char* role, const char* prop) {
  return std::string("# Quorvel tribe member, role ") + role + ": " + prop +
         "\n# Z up, facing -Y, feet at z = 0; written by the tribe asset generator.\n";
}
}  // namespace

std::vector<sRoleModel> BuildTribeRoleModels() {
  std::vector<sRoleModel> models;
  {
    cObjMeshBuilder m;
    AddFigure(m);
    models.push_back({"TribalGame_NoRole.obj", m.ToObj(Header("none", "bare hands"))});
  }
  {
    cObjMeshBuilder m;  // a spear held upright in the right hand
    AddFigure(m);
    m.AddBox({-0.37, -0.1, 0.15}, {-0.33, -0.06, 1.45});
    m.AddCone({-0.35, -0.08, 1.45}, {-0.35, -0.08, 1.72}, 0.07, 4);
    models.push_back({"TribalGame_Hunter.obj", m.ToObj(Header("hunter", "spear"))});
  }
  {
    cObjMeshBuilder m;  // an egg cradled in front of the chest, on a little nest
    AddFigure(m);
    m.AddBox({-0.2, -0.34, 0.66}, {0.2, -0.12, 0.72});
    m.AddSpindle({0.0, -0.23, 0.7}, {0.0, -0.23, 1.04}, 0.12, 6);
    models.push_back({"TribalGame_Breeder.obj", m.ToObj(Header("breeder", "egg"))});
  }
  {
    cObjMeshBuilder m;  // a banner raised in the left hand
    AddFigure(m);
    m.AddBox({0.33, -0.02, 0.15}, {0.37, 0.02, 1.75});
    m.AddBox({0.37, -0.015, 1.35}, {0.72, 0.015, 1.7});
    models.push_back({"TribalGame_Recruiter.obj", m.ToObj(Header("recruiter", "banner"))});
  }
  {
    cObjMeshBuilder m;  // a pillow hugged in front and a nightcap
    AddFigure(m);
    m.AddBox({-0.28, -0.32, 0.72}, {0.28, -0.12, 0.98});
    m.AddCone({0.0, 0.0, 1.38}, {0.12, 0.05, 1.62}, 0.14, 6);
    models.push_back({"TribalGame_Rester.obj", m.ToObj(Header("rester", "pillow and nightcap"))});
  }
  {
    cObjMeshBuilder m;  // a staff topped with a cross
    AddFigure(m);
    m.AddBox({-0.38, -0.1, 0.05}, {-0.33, -0.05, 1.62});
    m.AddBox({-0.48, -0.1, 1.42}, {-0.23, -0.05, 1.5});
    models.push_back({"TribalGame_Healer.obj", m.ToObj(Header("healer", "staff with a cross"))});
  }
  {
    cObjMeshBuilder m;  // a round belly and a bowl held out in front
    AddFigure(m);
    m.AddSpindle({0.0, -0.16, 0.6}, {0.0, -0.16, 1.0}, 0.14, 6);
    m.AddCone({0.0, -0.42, 0.98}, {0.0, -0.42, 0.78}, 0.17, 8);
    models.push_back({"TribalGame_Eater.obj", m.ToObj(Header("eater", "belly and bowl"))});
  }
  return models;
}
