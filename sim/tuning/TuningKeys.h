// Every numeric key a tuning file gives has one row in its set's table: its
// type, its default and the range it is held to, in the file's own unit. The
// value a file writes is held to that row: one outside the range, infinite or
// too large for the type is cut to the range; one that is no number (empty,
// words, NaN) or of another element type reads the default; one with more
// after the number, or an int key's number with a fraction or exponent, reads
// as that number. Each such value is named in one line, as the file wrote it,
// with the value held (sim/tuning/BoundedCount.h says when it is named again).
#pragma once

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "sim/tuning/TuningData.h"

struct sTuningKey {
  const char* name;
  eTuningConstantType type;       // kTuningInt or kTuningFloat
  double defaultValue;            // what an absent key reads; within the row's own range
  double low, high;               // the range, both ends allowed
  const char* section = nullptr;  // an ini file's section; none for the XML sets
};

constexpr sTuningKey TuningInt(const char* name, double defaultValue, double low, double high) {
  return {name, kTuningInt, defaultValue, low, high};
}
constexpr sTuningKey TuningFloat(const char* name, double defaultValue, double low, double high) {
  return {name, kTuningFloat, defaultValue, low, high};
}

// Kinds of value more than one set gives, each with the range that keeps play going.
inline constexpr double kTuningMostMoney = 1e6;
inline constexpr double kTuningMostDistance = 1000.0;  // twice the planet's radius: anywhere on it
constexpr sTuningKey TuningPrice(const char* name, double defaultValue) {
  return TuningInt(name, defaultValue, 0.0, kTuningMostMoney);
}
constexpr sTuningKey TuningDistance(const char* name, double defaultValue) {
  return TuningFloat(name, defaultValue, 0.0, kTuningMostDistance);
}

// The longest stopwatch period a file may ask for, in seconds: a day. Every
// period converted to whole milliseconds and compared then stays in range.
inline constexpr double kTuningDaySeconds = 86400.0;

// The key held to [low, high] within its own range, for a key another bounds
// (a maximum by its minimum, a share by the count that shares): read with it,
// a value past either range is named once, with what is held. Its default may
// lie outside; an absent key, no number or another type reads the default held
// to the range, and an absent key's default that had to be cut is named.
sTuningKey TuningKeyWithin(const sTuningKey& key, double low, double high);

// The value to hold for the key when its file wrote `text` (null: the key is
// absent, which reads the default without a word).
double HoldTuningText(const sTuningKey& key, const char* text);
// The same without a word, for a key read only to bound another.
double TuningTextValue(const sTuningKey& key, const char* text);
// The same for a number put in the file's place (by a test or a benchmark).
double HoldTuningNumber(const sTuningKey& key, double value);
// A key whose element is of another type than its row's reads the default.
double HoldTuningOfOtherType(const sTuningKey& key, eTuningConstantType written, const std::string& text);

// A row bound to the member of its set that holds it. The member holds the
// value times `unit` (1000: the file's seconds held as milliseconds; 0.01:
// its percent held as a fraction). A row another bounds narrows its key by
// what the rows before it hold (TuningKeyWithin), so that one line names the
// file's value with the value play goes on with.
template <class tSet>
struct tTuningField {
  using tWithin = sTuningKey (*)(const tSet& set, const sTuningKey& key);
  tTuningField(const sTuningKey& k, float tSet::*member, float u = 1.0f, tWithin w = nullptr)
      : key(k), asFloat(member), unit(u), within(w) {}
  tTuningField(const sTuningKey& k, int tSet::*member, tWithin w = nullptr) : key(k), asInt(member), within(w) {}
  sTuningKey key;
  float tSet::*asFloat = nullptr;
  int tSet::*asInt = nullptr;
  float unit = 1.0f;
  tWithin within = nullptr;
};

// Reads every row of the table into its member, in the table's order.
template <class tSet>
void ReadTuningFields(tSet& set, const std::vector<tTuningField<tSet>>& fields) {
  for (const tTuningField<tSet>& field : fields) {
    const double value = set.Read(field.within ? field.within(set, field.key) : field.key);
    if (field.asFloat) set.*field.asFloat = (float)value * field.unit;
    else set.*field.asInt = (int)value;
  }
}

// What the set holds for the row named `name`, in the file's unit (its member
// over the unit); NaN when no row has that name.
template <class tSet>
double HeldTuningField(const tSet& set, const std::vector<tTuningField<tSet>>& fields, const std::string& name) {
  for (const tTuningField<tSet>& field : fields)
    if (name == field.key.name) return field.asFloat ? set.*field.asFloat / (double)field.unit : set.*field.asInt;
  return std::nan("");
}

template <class tSet>
std::vector<sTuningKey> TuningKeysOf(const std::vector<tTuningField<tSet>>& fields) {
  std::vector<sTuningKey> keys;
  for (const tTuningField<tSet>& field : fields) keys.push_back(field.key);
  return keys;
}
