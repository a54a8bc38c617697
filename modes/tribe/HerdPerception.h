// How a herd notices the tribe creatures around it: it hears them (louder
// when they move fast, fading between its middle and outer radius) and sees
// them (inside its field of vision, or anywhere close by), grows anxious, and
// takes the nearest creature that frightens it enough as its threat. Anxiety
// fades with the herd's half-life. Every radius, angle and threshold is one of
// the herd's own attributes, filled from the herd script.
#pragma once

class cTribeHerd;

class cHerdPerception {
 public:
  // The one perception object, made on first use; making it loads the herd
  // and loudness scripts.
  static cHerdPerception& Get();

  // One herd's perception step before it moves: decays and raises "anxiety"
  // and sets the herd's threat (an earlier threat stays when none is found).
  void Perceive(cTribeHerd* herd, float seconds);
  // How loud a creature moving at this speed is (the loudness script, at most 1).
  float GetLoudness(float speed);

  // 1 within the middle radius, 0 from the outer radius on, linear between.
  // A herd whose outer radius is not beyond its middle one hears everything
  // inside the outer radius fully (the linear part would divide by zero).
  static float Hearing(float distance, float middle, float outer);
  // How frightening one creature is: ten times more when seen than when only
  // heard, fading with distance.
  static float Stimulus(bool seen, float hearing, float loudness, float distance);
  // Anxiety after `seconds` of fading; half-lives below 0.1 s count as 0.1 s.
  static float Decay(float anxiety, float halfLife, float seconds);

 private:
  cHerdPerception();
};
