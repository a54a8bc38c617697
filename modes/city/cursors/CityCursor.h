// The city's cursor protocol. A cursor is one static object that takes over
// the mouse and the key actions while it is current (a pie menu, the drag,
// the build, road, creature and tribe cursors). Each operation answers a
// result code that tells the cursor controller what happens next:
//   0      the cursor stays current and the event is used up;
//   1      the cursor is done: its next cursor (or none) becomes current; with
//          no next cursor the event goes on to the controller's own handling;
//   2      the cursor is done as for 1, and the event is used up either way;
//   other  the cursor stays current and the event goes on.
#pragma once

class cCityGameWorldObject;

class cICityGameCursor {
 public:
  static constexpr int kStay = 0;
  static constexpr int kDonePassOn = 1;
  static constexpr int kDone = 2;

  virtual ~cICityGameCursor() = default;
  virtual int OnLeftButtonUp(int /*x*/, int /*y*/) { return 0; }
  virtual int OnLeftButtonDown(int /*x*/, int /*y*/) { return 0; }
  virtual int OnMouseMove(int /*x*/, int /*y*/) { return 0; }
  virtual int Draw(int /*mouseX*/, int /*mouseY*/) { return 0; }
  virtual int Update(unsigned int /*ms*/, int /*mouseX*/, int /*mouseY*/) { return 0; }
  virtual bool IsCursorObject(cCityGameWorldObject* /*object*/) { return false; }
  virtual int OnAction(const char* /*action*/, float /*value*/, int /*framesHeld*/) { return 0; }
  virtual cICityGameCursor* GetNextCursor() { return nullptr; }
  // Closes without acting and lets go of every object it holds (a load,
  // Leave or the city's removal takes them): what it carries goes back.
  virtual void LetGo() {}
};
