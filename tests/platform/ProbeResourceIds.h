/* The resource ids of the probe dialogs' module, read by windres as well as by
   the compiler, so it holds preprocessor definitions only. */
#pragma once

#define PROBE_ICON 128
#define PROBE_ABOUT_STRING 101
#define PROBE_ABOUT_TEXT "&About the probe..."
#define PROBE_BACKGROUND_BITMAP 143
/* 7 by 5 pixels, each of its own colour. */
#define PROBE_SMALL_BITMAP 7
