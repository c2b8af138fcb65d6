/* The web engine has no C library: the one function of <stdio.h> the shared
 * host header uses (lvk_host.h prints the status line with it), defined in
 * lvk_web.c for %d, %u, %s and %%. */
#ifndef LVK_WEB_STDIO_H
#define LVK_WEB_STDIO_H

#include <stddef.h>

int snprintf(char *out, size_t size, const char *format, ...);

#endif
