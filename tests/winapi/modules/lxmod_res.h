/* Resource ids of the test module lxmod_res, shared by its script and the tests. */
#pragma once

#define LXMOD_MENU 4000
#define LXMOD_POINTER 128
#define LXMOD_GLOW 129
#define LXMOD_SWATCH 4000
#define LXMOD_GREETING 300
