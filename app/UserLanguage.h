#pragma once
// The texts this user reads: ChooseLanguage of the user's interface
// language and the Language setting.

#include "app/Language.h"

struct Settings;

const Texts& UserTexts(const Settings& settings);
