/* A stand-in libXinerama.so.1 for the end-to-end tests, never shipped: it tells Wine that the
   one large Xvfb screen is made of the heads listed in LUMORA_TEST_MONITORS, for instance
   "1024x768+0+0,1280x1024+1024+0" (WIDTHxHEIGHT+X+Y in X screen coordinates). Wine takes the
   first head as the primary monitor. Without the variable, or with nothing readable in it,
   Xinerama is reported inactive and Wine sees one monitor, the whole screen.
   Build: gcc -shared -fPIC -o libXinerama.so.1 xinerama_stand_in.c */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct _XDisplay Display;
typedef int Bool;
typedef int Status;

typedef struct {
    int screen_number;
    short x_org;
    short y_org;
    short width;
    short height;
} XineramaScreenInfo;

enum { MaxHeads = 16 };

/* The heads of the variable; returns how many were read. */
static int ReadHeads(XineramaScreenInfo* heads) {
    const char* text = getenv("LUMORA_TEST_MONITORS");
    int count = 0;
    while (text && *text && count < MaxHeads) {
        int width, height, x, y, used = 0;
        if (sscanf(text, "%dx%d+%d+%d%n", &width, &height, &x, &y, &used) != 4 || width <= 0 ||
            height <= 0)
            break;
        heads[count].screen_number = count;
        heads[count].x_org = (short)x;
        heads[count].y_org = (short)y;
        heads[count].width = (short)width;
        heads[count].height = (short)height;
        ++count;
        text += used;
        if (*text != ',') break;
        ++text;
    }
    return count;
}

Bool XineramaQueryExtension(Display* display, int* eventBase, int* errorBase) {
    (void)display;
    *eventBase = 0;
    *errorBase = 0;
    return 1;
}

Status XineramaQueryVersion(Display* display, int* major, int* minor) {
    (void)display;
    *major = 1;
    *minor = 1;
    return 1;
}

Bool XineramaIsActive(Display* display) {
    XineramaScreenInfo heads[MaxHeads];
    (void)display;
    return ReadHeads(heads) > 0;
}

/* The caller frees the list with XFree, which is free(). */
XineramaScreenInfo* XineramaQueryScreens(Display* display, int* number) {
    XineramaScreenInfo heads[MaxHeads];
    XineramaScreenInfo* list;
    (void)display;
    *number = ReadHeads(heads);
    if (*number == 0) return NULL;
    list = malloc(sizeof heads[0] * (size_t)*number);
    if (!list) {
        *number = 0;
        return NULL;
    }
    memcpy(list, heads, sizeof heads[0] * (size_t)*number);
    return list;
}
