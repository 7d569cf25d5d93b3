/* Times from starting a program to the mapping of its first top-level window, under an X server
 * (Xvfb), for several programs in alternating rounds; prints the median of each. The programs are
 * stopped once their window is mapped.
 * Usage: window_startup ROUNDS NAME 'COMMAND...' [NAME 'COMMAND...']...  (COMMAND run by sh -c;
 * "@SIZE@" in it is replaced by "WIDTH HEIGHT" of the first program's window) */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int compare(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

/* Runs `command` and returns the milliseconds until a top-level window maps; sets its size. */
static double run(Display* display, const char* command, int* width, int* height) {
  XSync(display, True); /* drop what earlier runs left */
  const double start = now_ms();
  const pid_t child = fork();
  if (child == 0) {
    setpgid(0, 0);
    execl("/bin/sh", "sh", "-c", command, (char*)NULL);
    _exit(127);
  }
  double took = -1;
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify && !event.xmap.override_redirect) {
      took = now_ms() - start;
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display, event.xmap.window, &attributes)) {
        *width = attributes.width;
        *height = attributes.height;
      }
      break;
    }
  }
  kill(-child, SIGTERM);
  waitpid(child, NULL, 0);
  return took;
}

int main(int argc, char** argv) {
  if (argc < 4 || (argc - 2) % 2 != 0) {
    fprintf(stderr, "usage: window_startup ROUNDS NAME COMMAND [NAME COMMAND]...\n");
    return 2;
  }
  const int rounds = atoi(argv[1]);
  const int programs = (argc - 2) / 2;
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "window_startup: no X display\n");
    return 1;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  int width = 0, height = 0;
  run(display, argv[3], &width, &height); /* the size, and warm caches for every program */
  char size[32];
  snprintf(size, sizeof size, "%d %d", width, height);
  char** commands = calloc((size_t)programs, sizeof *commands);
  for (int p = 0; p < programs; ++p) {
    const char* c = argv[3 + 2 * p];
    const char* at = strstr(c, "@SIZE@");
    commands[p] = malloc(strlen(c) + sizeof size);
    if (at) {
      sprintf(commands[p], "%.*s%s%s", (int)(at - c), c, size, at + 6);
    } else {
      strcpy(commands[p], c);
    }
    int w, h;
    if (p > 0) run(display, commands[p], &w, &h);
  }
  double* times = calloc((size_t)(rounds * programs), sizeof *times);
  for (int r = 0; r < rounds; ++r) {
    for (int p = 0; p < programs; ++p) {
      int w, h;
      times[p * rounds + r] = run(display, commands[p], &w, &h);
    }
  }
  printf("window %dx%d, median of %d alternating runs\n", width, height, rounds);
  double* medians = calloc((size_t)programs, sizeof *medians);
  for (int p = 0; p < programs; ++p) {
    double* t = times + p * rounds;
    qsort(t, (size_t)rounds, sizeof *t, compare);
    medians[p] = rounds % 2 ? t[rounds / 2] : (t[rounds / 2 - 1] + t[rounds / 2]) / 2;
  }
  for (int p = 0; p < programs; ++p) {
    printf("%-30s %7.1f ms", argv[2 + 2 * p], medians[p]);
    if (p != 1 && programs > 1) printf("   %.2fx the bare window", medians[p] / medians[1]);
    printf("\n");
  }
  XCloseDisplay(display);
  return 0;
}
