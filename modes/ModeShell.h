// The operations every mode must supply, as a shell that records each call
// and otherwise does nothing. A mode overrides what it actually plays; the
// shell keeps the rest harmless (mouse, keys, update, sniff-test hooks).
#pragma once

#include <string>

#include "app/GameMode.h"
#include "app/ModeCallLog.h"

template <class Base>
class tModeShell : public Base {
 public:
  explicit tModeShell(const char* tag) : mTag(tag) {}

  void OnMouseMove(int, int) override {}
  void OnLeftButtonUp(int, int) override { RecordModeCall(mTag, "OnLeftButtonUp"); }
  void OnLeftButtonDown(int, int) override { RecordModeCall(mTag, "OnLeftButtonDown"); }
  void OnMiddleButtonUp(int, int) override { RecordModeCall(mTag, "OnMiddleButtonUp"); }
  void OnMiddleButtonDown(int, int) override { RecordModeCall(mTag, "OnMiddleButtonDown"); }
  void OnRightButtonUp(int, int) override { RecordModeCall(mTag, "OnRightButtonUp"); }
  void OnRightButtonDown(int, int) override { RecordModeCall(mTag, "OnRightButtonDown"); }
  void OnKeyPress(unsigned char, int, int) override { RecordModeCall(mTag, "OnKeyPress"); }
  void Update(unsigned int ms) override {
    mLastUpdateMs = ms;
    RecordModeCall(mTag, "Update");
  }
  void Enter() override { RecordModeCall(mTag, "Enter"); }
  void Leave() override { RecordModeCall(mTag, "Leave"); }
  void OnPauseChanged(bool paused) override { RecordModeCall(mTag, paused ? "OnPauseChanged(1)" : "OnPauseChanged(0)"); }
  void PreSniffTest() override { RecordModeCall(mTag, "PreSniffTest"); }
  bool SniffTest() override { return true; }
  void PostSniffTest() override { RecordModeCall(mTag, "PostSniffTest"); }
  void Init() override { RecordModeCall(mTag, "Init"); }

  unsigned int LastUpdateMs() const { return mLastUpdateMs; }

 private:
  std::string mTag;
  unsigned int mLastUpdateMs = 0;
};

#include "sim/gamedata/GameData.h"

// The shell of a mode that hears the data manager and registers a serializer
// which (until the mode keeps state in save files) writes and reads nothing.
class tDataModeShell : public tModeShell<cGameMode>, public Ko::cIGameDataSerializer, public Ko::cIGameDataClient {
 public:
  explicit tDataModeShell(const char* tag) : tModeShell<cGameMode>(tag) {}
  void Load(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
  void Save(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
  const char* KindKeptOutOfSaves() const override { return "developer mode"; }
};
