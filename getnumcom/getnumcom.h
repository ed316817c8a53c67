/* The port-lookup library: finds the serial ports where an instrument unit
 * answers. The program loads it at start-up and calls gets() from the online
 * command. */
#ifndef GETNUMCOM_H
#define GETNUMCOM_H

#ifdef __cplusplus
extern "C" {
#endif

/* A list of port names, each a zero-terminated text without the "\\.\"
 * prefix: a device name under /dev ("ttyUSB0") or an absolute path. The
 * library allocates it; freemas() gives it back. */
typedef struct tmas {
    char** items;
    int count;
} tmas;

/* Fills `list` (empty on entry) with the ports where a unit answered the
 * identification command 'Z' with 'Z' or 'Y'. `family` and `extra` are
 * accepted for the caller's sake ("lekta", ""); they do not narrow the search. */
void gets(const char* family, const char* extra, tmas* list);
void freemas(tmas* list);

#ifdef __cplusplus
}
#endif

#endif
