#pragma once
// Measurements the hook DLL makes inside the program under test, where the
// program's fonts and its DPI awareness are at hand (a font handle means
// nothing in another process).

#include "tests/e2e/HookProtocol.h"

// kDpiState of hwnd into answer.
void MeasureDpiState(HWND hwnd, hookproto::Reply& answer);
// kTextFit of the dialog hwnd into answer.
void MeasureTextFit(HWND dialog, hookproto::Reply& answer);
// kDpiChanged: WM_DPICHANGED as the system sends it, with request's DPI and
// rectangle (a pointer parameter cannot be sent across processes).
void SendDpiChanged(HWND hwnd, const hookproto::Reply& request);
// kTextSize: the system's message and status fonts scaled as request says,
// the window told, and the fonts as the window's DPI now has them into
// answer.
void ChangeTextSize(HWND hwnd, const hookproto::Reply& request, hookproto::Reply& answer);
