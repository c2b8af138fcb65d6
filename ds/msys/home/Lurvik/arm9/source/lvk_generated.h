/* Read in front of generated.c by the Makefile (-include), and only there.
 *
 * generated.c defines its level count as "extern int lvk_numlevels= N;": valid
 * C and the very definition lvk.h declares, but gcc warns about every
 * initialized extern and has no option to silence just that warning, so every
 * clean build would show one that means nothing. generated.c stays as the
 * editor writes it; its headers are read here first, and then the keyword is
 * taken out of its text. Its two extern definitions (the level count and
 * lvk_main) become plain definitions with the same external linkage. */
#ifndef LVK_GENERATED_H
#define LVK_GENERATED_H

#include <stdio.h>
#include <string.h>
#include <nds.h>

#define extern

#endif
