#pragma once
// What the harness probe (HarnessProbe.cpp) is made of, shared with the tests
// that drive it, so both sides agree on classes, commands and colours.

#include <cstdint>

namespace probe {

constexpr const char* kMainClass = "HarnessProbe";
constexpr const char* kViewClass = "ProbeView";
constexpr const char* kTitle = "Probe";
constexpr const char* kSettingsName = "probe.ini";
// Registered message the main window answers with 1 once the probe's
// start-up has ended, as the viewer's does.
constexpr const char* kReadyMessage = "HarnessProbe.StartupEnded";
constexpr int kExitCode = 3;
constexpr int kListId = 100;
constexpr int kWindowWidth = 480;
constexpr int kWindowHeight = 360;
constexpr int kListWidth = 150;

// Accelerators of the probe's message loop.
constexpr int kCtrl4Command = 40016;
constexpr int kAddCommand = 40019;
constexpr int kCtrlDownCommand = 40020;
constexpr int kCopyCommand = 40008; // Ctrl+C: puts the probe's picture on the clipboard

// The picture on the clipboard: pixel (x, y) has blue x, green y, red 200.
constexpr int kDibWidth = 5;
constexpr int kDibHeight = 3;

// The view paints a corner rectangle over a background (colours 0x00BBGGRR).
constexpr uint32_t kCornerColour = 0x0000FF; // red
constexpr uint32_t kViewColour = 0x804000;   // dark blue-green
constexpr int kCornerWidth = 40;
constexpr int kCornerHeight = 30;

// The view's window scroll bars.
constexpr int kHorzMax = 999;
constexpr int kHorzPage = 100;
constexpr int kHorzPos = 123;
constexpr int kVertMax = 499;
constexpr int kVertPage = 50;
constexpr int kVertPos = 45;

} // namespace probe
