// Writes every sound the modes play (tools/SoundNames.h) as a 22050 Hz 16-bit
// mono WAV file under the given folder, and lists each file it wrote on
// standard output and in <folder>/generated.txt.
//
// Everything is synthesised from a fixed seed, so every build writes the same
// bytes: drums, plucks and noise bursts for the effects, vowel-like voiced
// syllables for the advisor's lines and the crowds. Looped sounds are drawn on
// a circle (a voice that runs past the end continues at the start), so their
// last sample leads straight into their first and they loop without a click.
//
// Usage: qv_sound_generator <Data/Sounds folder>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Sys.h"
#include "tools/SoundNames.h"

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

class cNoise {
 public:
  explicit cNoise(uint32_t seed) : mState(seed) {}
  double Next() { return Sys_RandomFrom(mState) / 16383.5 - 1.0; }  // -1..1
  double Between(double lo, double hi) { return lo + (hi - lo) * (Sys_RandomFrom(mState) / 32767.0); }

 private:
  uint32_t mState;
};

// A sound being drawn. A looped track wraps: sample n lands at n mod length.
struct cTrack {
  std::vector<double> s;
  bool looped = false;
  cTrack(double seconds, bool loop) : s((size_t)(seconds * kRate), 0.0), looped(loop) {}
  void Add(long n, double v) {
    long size = (long)s.size();
    if (looped) s[(size_t)(((n % size) + size) % size)] += v;
    else if (n >= 0 && n < size) s[(size_t)n] += v;
  }
};

// Rises over `attack` seconds from silence, then decays by e every `decay` seconds,
// and closes smoothly over the last 10 ms of `length`.
double Envelope(double t, double length, double attack, double decay) {
  if (t < 0 || t >= length) return 0.0;
  double e = t < attack ? 0.5 - 0.5 * std::cos(kPi * t / attack) : 1.0;
  if (decay > 0) e *= std::exp(-(t - std::min(t, attack)) / decay);
  double left = length - t;
  if (left < 0.01) e *= 0.5 - 0.5 * std::cos(kPi * left / 0.01);
  return e;
}

// A tone gliding from f0 to f1 with `harmonics` partials falling off as 1/k (odd ones only when asked).
void AddTone(cTrack& tr, double start, double length, double f0, double f1, double amp, int harmonics,
             double attack, double decay, bool oddOnly = false, double vibrato = 0.0) {
  double phase = 0;
  long first = (long)(start * kRate);
  for (long i = 0; i < (long)(length * kRate); ++i) {
    double t = (double)i / kRate;
    double f = f0 + (f1 - f0) * t / length;
    f *= 1.0 + vibrato * std::sin(2 * kPi * 5.5 * t);
    phase += 2 * kPi * f / kRate;
    double v = 0;
    for (int k = 1; k <= harmonics; k += oddOnly ? 2 : 1)
      if (k * f < kRate * 0.45) v += std::sin(k * phase) / k;
    tr.Add(first + i, amp * v * Envelope(t, length, attack, decay));
  }
}

// Noise through a one-pole low-pass (brightness 0..1: how much of the top is kept).
void AddNoise(cTrack& tr, cNoise& noise, double start, double length, double amp, double attack, double decay,
              double brightness) {
  double y = 0;
  long first = (long)(start * kRate);
  for (long i = 0; i < (long)(length * kRate); ++i) {
    double t = (double)i / kRate;
    y += brightness * (noise.Next() - y);
    tr.Add(first + i, amp * y * Envelope(t, length, attack, decay));
  }
}

// A drum: a sine falling in pitch with a short noise click on top.
void AddDrum(cTrack& tr, cNoise& noise, double start, double high, double low, double amp, double decay) {
  AddTone(tr, start, decay * 5, high, low, amp, 1, 0.002, decay);
  AddNoise(tr, noise, start, 0.04, amp * 0.35, 0.001, 0.01, 0.6);
}

// One vowel-like syllable: voiced partials weighted by two formants, with a
// breath of noise at its start for the consonant.
void AddSyllable(cTrack& tr, cNoise& noise, double start, double length, double pitch0, double pitch1,
                 double formant1, double formant2, double amp) {
  double phase = 0;
  long first = (long)(start * kRate);
  for (long i = 0; i < (long)(length * kRate); ++i) {
    double t = (double)i / kRate;
    double f = pitch0 + (pitch1 - pitch0) * t / length;
    phase += 2 * kPi * f / kRate;
    double v = 0;
    for (int k = 1; k * f < 3800; ++k) {
      double h = k * f;
      double w = 1.0 / (1.0 + std::pow((h - formant1) / 90.0, 2)) + 0.6 / (1.0 + std::pow((h - formant2) / 120.0, 2));
      v += w * std::sin(k * phase) / std::sqrt((double)k);
    }
    tr.Add(first + i, amp * v * Envelope(t, length, 0.03, 0.0));
  }
  AddNoise(tr, noise, start, 0.05, amp * 0.3, 0.005, 0.015, 0.9);
}

struct cVowel {
  double f1, f2;
};
constexpr cVowel kVowels[] = {{730, 1090}, {270, 2290}, {300, 870}, {530, 1840}, {570, 840}, {660, 1700}};

// A spoken line: syllables with falling intonation, grouped into words.
void AddSpeech(cTrack& tr, cNoise& noise, double start, int syllables, double pitch, double amp) {
  double t = start;
  for (int i = 0; i < syllables; ++i) {
    const cVowel& v = kVowels[(int)noise.Between(0, 5.999)];
    double length = noise.Between(0.11, 0.22);
    double p = pitch * (1.0 - 0.25 * i / syllables) * noise.Between(0.95, 1.08);
    AddSyllable(tr, noise, t, length, p, p * noise.Between(0.88, 1.02), v.f1, v.f2, amp);
    t += length + ((i % 3 == 2) ? 0.09 : 0.015);
  }
}

// A crowd: many voices at random places on the loop.
void AddCrowd(cTrack& tr, cNoise& noise, int voices, double pitchLo, double pitchHi, double lengthLo,
              double lengthHi, double amp) {
  double seconds = (double)tr.s.size() / kRate;
  for (int i = 0; i < voices; ++i) {
    const cVowel& v = kVowels[(int)noise.Between(0, 5.999)];
    double p = noise.Between(pitchLo, pitchHi);
    AddSyllable(tr, noise, noise.Between(0, seconds), noise.Between(lengthLo, lengthHi), p,
                p * noise.Between(0.8, 1.2), v.f1, v.f2, amp * noise.Between(0.4, 1.0));
  }
}

// A steady bed of noise: overlapping raised-cosine grains that sum to a constant level.
void AddNoiseBed(cTrack& tr, cNoise& noise, double amp, double brightness) {
  const double grain = 0.2;
  double seconds = (double)tr.s.size() / kRate;
  for (double t = 0; t < seconds; t += grain / 2) AddNoise(tr, noise, t, grain, amp, grain / 2, 0.0, brightness);
}

uint32_t SeedOf(const std::string& name) {
  uint32_t h = 2166136261u;
  for (char c : name) h = (h ^ (uint8_t)c) * 16777619u;
  return h;
}

bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

// The recipe for each name.
cTrack Synthesise(const std::string& name) {
  cNoise noise(SeedOf(name));
  if (name == "GatherLoop.wav") {  // shakers and a soft hum over two seconds
    cTrack tr(2.0, true);
    for (int beat = 0; beat < 8; ++beat) AddNoise(tr, noise, beat * 0.25, 0.12, beat % 2 ? 0.25 : 0.4, 0.02, 0.04, 0.8);
    AddTone(tr, 0.0, 2.0, 110, 110, 0.15, 4, 0.0, 0.0);
    return tr;
  }
  if (name == "HuntDrumLoop.wav" || name == "RaidDrumLoop.wav") {
    bool raid = name[0] == 'R';
    cTrack tr(raid ? 1.6 : 2.0, true);
    int beats = raid ? 8 : 8;
    double step = (double)tr.s.size() / kRate / beats;
    for (int beat = 0; beat < beats; ++beat) {
      bool low = beat % 4 == 0 || (raid && beat % 4 == 2);
      AddDrum(tr, noise, beat * step, low ? 150 : 260, low ? 55 : 140, low ? 0.9 : 0.5, low ? 0.12 : 0.06);
    }
    return tr;
  }
  if (name == "RecruitLoop.wav") {  // a chanted call and answer
    cTrack tr(2.4, true);
    const double pitches[] = {196, 220, 196, 165};
    for (int i = 0; i < 4; ++i) AddSyllable(tr, noise, i * 0.6, 0.45, pitches[i], pitches[i] * 0.97, 570, 840, 0.4);
    return tr;
  }
  if (name == "icecream_music.wav") {  // a chiming tune, eight notes round
    cTrack tr(3.2, true);
    const double notes[] = {784, 659, 698, 784, 880, 784, 659, 587};
    for (int i = 0; i < 8; ++i) AddTone(tr, i * 0.4, 0.38, notes[i], notes[i], 0.35, 3, 0.005, 0.15);
    return tr;
  }
  if (Contains(name, "Au_Crowd")) {
    cTrack tr(3.0, true);
    if (Contains(name, "Boo")) {
      AddCrowd(tr, noise, 40, 95, 150, 0.5, 1.1, 0.12);
      AddNoiseBed(tr, noise, 0.05, 0.2);
    } else if (Contains(name, "Riot")) {
      AddCrowd(tr, noise, 60, 150, 320, 0.15, 0.4, 0.12);
      AddNoiseBed(tr, noise, 0.12, 0.6);
      for (int i = 0; i < 10; ++i) AddDrum(tr, noise, noise.Between(0, 3.0), 900, 400, 0.25, 0.02);
    } else {  // a strike: a chant on the beat over a murmur
      AddCrowd(tr, noise, 30, 130, 170, 0.22, 0.3, 0.1);
      for (int i = 0; i < 6; ++i) AddSyllable(tr, noise, i * 0.5, 0.25, 160, 140, 570, 840, 0.25);
      AddNoiseBed(tr, noise, 0.04, 0.3);
    }
    return tr;
  }
  if (name.rfind("stab", 0) == 0) {  // fourteen thrusts: a swish and a thud, each a little different
    int n = atoi(name.c_str() + 4);
    cTrack tr(0.25 + 0.01 * n, false);
    AddNoise(tr, noise, 0.0, 0.09 + 0.005 * n, 0.5, 0.03, 0.03, 0.3 + 0.04 * n);
    AddDrum(tr, noise, 0.07, 180 + 12 * n, 60 + 4 * n, 0.6, 0.04);
    return tr;
  }
  if (name == "woohoo.wav") {  // two rising cheers
    cTrack tr(0.9, false);
    AddSyllable(tr, noise, 0.0, 0.35, 220, 330, 300, 870, 0.5);
    AddSyllable(tr, noise, 0.4, 0.45, 300, 440, 300, 870, 0.5);
    return tr;
  }
  if (name == "wawawah.wav") {  // the sad trombone
    cTrack tr(2.0, false);
    const double notes[] = {294, 277, 262};
    for (int i = 0; i < 3; ++i) AddTone(tr, i * 0.35, 0.3, notes[i], notes[i], 0.35, 6, 0.02, 0.0);
    AddTone(tr, 1.05, 0.9, 247, 233, 0.35, 6, 0.02, 0.6, false, 0.02);
    return tr;
  }
  if (name == "PlayerTribeRaided.wav") {  // an alarm horn, three blasts
    cTrack tr(1.6, false);
    for (int i = 0; i < 3; ++i) AddTone(tr, i * 0.5, 0.4, 330, 350, 0.3, 7, 0.03, 0.0, true);
    return tr;
  }
  if (name == "coin.wav") {
    cTrack tr(0.5, false);
    AddTone(tr, 0.0, 0.08, 988, 988, 0.4, 2, 0.002, 0.05);
    AddTone(tr, 0.07, 0.43, 1319, 1319, 0.4, 2, 0.002, 0.12);
    return tr;
  }
  if (name == "cashregister6.wav") {  // drawer rattle, then the bell
    cTrack tr(0.8, false);
    AddNoise(tr, noise, 0.0, 0.2, 0.35, 0.01, 0.05, 0.7);
    AddTone(tr, 0.18, 0.62, 2093, 2093, 0.35, 3, 0.002, 0.2);
    return tr;
  }
  if (name == "ForageOneShot.wav") {  // rustling leaves
    cTrack tr(0.7, false);
    for (int i = 0; i < 6; ++i) AddNoise(tr, noise, i * 0.09, 0.15, 0.3, 0.02, 0.05, 0.5);
    return tr;
  }
  if (name == "BattleHorn1.wav") {
    cTrack tr(2.0, false);
    AddTone(tr, 0.0, 1.9, 147, 156, 0.3, 9, 0.25, 0.0, false, 0.01);
    return tr;
  }
  if (name == "IndiansAttack.wav") {  // a war cry: a high voice warbling fast
    cTrack tr(1.5, false);
    AddTone(tr, 0.0, 1.4, 520, 600, 0.3, 4, 0.05, 0.0, false, 0.12);
    AddSyllable(tr, noise, 0.0, 0.3, 400, 520, 730, 1090, 0.3);
    return tr;
  }
  if (name == "City/BONK.wav") {
    cTrack tr(0.3, false);
    AddDrum(tr, noise, 0.0, 320, 120, 0.8, 0.05);
    return tr;
  }
  // The advisor's lines: a spoken-sounding phrase, longer for longer names.
  size_t slash = name.find('/');
  int syllables = 6 + (int)(name.size() - slash) / 4;
  cTrack tr(syllables * 0.21 + 0.4, false);
  AddSpeech(tr, noise, 0.1, syllables, 180, 0.3);
  if (Contains(name, "Destroyed") || Contains(name, "Lost")) AddNoise(tr, noise, 0.0, 0.6, 0.3, 0.01, 0.15, 0.3);
  return tr;
}

// A one-shot ends in silence even where a voice ran past its end.
void FadeOut(std::vector<double>& s) {
  size_t fade = std::min(s.size(), (size_t)(0.01 * kRate));
  for (size_t i = 0; i < fade; ++i) s[s.size() - 1 - i] *= (double)i / fade;
}

void Normalise(std::vector<double>& s, double peak) {
  double top = 0;
  for (double v : s) top = std::max(top, std::fabs(v));
  if (top > 0)
    for (double& v : s) v *= peak / top;
}

void PutLE(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += (char)((v >> (8 * i)) & 0xFF);
}

bool WriteWav(const std::string& path, const std::vector<double>& s) {
  std::string out = "RIFF";
  uint32_t dataBytes = (uint32_t)s.size() * 2;
  PutLE(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  PutLE(out, 16, 4);
  PutLE(out, 1, 2);           // PCM
  PutLE(out, 1, 2);           // mono
  PutLE(out, kRate, 4);
  PutLE(out, kRate * 2, 4);
  PutLE(out, 2, 2);
  PutLE(out, 16, 2);
  out += "data";
  PutLE(out, dataBytes, 4);
  for (double v : s) PutLE(out, (uint16_t)(int16_t)std::lround(std::clamp(v, -1.0, 1.0) * 32767.0), 2);
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(out.data(), 1, out.size(), f) == out.size();
  return fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s <Data/Sounds folder>\n", argv[0]);
    return 2;
  }
  std::string folder = argv[1];
  mkdir(folder.c_str(), 0755);
  mkdir((folder + "/City").c_str(), 0755);
  mkdir((folder + "/Civ").c_str(), 0755);
  std::string list;
  for (const char* name : kGameSoundFiles) {
    cTrack tr = Synthesise(name);
    if (tr.looped != IsLoopedSoundName(name)) {
      fprintf(stderr, "%s: its recipe and its name disagree on looping\n", name);
      return 1;
    }
    if (!tr.looped) FadeOut(tr.s);
    Normalise(tr.s, 0.8);
    std::string path = folder + "/" + name;
    if (!WriteWav(path, tr.s)) {
      fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    printf("wrote %s (%.2f s%s)\n", path.c_str(), (double)tr.s.size() / kRate, tr.looped ? ", loops" : "");
    list += std::string(name) + "\n";
  }
  FILE* f = fopen((folder + "/generated.txt").c_str(), "w");
  if (!f || fputs(list.c_str(), f) < 0 || fclose(f) != 0) return 1;
  return 0;
}
