// Not built yet: each herd hears and sees the tribe creatures around it,
// grows anxious and picks the nearest frightening one as its threat; does nothing for now.
#pragma once

class cTribeHerd;

class cHerdPerception {
 public:
  // The one perception object, made on first use; making it loads the herd
  // and loudness scripts.
  static cHerdPerception& Get();

  // One herd's perception step before it moves: decays and raises "anxiety"
  // and sets the herd's threat.
  void Perceive(cTribeHerd* herd, float seconds);
  // How loud a creature moving at this speed is (the loudness script, at most 1).
  float GetLoudness(float speed);

 private:
  cHerdPerception();
};
