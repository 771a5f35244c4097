#include "shell/Settings.h"

CIniFile theSettings;
