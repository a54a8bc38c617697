// A bar panel with one row of every style, in the order the drawing tests
// read them back: Health, Income, Wealth, Count, Mood.
#pragma once

#include "glf/BarPanel.h"

inline void AddEveryStyleRow(cGLFBarPanel& panel, int wealthDecimals) {
  panel.AddBar("Health:", kGLFBarStyleBar, 100.0f, 2);
  panel.AddBar("Income:", kGLFBarStyleSegmented, 1.0f, 2);
  panel.AddBar("Wealth:", kGLFBarStyleNumber, 0.0f, wealthDecimals);
  panel.AddBar("Count:", kGLFBarStyleNumberOfRange, 40.0f, 0);
  panel.AddBar("Mood:", kGLFBarStyleSigned, 10.0f, 2);
}
