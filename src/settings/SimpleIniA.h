#pragma once

// The distribution's SimpleIni library is built with the ICU converter; the
// narrow CSimpleIniA used here passes bytes through unchanged either way.
#define SI_CONVERT_ICU
#include <SimpleIni.h>
